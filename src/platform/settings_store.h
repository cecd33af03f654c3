#pragma once
#include <string>

namespace kelvane {

// The persistent settings store (sections of key/value texts).
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // False when the value could not be written.
  virtual bool RegistrySet(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
  // The stored value, or `fallback` when none is stored or it cannot be read.
  virtual std::string RegistryGet(const std::string& section, const std::string& key,
                                  const std::string& fallback) = 0;
};

}  // namespace kelvane
