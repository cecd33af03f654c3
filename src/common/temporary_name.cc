#include "common/temporary_name.h"

#include <random>

namespace kelvane {
namespace {

constexpr std::string_view kPrefix = ".kelvane-";
constexpr size_t kDigits = 16;

}  // namespace

std::string TemporaryName(const std::string& folder, std::string_view ending) {
  std::random_device random;
  std::string name = folder + std::string(kPrefix);
  for (size_t i = 0; i < kDigits; ++i) name += "0123456789abcdef"[random() % 16];
  return name + std::string(ending);
}

bool IsTemporaryName(std::string_view name) {
  const bool ending = name.ends_with(kCopyEnding) || name.ends_with(kDownloadEnding);
  if (!ending || name.size() != kPrefix.size() + kDigits + kCopyEnding.size() ||
      !name.starts_with(kPrefix))
    return false;
  return name.substr(kPrefix.size(), kDigits).find_first_not_of("0123456789abcdef") ==
         std::string_view::npos;
}

}  // namespace kelvane
