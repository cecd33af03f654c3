#include "platform/linux/locale_linux.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/language.h"
#include "common/unicode.h"

namespace kelvane::linux_platform {
namespace {

// The locale name that decides the language of messages.
std::string MessagesLocale() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return {};
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
      AppendUtf8(out, static_cast<unsigned char>(*in));
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
  if (charset == "UTF-8" || charset == "ANSI_X3.4-1968") return Utf8OrLatin1(bytes);
  iconv_t cd = iconv_open("UTF-8", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return Utf8OrLatin1(bytes);
  std::string out = Convert(cd, bytes);
  iconv_close(cd);
  return out;
}

std::string LinuxLocale::DecodeLegacyText(const std::string& bytes) {
  return Windows1252ToUtf8(bytes);
}

}  // namespace kelvane::linux_platform
