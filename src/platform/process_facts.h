#pragma once
#include <string>

#include "common/exit_codes.h"

namespace kelvane {

// Facts about this process and its screen.
class ProcessFacts {
 public:
  virtual ~ProcessFacts() = default;
  // Everything that follows the program's own name on its command line.
  virtual std::string ArgumentText() = 0;
  // The executable's file name without folder and extension.
  virtual std::string ExeName() = 0;
  // The folder holding the executable, without a trailing separator.
  virtual std::string ExeFolder() = 0;
  // The folder where short-lived probe files may be written, ending with a
  // separator: the root folder of the program's drive on Windows, a private
  // folder of the user elsewhere.
  virtual std::string ProbeFolder() = 0;
  // The user's private folder for temporary files, ending with a separator.
  virtual std::string TempFolder() = 0;
  // Twips per screen pixel (15 at 96 dpi).
  virtual double TwipsPerPixelX() = 0;
  virtual double TwipsPerPixelY() = 0;
};

// Ending the process, at once, wherever it is.
class ProcessEnd {
 public:
  virtual ~ProcessEnd() = default;
  [[noreturn]] virtual void EndNow(ExitCode code) = 0;
};

}  // namespace kelvane
