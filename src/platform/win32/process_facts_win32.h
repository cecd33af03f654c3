#pragma once
#include <string>
#include <string_view>

#include "platform/process_facts.h"

namespace kelvane::win32 {

// What follows the program's name on a command line: the name is skipped
// (quoted or not), then the blanks behind it; the rest is kept as it is.
std::wstring ArgumentTextOf(std::wstring_view commandLine);

class Win32ProcessFacts : public ProcessFacts {
 public:
  std::string ArgumentText() override;
  std::string ExeName() override;
  std::string ExeFolder() override;
  std::string ProbeFolder() override;
  std::string TempFolder() override;
  double TwipsPerPixelX() override;
  double TwipsPerPixelY() override;
  // The scale of the monitor that shows the window, once it differs from
  // the system's (0: the system's again).
  void UseDpi(int dpi) { dpi_ = dpi; }

 private:
  int dpi_ = 0;
};

}  // namespace kelvane::win32
