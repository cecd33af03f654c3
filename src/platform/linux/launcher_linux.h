#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/launcher.h"

namespace kelvane::linux_platform {

// Looks programs up through the freedesktop associations and starts them
// with posix_spawn: no shell ever runs, so nothing in a command line is
// expanded and no second command can be slipped in.
class LinuxLauncher : public Launcher {
 public:
  // An executable file is its own program. Any other file gets the program
  // of its first usable associated entry (AssociatedEntries, DesktopCommand:
  // the first word of the entry's Exec line, looked up on PATH). A missing
  // file answers 2, a folder or a file without an association 31.
  int FindExecutable(const std::string& file, const std::string& directory,
                     std::string& program) override;
  // Splits the command line into words (SplitCommandLine) and starts the
  // first word as the program: a name without "/" is looked for in the
  // current folder, then on PATH. The window style is the desktop's affair.
  std::optional<uint32_t> CreateProcess(const std::string& commandLine, int windowStyle) override;
  // The entry that `xdg-mime query default` names for the file's type, then
  // the others (AssociatedIds). The type comes from the file's name
  // (MimeTypeOfName), from its contents only when the name gives none.
  std::vector<DesktopEntry> AssociatedEntries(const std::string& file) override;
  std::optional<uint32_t> StartWords(const std::vector<std::string>& words) override;
};

// The words of a command line as the program wrote it: blanks and tabs
// separate words, a double-quoted group belongs to its word without its
// quotes (an unclosed one runs to the end). Every other character is
// ordinary: backslashes and apostrophes (C:\x, it's, o'neil) as well as
// "$(id)", ";" and "*", which no shell sees.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace kelvane::linux_platform
