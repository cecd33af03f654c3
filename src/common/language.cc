#include "common/language.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "common/text.h"

namespace kelvane {
namespace {

// The language part of a locale name: "de" of "de_AT.UTF-8@euro".
std::string LanguageCode(const std::string& name) {
  std::string code;
  for (char c : name) {
    if (c == '_' || c == '.' || c == '@') break;
    code += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return code;
}

}  // namespace

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

std::string EnglishLanguageName(const std::string& localeName) {
  static const std::map<std::string, std::string> kNames = {
      {"ar", "Arabic"},
      {"bg", "Bulgarian"},
      {"ca", "Catalan"},
      {"cs", "Czech"},
      {"da", "Danish"},
      {"de", "German"},
      {"el", "Greek"},
      {"en", "English"},
      {"es", "Spanish"},
      {"et", "Estonian"},
      {"fi", "Finnish"},
      {"fr", "French"},
      {"gsw", "Swiss German"},
      {"he", "Hebrew"},
      {"hr", "Croatian"},
      {"hu", "Hungarian"},
      {"is", "Icelandic"},
      {"it", "Italian"},
      {"ja", "Japanese"},
      {"ko", "Korean"},
      {"lb", "Luxembourgish"},
      {"lt", "Lithuanian"},
      {"lv", "Latvian"},
      {"nb", "Norwegian"},
      {"nds", "Low German"},
      {"nl", "Dutch"},
      {"nn", "Norwegian"},
      {"no", "Norwegian"},
      {"pl", "Polish"},
      {"pt", "Portuguese"},
      {"ro", "Romanian"},
      {"ru", "Russian"},
      {"sk", "Slovak"},
      {"sl", "Slovenian"},
      {"sr", "Serbian"},
      {"sv", "Swedish"},
      {"th", "Thai"},
      {"tr", "Turkish"},
      {"uk", "Ukrainian"},
      {"vi", "Vietnamese"},
      {"zh", "Chinese"},
      // The neutral locales speak English.
      {"", "English"},
      {"c", "English"},
      {"posix", "English"},
  };
  auto it = kNames.find(LanguageCode(localeName));
  return it == kNames.end() ? std::string() : it->second;
}

}  // namespace kelvane
