#pragma once
#include <string>

#include "platform/locale.h"

namespace kelvane::linux_platform {

// The user's locale as the environment names it (LC_ALL, LC_MESSAGES, LANG).
class LinuxLocale : public Locale {
 public:
  int GetLocaleInfo(uint32_t type, char* buffer, int length) override;
  // From the charset of the user's locale to UTF-8. Bytes that the charset
  // cannot decode are taken as Latin-1, so none is lost.
  std::string DecodeSystemText(const std::string& bytes) override;
  std::string DecodeLegacyText(const std::string& bytes) override;
};

}  // namespace kelvane::linux_platform
