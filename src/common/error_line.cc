#include "common/error_line.h"

#include <cstdio>

namespace kelvane {
namespace {

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

}  // namespace

std::string ErrorLine(const std::string& failed, const std::string& reason,
                      const std::string& subject) {
  std::string line = "kelvane";
  for (const std::string* part : {&failed, &reason, &subject}) line += ": " + OneLine(*part);
  return line + "\n";
}

void WriteErrorLine(const std::string& failed, const std::string& reason,
                    const std::string& subject) {
  const std::string line = ErrorLine(failed, reason, subject);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace kelvane
