#include "launch/desktop_exec.h"

#include <string_view>

namespace kelvane {
namespace {

// The escapes of every string value of a desktop entry.
std::string Unescaped(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (const char c = value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\', out += c;  // for the quoting rules
    }
  }
  return out;
}

class Expansion {
 public:
  Expansion(const DesktopEntry& entry, const std::string& target)
      : entry_(entry), target_(target) {}

  // False for a field code that does not exist.
  bool FieldCode(char code) {
    switch (code) {
      case '%':
        return Add("%");
      case 'f':
      case 'F':
      case 'u':
      case 'U':
        if (!targetPlaced_) Add(target_);
        targetPlaced_ = true;
        return true;
      case 'i':
        // "--icon" and the icon as two words, only where the code is a word of its own.
        if (!entry_.icon.empty() && word_.empty()) {
          words_.push_back("--icon");
          Add(entry_.icon);
        }
        return true;
      case 'c':
        return Add(entry_.name);
      case 'k':
        return Add(entry_.location);
      case 'd':
      case 'D':
      case 'n':
      case 'N':
      case 'v':
      case 'm':
        return true;
      default:
        return false;
    }
  }
  bool Add(const std::string& text) {
    word_ += text;
    inWord_ = true;
    return true;
  }
  void Quoted() { inWord_ = true; }  // "" is a word, empty
  void EndWord() {
    if (inWord_) words_.push_back(word_);
    word_.clear();
    inWord_ = false;
  }
  std::vector<std::string> Words() {
    EndWord();
    if (!targetPlaced_) words_.push_back(target_);
    return words_;
  }

 private:
  const DesktopEntry& entry_;
  const std::string& target_;
  std::vector<std::string> words_;
  std::string word_;
  bool inWord_ = false, targetPlaced_ = false;
};

}  // namespace

std::optional<std::vector<std::string>> ExecWords(const DesktopEntry& entry,
                                                  const std::string& target) {
  const std::string line = Unescaped(entry.exec);
  Expansion out(entry, target);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
      out.Quoted();
    } else if (quoted && c == '\\' && i + 1 < line.size() &&
               std::string_view("\"`$\\").find(line[i + 1]) != std::string_view::npos) {
      out.Add(std::string(1, line[++i]));
    } else if (quoted) {
      out.Add(std::string(1, c));
    } else if (c == ' ' || c == '\t' || c == '\n') {
      out.EndWord();
    } else if (c == '%') {
      if (i + 1 == line.size() || !out.FieldCode(line[++i])) return std::nullopt;
    } else {
      out.Add(std::string(1, c));
    }
  }
  if (quoted) return std::nullopt;
  std::vector<std::string> words = out.Words();
  if (words.size() < 2 || words[0].empty()) return std::nullopt;  // the target alone: no program
  return words;
}

std::optional<std::vector<std::string>> DesktopCommand(const std::vector<DesktopEntry>& entries,
                                                       const std::string& target) {
  for (const DesktopEntry& entry : entries) {
    if (entry.terminal) continue;  // a terminal program would take over the caller's terminal
    if (auto words = ExecWords(entry, target)) return words;
  }
  return std::nullopt;
}

}  // namespace kelvane
