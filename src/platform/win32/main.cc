// The Windows program: the platform's services, the window model on top of
// them, and the event loop. The process ends only through Win32ProcessEnd.
#include "platform/win32/locale_win32.h"
#include "platform/win32/process_end_win32.h"
#include "platform/win32/process_facts_win32.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "platform/win32/windows_api_win32.h"
#include "ui/form1.h"

using namespace kelvane;
using namespace kelvane::win32;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  Win32ProcessFacts facts;
  Win32Locale locale;
  Win32ProcessEnd end;
  Win32Toolkit ui(instance, facts);
  Win32Services services = MakeWin32Services();
  Platform platform{ui,
                    *services.processes,
                    *services.fetcher,
                    *services.cache,
                    *services.launcher,
                    *services.fs,
                    *services.settings,
                    locale,
                    facts,
                    end};

  Form1 form(platform);
  form.SetObserver([&ui](const Control& c) { ui.ApplyControl(c); });
  if (!ui.Build(form)) {
    ui.MessageBox("The window could not be created.", kProgramTitle, MsgButtons::Ok, MsgIcon::None);
    end.EndNow();
  }
  form.Form_Load();
  ui.ShowWindow();
  ui.RunMessageLoop();
  end.EndNow();
}
