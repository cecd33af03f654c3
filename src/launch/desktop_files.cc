#include "launch/desktop_files.h"

#include <algorithm>
#include <sstream>

namespace kelvane {
namespace {

// The values of `key` in the group `group` of an ini-style text, split at ";".
std::vector<std::string> ListIn(const std::string& text, const std::string& group,
                                const std::string& key) {
  std::istringstream in(text);
  std::vector<std::string> values;
  bool inGroup = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '[') inGroup = line == "[" + group + "]";
    if (!inGroup || line.rfind(key + "=", 0) != 0) continue;
    std::istringstream list(line.substr(key.size() + 1));
    for (std::string value; std::getline(list, value, ';');) {
      if (!value.empty()) values.push_back(value);
    }
  }
  return values;
}

}  // namespace

std::vector<std::string> AssociationOrder(const std::string& type,
                                          const std::vector<std::string>& mimeappsLists,
                                          const std::vector<std::string>& mimeinfoCaches) {
  std::vector<std::string> ids;
  auto add = [&](const std::vector<std::string>& found) {
    for (const std::string& id : found) {
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
  };
  for (const std::string& list : mimeappsLists) add(ListIn(list, "Default Applications", type));
  for (const std::string& list : mimeappsLists) add(ListIn(list, "Added Associations", type));
  for (const std::string& cache : mimeinfoCaches) add(ListIn(cache, "MIME Cache", type));
  return ids;
}

DesktopEntry ParseDesktopEntry(std::string_view text, std::string location) {
  DesktopEntry entry;
  entry.location = std::move(location);
  std::istringstream in{std::string(text)};
  bool inGroup = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '[') inGroup = line == "[Desktop Entry]";
    const size_t equals = line.find('=');
    if (!inGroup || equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
    if (key == "Exec") entry.exec = value;
    if (key == "Name") entry.name = value;
    if (key == "Icon") entry.icon = value;
    if (key == "Terminal") entry.terminal = value == "true";
  }
  return entry;
}

}  // namespace kelvane
