// The Windows program: the platform's services, the window model on top of
// them, and the event loop. The process ends only through Win32ProcessEnd.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "common/error_line.h"
#include "platform/win32/fetcher_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/process_end_win32.h"
#include "platform/win32/process_facts_win32.h"
#include "platform/win32/process_list_win32.h"
#include "platform/win32/settings_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "platform/win32/url_cache_win32.h"
#include "platform/win32/windows_api_win32.h"
#include "ui/form1.h"

using namespace kelvane;
using namespace kelvane::win32;

// An exception nobody catches ends the program at once. The library's own
// handler would print its name to a console this program does not have, and
// brings a name demangler and printf along (a sixth of the exe).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The same for the standard library's own failures (no memory, an index out
// of range): nothing here catches them. Its throwing helpers would bring the
// exception classes and with them a second string implementation (40 KB).
namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
}  // namespace std

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Lines on standard error end with LF, as on Linux.
  _setmode(_fileno(stderr), _O_BINARY);
  Win32ProcessFacts facts;
  Win32Locale locale;
  Win32ProcessEnd end;
  Win32Toolkit ui(instance, facts);
  ToolHelpProcessList processes;
  Win32Fetcher fetcher;
  WinInetUrlCache cache;
  Win32Launcher launcher;
  Win32FileSystem fs;
  Win32SettingsStore settings;
  Platform platform{ui, processes, fetcher, cache, launcher, fs, settings, locale, facts, end};

  Form1 form(platform);
  form.SetObserver([&ui](const Control& c) { ui.ApplyControl(c); });
  if (!ui.Build(form)) {
    WriteErrorLine("no window", "the window could not be created", facts.ExeName());
    ui.MessageBox("The window could not be created.", kProgramTitle, MsgButtons::Ok, MsgIcon::None);
    end.EndNow(ExitCode::NoWindow);
  }
  form.Form_Load();
  ui.ShowWindow();
  form.Form_Activate();
  ui.RunMessageLoop();
  end.EndNow(form.Outcome);
}
