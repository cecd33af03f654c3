// The Linux program: the window model on an FLTK window, until the program
// ends itself.
#include "platform/linux/locale_linux.h"
#include "platform/linux/process_end_linux.h"
#include "platform/linux/process_facts_linux.h"
#include "platform/linux/services_linux.h"
#include "platform/linux/toolkit_linux.h"
#include "ui/form1.h"

using namespace kelvane;
using namespace kelvane::linux_platform;

int main(int argc, char** argv) {
  LinuxProcessFacts facts(argc, argv);
  LinuxLocale locale;
  LinuxProcessEnd end;
  LinuxToolkit toolkit(facts, locale);
  auto services = MakeLinuxServices();
  Platform platform{toolkit,
                    services->processes(),
                    services->fetcher(),
                    services->cache(),
                    services->launcher(),
                    services->fs(),
                    services->settings(),
                    locale,
                    facts,
                    end};
  Form1 form(platform);
  toolkit.Build(form);
  form.Form_Load();
  toolkit.ShowWindow();
  toolkit.RunForever();
}
