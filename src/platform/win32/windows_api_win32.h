#pragma once
// <windows.h> and the common controls, without the A/W macros that share
// names with methods of the platform seam (MessageBox, GetLocaleInfo,
// CreateProcess): the seam's names must mean the same in every file. Call
// the W functions by their full names.
#include <windows.h>
// clang-format off: these need <windows.h> first
#include <commctrl.h>
#include <uxtheme.h>
// clang-format on

#undef MessageBox
#undef GetLocaleInfo
#undef CreateProcess
