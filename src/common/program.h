#pragma once
// The program's name, version and homepage, as every part shows them.
#include "version.h"

namespace kelvane {

constexpr const char* kProgramTitle = "Kelvane";
constexpr const char* kVersion = "Vers. " KELVANE_VERSION;
// The maker's homepage; "Update.txt" and "Update.exe" lie directly below it.
constexpr const char* kHomepage = KELVANE_HOMEPAGE;

}  // namespace kelvane
