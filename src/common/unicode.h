#pragma once
// UTF-8 and the byte encodings that text files arrive in.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// Length of the valid UTF-8 sequence at `p` (of `left` bytes), 0 when it is
// not one: overlong forms, surrogates and code points above U+10FFFF are not.
size_t Utf8SequenceLength(const unsigned char* p, size_t left);

// Whether every byte belongs to a valid UTF-8 sequence.
bool IsValidUtf8(std::string_view bytes);

void AppendUtf8(std::string& out, uint32_t code);

// UTF-16 in the given byte order; an unpaired surrogate or a lone final byte
// becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Windows-1252: Latin-1 with printable characters at 0x80-0x9F (€, –, ...).
std::string Windows1252ToUtf8(std::string_view bytes);

// Valid UTF-8 sequences kept; every other byte taken as Latin-1.
std::string Utf8OrLatin1(std::string_view bytes);

}  // namespace kelvane
