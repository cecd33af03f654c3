#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launch/desktop_exec.h"

namespace kelvane {

// Program lookup and process start.
class Launcher {
 public:
  virtual ~Launcher() = default;
  // The program associated with `file`. Returns a value above 32 on success
  // and writes the program's full path to `program`; 2 when the file is
  // missing, 31 when no association exists, other values <= 32 on failure.
  virtual int FindExecutable(const std::string& file, const std::string& directory,
                             std::string& program) = 0;
  // Starts a command line (program first, then its arguments) with a window
  // style (1: normal and activated) without waiting. The process id, or
  // nothing when no program could be started.
  virtual std::optional<uint32_t> CreateProcess(const std::string& commandLine,
                                                int windowStyle) = 0;

  // Where programs are started through desktop entries (Linux): the entries
  // associated with `file`, the preferred first, and the start of a program
  // by exactly its words (the first one looked up on PATH). Elsewhere no
  // entries, and CreateProcess starts every program.
  virtual std::vector<DesktopEntry> AssociatedEntries(const std::string&) { return {}; }
  virtual std::optional<uint32_t> StartWords(const std::vector<std::string>&) {
    return std::nullopt;
  }
};

}  // namespace kelvane
