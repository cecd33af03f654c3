#pragma once
// The one line a failure writes to standard error, the same on every build:
// "kelvane: <what failed>: <reason>: <file or URL>" and a line feed.
#include <string>

namespace kelvane {

// The line, with any line break or other control character inside a part
// turned into a blank, so that it stays one line.
std::string ErrorLine(const std::string& failed, const std::string& reason,
                      const std::string& subject);
// Writes ErrorLine(...) to standard error at once.
void WriteErrorLine(const std::string& failed, const std::string& reason,
                    const std::string& subject);

}  // namespace kelvane
