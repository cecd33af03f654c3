#pragma once
// Path texts with either separator, "\" or "/".
#include <string>
#include <string_view>

namespace kelvane {

// The part after the last separator; the whole path without one.
std::string FileNameOfPath(std::string_view path);
// "/" when the path holds one, else "\\".
char SeparatorOf(std::string_view path);
// Everything up to and including the last separator; the whole path without one.
std::string FolderOfPath(std::string_view path);
// Ensures the path ends with its separator ("\" if it holds one, else "/"),
// keeping a closing double quote last.
std::string WithTrailingSeparator(std::string_view path);

// `path` made absolute against `folder`; a path that names its root (a "/" or
// "\" first, or a drive letter) is kept, and so is any path when `folder` is
// empty. A leading double quote stays first.
std::string AbsolutePath(std::string_view path, std::string_view folder);

}  // namespace kelvane
