#include "platform/linux/desktop_data_linux.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kelvane::linux_platform {
namespace {

std::string FromEnvironment(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

// The values of `key` in the group `group` of an ini-style file, split at ";".
std::vector<std::string> ListIn(const std::string& file, const std::string& group,
                                const std::string& key) {
  std::ifstream in(file);
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

std::vector<std::string> DataFolders() {
  const char* data = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  std::vector<std::string> folders{data && *data ? std::string(data)
                                                 : std::string(home ? home : "") + "/.local/share"};
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::istringstream list(dirs && *dirs ? dirs : "/usr/local/share:/usr/share");
  for (std::string folder; std::getline(list, folder, ':');) {
    if (!folder.empty()) folders.push_back(folder);
  }
  return folders;
}

std::string MimeTypeOfName(const std::string& name) {
  std::string best;
  int bestWeight = -1;
  size_t bestLength = 0;
  for (const std::string& folder : DataFolders()) {
    std::ifstream globs(folder + "/mime/globs2");
    // "weight:type:pattern", optionally followed by ":flags".
    for (std::string line; std::getline(globs, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream fields(line);
      std::string weight, type, pattern, flags;
      if (!std::getline(fields, weight, ':') || !std::getline(fields, type, ':') ||
          !std::getline(fields, pattern, ':')) {
        continue;
      }
      std::getline(fields, flags);
      const int w = std::atoi(weight.c_str());
      if (w < bestWeight || (w == bestWeight && pattern.size() <= bestLength)) continue;
      const int fold = flags.find("cs") == std::string::npos ? FNM_CASEFOLD : 0;
      if (fnmatch(pattern.c_str(), name.c_str(), fold) != 0) continue;
      best = type;
      bestWeight = w;
      bestLength = pattern.size();
    }
  }
  return best;
}

std::vector<std::string> AssociatedIds(const std::string& type) {
  std::vector<std::string> lists{
      FromEnvironment("XDG_CONFIG_HOME", FromEnvironment("HOME", "") + "/.config") +
      "/mimeapps.list"};
  std::istringstream configs(FromEnvironment("XDG_CONFIG_DIRS", "/etc/xdg"));
  for (std::string folder; std::getline(configs, folder, ':');) {
    if (!folder.empty()) lists.push_back(folder + "/mimeapps.list");
  }
  for (const std::string& folder : DataFolders()) {
    lists.push_back(folder + "/applications/mimeapps.list");
  }
  std::vector<std::string> ids;
  auto add = [&](const std::vector<std::string>& found) {
    for (const std::string& id : found) {
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
  };
  for (const std::string& list : lists) add(ListIn(list, "Default Applications", type));
  for (const std::string& list : lists) add(ListIn(list, "Added Associations", type));
  for (const std::string& folder : DataFolders()) {
    add(ListIn(folder + "/applications/mimeinfo.cache", "MIME Cache", type));
  }
  return ids;
}

std::optional<DesktopEntry> ReadDesktopEntry(const std::string& id) {
  for (const std::string& folder : DataFolders()) {
    const std::string location = folder + "/applications/" + id;
    std::ifstream in(location);
    if (!in) continue;
    DesktopEntry entry;
    entry.location = location;
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
  return std::nullopt;
}

}  // namespace kelvane::linux_platform
