#pragma once
// Starting a program as the freedesktop desktop starts it: the Exec line of
// its desktop entry, read by freedesktop.org's desktop entry rules.
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// What a desktop entry says about starting its program.
struct DesktopEntry {
  std::string exec;       // the Exec value as written in the file
  std::string name;       // Name, for %c
  std::string icon;       // Icon, for %i
  std::string location;   // the entry's own file, for %k
  bool terminal = false;  // Terminal=true: the program wants a terminal
};

// The words that start `entry` with `target` (a URL or a file). The string
// escapes (\s \n \t \r \\) are undone first, then the quoting: blanks
// separate words, a double-quoted part belongs to its word, and inside it
// \" \` \$ \\ stand for the character. Outside quotes %f %F %u %U take the
// target (the first of them; the others are dropped), %i gives "--icon" and
// the icon (nothing without one), %c the name, %k the location, %% a "%";
// the deprecated %d %D %n %N %v %m are dropped. Without a field code for the
// target it is appended. Nothing for a line that cannot be read: an open
// quote, a field code that does not exist, no program.
std::optional<std::vector<std::string>> ExecWords(const DesktopEntry& entry,
                                                  const std::string& target);

// The words of the first entry, in the order of preference, that starts
// without a terminal and has a line that can be read.
std::optional<std::vector<std::string>> DesktopCommand(const std::vector<DesktopEntry>& entries,
                                                       const std::string& target);

}  // namespace kelvane
