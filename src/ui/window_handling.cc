#include "ui/window_handling.h"

#include <cmath>

#include "ui/form1.h"

namespace kelvane {

int TwipsToPixels(int twips, double twipsPerPixel) {
  return static_cast<int>(std::nearbyint(twips / twipsPerPixel));  // rounds half to even
}

void RoundWindow(Form1& window, int corner) {
  const Bounds& size = window.Form.Position();
  const int w = TwipsToPixels(size.width, window.sys.facts.TwipsPerPixelX());
  const int h = TwipsToPixels(size.height, window.sys.facts.TwipsPerPixelY());
  window.sys.ui.SetRoundRegion(w, h, corner);
}

void FormDrag(Toolkit& window) { window.BeginWindowDrag(); }

void Form1::Form_MouseDown(int /*button: any button moves the window*/) { FormDrag(sys.ui); }

}  // namespace kelvane
