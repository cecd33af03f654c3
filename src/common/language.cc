#include "common/language.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"

namespace kelvane {

std::string LocaleInfoText(Locale& locale, uint32_t type) {
  char buffer[256] = {};
  const int n = locale.GetLocaleInfo(type, buffer, sizeof buffer);
  if (n <= 0) return {};
  // Never trust a count beyond the buffer; the text ends at its NUL anyway.
  return std::string(buffer,
                     strnlen(buffer, std::min<size_t>(static_cast<size_t>(n - 1), sizeof buffer)));
}

int SystemLanguage(Locale& locale) {
  const std::string name = UpperCase(LocaleInfoText(locale, Locale::kEnglishLanguageName));
  return name.find("GERMAN") != std::string::npos ? 1 : 0;
}

}  // namespace kelvane
