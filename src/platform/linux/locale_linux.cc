#include "platform/linux/locale_linux.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

namespace kelvane::linux_platform {
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

// The locale name that decides the language of messages.
std::string MessagesLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return {};
}

void AppendLatin1(std::string& out, unsigned char byte) {
  if (byte < 0x80) {
    out += static_cast<char>(byte);
  } else {
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
  }
}

// Length of the valid UTF-8 sequence at `p`, 0 when it is not one.
size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
  if (p[0] < 0x80) return 1;
  const size_t n = (p[0] & 0xE0) == 0xC0   ? 2
                   : (p[0] & 0xF0) == 0xE0 ? 3
                   : (p[0] & 0xF8) == 0xF0 ? 4
                                           : 0;
  if (n == 0 || n > left) return 0;
  uint32_t code = p[0] & (0x7F >> n);  // the payload bits of the lead byte
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (p[i] & 0x3F);
  }
  static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n;
}

std::string KeepUtf8(const std::string& bytes) {
  std::string out;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = Utf8SequenceLength(p + i, bytes.size() - i);
    if (n == 0) {
      AppendLatin1(out, p[i++]);
    } else {
      out.append(bytes, i, n);
      i += n;
    }
  }
  return out;
}

std::string Convert(iconv_t cd, const std::string& bytes) {
  std::string out;
  std::string input = bytes;
  char* in = input.data();
  size_t inLeft = input.size();
  char chunk[1024];
  while (inLeft > 0) {
    char* to = chunk;
    size_t toLeft = sizeof chunk;
    const size_t r = iconv(cd, &in, &inLeft, &to, &toLeft);
    out.append(chunk, static_cast<size_t>(to - chunk));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // An undecodable or cut-off byte: keep it as Latin-1 and go on.
      AppendLatin1(out, static_cast<unsigned char>(*in));
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

// The charset of the user's locale, read without changing the process's own.
std::string UserCharset() {
  locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return "UTF-8";
  std::string charset = nl_langinfo_l(CODESET, user);
  freelocale(user);
  return charset;
}

}  // namespace

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

int LinuxLocale::GetLocaleInfo(uint32_t type, char* buffer, int length) {
  if (type != kEnglishLanguageName || length < 0) return 0;
  const std::string name = EnglishLanguageName(MessagesLocale());
  if (name.empty()) return 0;
  const int needed = static_cast<int>(name.size()) + 1;
  if (length == 0) return needed;  // the caller asks for the size
  if (length < needed || buffer == nullptr) return 0;
  std::memcpy(buffer, name.c_str(), static_cast<size_t>(needed));
  return needed;
}

std::string LinuxLocale::DecodeSystemText(const std::string& bytes) {
  const std::string charset = UserCharset();
  if (charset == "UTF-8" || charset == "ANSI_X3.4-1968") return KeepUtf8(bytes);
  iconv_t cd = iconv_open("UTF-8", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return KeepUtf8(bytes);
  std::string out = Convert(cd, bytes);
  iconv_close(cd);
  return out;
}

}  // namespace kelvane::linux_platform
