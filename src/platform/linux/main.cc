// The Linux program: the window model on an FLTK window, until the program
// ends itself.
#include <FL/Fl.H>
#include <sodium.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "common/error_line.h"
#include "platform/linux/fetcher_linux.h"
#include "platform/linux/file_system_linux.h"
#include "platform/linux/launcher_linux.h"
#include "platform/linux/locale_linux.h"
#include "platform/linux/process_end_linux.h"
#include "platform/linux/process_facts_linux.h"
#include "platform/linux/process_list_linux.h"
#include "platform/linux/settings_linux.h"
#include "platform/linux/stop_signals_linux.h"
#include "platform/linux/toolkit_linux.h"
#include "platform/linux/url_cache_linux.h"
#include "ui/form1.h"

using namespace kelvane;
using namespace kelvane::linux_platform;

namespace {

// FLTK ends the program this way when it cannot reach the display: the
// line of every failure, and the status of a window that was not created.
void NoWindow(const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  const std::string reason = std::string(text).substr(0, std::string(text).find(':'));
  const char* display = std::getenv("DISPLAY");
  WriteErrorLine("no window", reason, display && *display ? display : "no DISPLAY set");
  std::_Exit(static_cast<int>(ExitCode::NoWindow));
}

}  // namespace

int main(int argc, char** argv) {
  // The download check then hashes with the code made for this processor
  // (the Windows exe goes without, for its size: the portable code).
  if (sodium_init() < 0) return 1;
  Fl::fatal = NoWindow;
  LinuxProcessFacts facts(argc, argv);
  LinuxLocale locale;
  LinuxProcessEnd end([&facts] { facts.RemoveMadeFolder(); });
  LinuxToolkit toolkit(facts, locale);
  ProcProcessList processes;
  CurlFetcher fetcher;
  EmptyUrlCache cache;
  LinuxLauncher launcher;
  LinuxFileSystem fs;
  LinuxSettingsStore settings;
  Platform platform{toolkit, processes, fetcher, cache, launcher, fs, settings, locale, facts, end};
  Form1 form(platform);
  TakeStopSignals([&form] { form.EndAsked(); });
  toolkit.Build(form);
  form.Form_Load();
  toolkit.ShowWindow();
  form.Form_Activate();
  toolkit.RunForever();
}
