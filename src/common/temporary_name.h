#pragma once
// The names of the program's temporary copies: unpredictable, so that nobody
// can plant a file or a link there beforehand, and recognisable, so that what
// a killed job left is removed by the next one.
#include <string>
#include <string_view>

namespace kelvane {

// The ending of a job's copy while it is written, and of a download while it
// arrives.
// Both as long: a name's length tells it.
constexpr std::string_view kCopyEnding = ".copy", kDownloadEnding = ".part";

// A fresh random name in `folder` (which ends with its separator).
std::string TemporaryName(const std::string& folder, std::string_view ending = kCopyEnding);
// Whether a file name (without its folder) is one TemporaryName makes.
bool IsTemporaryName(std::string_view name);

}  // namespace kelvane
