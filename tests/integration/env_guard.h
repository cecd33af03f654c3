#pragma once
// Sets environment variables for one test and puts the old values back.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace kelvane::testing {

class EnvGuard {
 public:
  ~EnvGuard() {
    for (const auto& [name, value] : saved_) Put(name, value);
  }
  // Sets `name` to `value`; nothing unsets it.
  void Set(const std::string& name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name.c_str());
    saved_.try_emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
    Put(name, value);
  }

 private:
  static void Put(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    _putenv((name + "=" + value.value_or("")).c_str());  // "NAME=" unsets it
#else
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
#endif
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace kelvane::testing
