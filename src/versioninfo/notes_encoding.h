#pragma once
// The encodings that release notes arrive in.
#include <string>

#include "platform/locale.h"

namespace kelvane {

// Release notes as UTF-8: a file with a byte order mark (UTF-8, UTF-16 LE or
// BE) is read in that encoding and the mark dropped; valid UTF-8 stays as it
// is; anything else is in the platform's legacy code page.
std::string DecodeNotes(const std::string& bytes, Locale& locale);

}  // namespace kelvane
