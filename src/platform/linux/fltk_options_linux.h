#pragma once

namespace kelvane::linux_platform {

// Gives FLTK its built-in options (visible focus, tool tips, text drag and
// drop on; arrow focus off) before anything asks for one. Otherwise the
// first question reads FLTK's preference files and writes them back
// (~/.fltk/fltk.org/fltk.prefs, and /etc/fltk/... as root), files that are
// not the program's to touch.
void UseBuiltInFltkOptions();

}  // namespace kelvane::linux_platform
