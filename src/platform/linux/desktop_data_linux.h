#pragma once
// What the freedesktop data folders say about files.
#include <optional>
#include <string>
#include <vector>

#include "launch/desktop_exec.h"

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

// The desktop entries associated with a MIME type, the preferred first: the
// defaults of every mimeapps.list (the user's configuration first, then the
// system's, then those in the data folders), then their added associations,
// then the types the entries themselves name (applications/mimeinfo.cache).
std::vector<std::string> AssociatedIds(const std::string& type);

// The [Desktop Entry] group of applications/<id> in the first data folder
// that has it.
std::optional<DesktopEntry> ReadDesktopEntry(const std::string& id);

}  // namespace kelvane::linux_platform
