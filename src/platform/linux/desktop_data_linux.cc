#include "platform/linux/desktop_data_linux.h"

#include <fnmatch.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "launch/desktop_files.h"

namespace kelvane::linux_platform {
namespace {

std::string FromEnvironment(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

// The file's text, "" when it cannot be read (a missing file says nothing).
std::string TextOf(const std::string& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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
  std::vector<std::string> caches;
  for (const std::string& folder : DataFolders()) {
    caches.push_back(TextOf(folder + "/applications/mimeinfo.cache"));
  }
  for (std::string& list : lists) list = TextOf(list);
  return AssociationOrder(type, lists, caches);
}

std::optional<DesktopEntry> ReadDesktopEntry(const std::string& id) {
  for (const std::string& folder : DataFolders()) {
    const std::string location = folder + "/applications/" + id;
    if (!std::ifstream(location)) continue;
    return ParseDesktopEntry(TextOf(location), location);
  }
  return std::nullopt;
}

}  // namespace kelvane::linux_platform
