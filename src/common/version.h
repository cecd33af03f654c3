#pragma once
// The program's version, in one place: the window shows it and every
// request names it.
#define KELVANE_VERSION "1.4b"

namespace kelvane {

constexpr const char* kVersion = "Vers. " KELVANE_VERSION;

}  // namespace kelvane
