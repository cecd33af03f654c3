#pragma once
#include <string>

#include "platform/toolkit.h"

namespace kelvane::linux_platform {

// A modal box titled `title`, centred on the screen. Return answers the
// default button (OK or Yes); Escape and closing answer Cancel, No, or OK
// on a box with only OK. `german` labels the buttons in German.
MsgAnswer ShowMessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon, bool german);

}  // namespace kelvane::linux_platform
