#pragma once
// The names of the program's temporary copies: unpredictable, so that nobody
// can plant a file or a link there beforehand, and recognisable, so that what
// a killed job left is removed by the next one.
#include <string>
#include <string_view>

namespace kelvane {

// A fresh random name in `folder` (which ends with its separator).
std::string TemporaryName(const std::string& folder);
// Whether a file name (without its folder) is one TemporaryName makes.
bool IsTemporaryName(std::string_view name);

}  // namespace kelvane
