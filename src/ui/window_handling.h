#pragma once
// The borderless window's rounded shape and its move by mouse.
#include "platform/toolkit.h"

namespace kelvane {

class Form1;

// Twips to whole pixels, a half going to the even neighbour.
int TwipsToPixels(int twips, double twipsPerPixel);

// Cuts the window to its size in pixels with corner x corner ellipses, the
// corner given in pixels at 96 dpi and scaled with the screen.
void RoundWindow(Form1& window, int corner);
// Starts the platform's move of the window under the mouse, whichever
// `button` was pressed.
void FormDrag(Toolkit& window, int button);

}  // namespace kelvane
