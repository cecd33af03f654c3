#pragma once
// The settings store as an INI file of the user's configuration folder.
#include <string>

#include "platform/settings_store.h"

namespace kelvane::linux_platform {

class LinuxSettingsStore : public SettingsStore {
 public:
  // Keeps kelvane.ini in `folder`, created when first written.
  explicit LinuxSettingsStore(std::string folder = DefaultFolder());

  // $XDG_CONFIG_HOME/kelvane, or ~/.config/kelvane when that is unset or
  // not an absolute path.
  static std::string DefaultFolder();
  const std::string& File() const { return file_; }

  // Replaces the file as a whole (a temporary sibling renamed into place),
  // so a crash leaves either the old or the new file.
  bool RegistrySet(const std::string& section, const std::string& key,
                   const std::string& value) override;
  std::string RegistryGet(const std::string& section, const std::string& key,
                          const std::string& fallback) override;

 private:
  std::string folder_;
  std::string file_;
};

}  // namespace kelvane::linux_platform
