#pragma once
// <windows.h> without the A/W macros that share names with methods of the
// platform seam (MessageBox, GetLocaleInfo, CreateProcess): the seam's names
// must mean the same in every file. Call the W functions by their full name.
#include <windows.h>

#undef MessageBox
#undef GetLocaleInfo
#undef CreateProcess
