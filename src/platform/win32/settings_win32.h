#pragma once
// The settings store in the user's part of the registry.
#include <string>

#include "platform/settings_store.h"

namespace kelvane::win32 {

class Win32SettingsStore : public SettingsStore {
 public:
  // Sections are keys below HKEY_CURRENT_USER\<root>; values are REG_SZ.
  explicit Win32SettingsStore(std::string root = "Software\\Kelvane");

  bool RegistrySet(const std::string& section, const std::string& key,
                   const std::string& value) override;
  std::string RegistryGet(const std::string& section, const std::string& key,
                          const std::string& fallback) override;

 private:
  std::wstring KeyPath(const std::string& section) const;

  std::string root_;
};

}  // namespace kelvane::win32
