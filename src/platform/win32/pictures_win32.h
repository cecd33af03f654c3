#pragma once
// The program's ARGB pictures on Windows devices.
#include "platform/win32/windows_api_win32.h"
#include "ui/artwork.h"

namespace kelvane::win32 {

// Draws `picture` with its top left at (x, y); where it is transparent or
// translucent, `background` shows through.
void DrawPicture(HDC dc, const Picture& picture, int x, int y, COLORREF background);

// An icon with an alpha channel made from `picture`; null for an empty one.
HICON IconFromPicture(const Picture& picture);

}  // namespace kelvane::win32
