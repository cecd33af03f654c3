#include "common/ini_text.h"

#include <vector>

#include "common/text.h"

namespace kelvane {
namespace {

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// The section a "[name]" line opens, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = TrimWhitespace(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return TrimWhitespace(line.substr(1, line.size() - 2));
}

// The key of a "key=value" line, with its value.
std::optional<std::pair<std::string_view, std::string_view>> EntryOf(std::string_view line) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::pair{TrimWhitespace(line.substr(0, eq)), TrimWhitespace(line.substr(eq + 1))};
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

bool IniStorable(std::string_view section, std::string_view key, std::string_view value) {
  return !HasLineBreak(section) && !HasLineBreak(key) && !HasLineBreak(value) &&
         section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos;
}

std::optional<std::string> IniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
  bool inSection = false;
  for (std::string_view line : Lines(text)) {
    if (auto name = SectionOf(line)) {
      inSection = EqualsIgnoringCase(*name, section);
    } else if (inSection) {
      auto kv = EntryOf(line);
      if (kv && EqualsIgnoringCase(kv->first, key)) return std::string(kv->second);
    }
  }
  return std::nullopt;
}

std::string IniWithValue(std::string_view text, const std::string& section, const std::string& key,
                         const std::string& value) {
  const std::string entry = key + "=" + value;
  std::string out;
  bool inSection = false, done = false;
  size_t insertAt = std::string::npos;  // after the section's last entry
  for (std::string_view line : Lines(text)) {
    if (auto name = SectionOf(line)) {
      inSection = !done && EqualsIgnoringCase(*name, section);
    } else if (inSection) {
      auto kv = EntryOf(line);
      if (kv && EqualsIgnoringCase(kv->first, key)) {
        out += entry + "\n";
        done = true;
        inSection = false;
        continue;
      }
    }
    out.append(line) += "\n";
    if (inSection && !TrimWhitespace(line).empty()) insertAt = out.size();
  }
  if (done) return out;
  if (insertAt != std::string::npos) return out.insert(insertAt, entry + "\n");
  if (!out.empty()) out += "\n";
  return out + "[" + section + "]\n" + entry + "\n";
}

}  // namespace kelvane
