#pragma once
#include <cstdint>
#include <string>

#include "platform/locale.h"

namespace kelvane {

// The user's locale information of `type`, empty on failure.
std::string LocaleInfoText(Locale& locale, uint32_t type);
// 1 when the user's language is German, 0 otherwise. Asked anew every time.
int SystemLanguage(Locale& locale);

// The English name of the language of a locale name such as "de_DE.UTF-8";
// empty when the language is not known.
std::string EnglishLanguageName(const std::string& localeName);

}  // namespace kelvane
