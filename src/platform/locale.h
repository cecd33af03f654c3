#pragma once
#include <cstdint>
#include <string>

namespace kelvane {

class Locale {
 public:
  static constexpr uint32_t kEnglishLanguageName = 0x1001;

  virtual ~Locale() = default;
  // Writes the user's locale information of `type` into `buffer` (ended by a
  // NUL) and returns the characters written, the NUL included; 0 on failure.
  virtual int GetLocaleInfo(uint32_t type, char* buffer, int length) = 0;
  // Decodes text in the system's code page into UTF-8.
  virtual std::string DecodeSystemText(const std::string& bytes) = 0;
  // Decodes text in the code page that the platform's older programs write
  // (Windows: the ANSI code page; Linux: Windows-1252) into UTF-8.
  virtual std::string DecodeLegacyText(const std::string& bytes) = 0;
};

}  // namespace kelvane
