#pragma once
// What the freedesktop data folders say about files.
#include <string>
#include <vector>

namespace kelvane::linux_platform {

// $XDG_DATA_HOME (or ~/.local/share), then each folder of $XDG_DATA_DIRS
// (or /usr/local/share and /usr/share).
std::vector<std::string> DataFolders();

// The MIME type that the shared MIME database gives a file by its name
// alone (mime/globs2 in the data folders), or "" when no pattern fits. The
// heaviest pattern wins, then the longest; case is ignored unless the
// pattern says otherwise. Like a file type on Windows, the name decides:
// the contents are not looked at.
std::string MimeTypeOfName(const std::string& name);

}  // namespace kelvane::linux_platform
