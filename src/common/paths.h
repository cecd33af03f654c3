#pragma once
// Path texts with either separator, "\" or "/".
#include <string>
#include <string_view>

namespace kelvane {

// The part after the last separator; the whole path without one.
std::string FileNameOfPath(std::string_view path);
// Everything up to and including the last separator; the whole path without one.
std::string FolderOfPath(std::string_view path);
// Ensures the path ends with its separator ("\" if it holds one, else "/"),
// keeping a closing double quote last.
std::string WithTrailingSeparator(std::string_view path);

}  // namespace kelvane
