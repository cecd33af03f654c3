#pragma once
// The freedesktop files that say which program opens a type, read from the
// texts the platform hands over.
#include <string>
#include <string_view>
#include <vector>

#include "launch/desktop_exec.h"

namespace kelvane {

// The desktop entries associated with `type`, the preferred first and each
// once: the defaults of every mimeapps.list (in the order given), then their
// added associations, then the types the entries themselves name (the
// mimeinfo.cache texts).
std::vector<std::string> AssociationOrder(const std::string& type,
                                          const std::vector<std::string>& mimeappsLists,
                                          const std::vector<std::string>& mimeinfoCaches);

// The [Desktop Entry] group of an entry's text; `location` is its file.
DesktopEntry ParseDesktopEntry(std::string_view text, std::string location);

}  // namespace kelvane
