#pragma once
#include "platform/locale.h"

namespace kelvane::win32 {

// The user's default locale and the ANSI code page.
class Win32Locale : public Locale {
 public:
  int GetLocaleInfo(uint32_t type, char* buffer, int length) override;
  std::string DecodeSystemText(const std::string& bytes) override;
  // The ANSI code page too.
  std::string DecodeLegacyText(const std::string& bytes) override {
    return DecodeSystemText(bytes);
  }
};

}  // namespace kelvane::win32
