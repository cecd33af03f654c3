#include "ui/window_handling.h"

#include <cmath>

#include "ui/artwork.h"
#include "ui/form1.h"

namespace kelvane {

int TwipsToPixels(int twips, double twipsPerPixel) {
  return static_cast<int>(std::nearbyint(twips / twipsPerPixel));  // rounds half to even
}

void RoundWindow(Form1& window, int corner) {
  const Bounds& size = window.Form.Position();
  const double perPixelX = window.sys.facts.TwipsPerPixelX();
  const double perPixelY = window.sys.facts.TwipsPerPixelY();
  // Without a usable screen measure the window keeps its previous shape.
  if (!(perPixelX > 0 && perPixelY > 0)) return;
  const int w = TwipsToPixels(size.width, perPixelX);
  const int h = TwipsToPixels(size.height, perPixelY);
  const int scaledCorner =
      TwipsToPixels(static_cast<int>(corner * kTwipsPerPixelAt96Dpi), perPixelY);
  window.sys.ui.SetRoundRegion(w, h, scaledCorner);
}

void FormDrag(Toolkit& window, int /*button: any button moves the window*/) {
  window.BeginWindowDrag();
}

void Form1::Form_MouseDown(int button) { FormDrag(sys.ui, button); }
void Form1::Frame1_MouseDown(int button) { FormDrag(sys.ui, button); }
void Form1::Label1_MouseDown(int button) { FormDrag(sys.ui, button); }
void Form1::Label2_MouseDown(int button) { FormDrag(sys.ui, button); }
void Form1::Label3_MouseDown(int button) { FormDrag(sys.ui, button); }
void Form1::Picture2_MouseDown(int button) { FormDrag(sys.ui, button); }
void Form1::VersionsInfoText_MouseDown(int button) { FormDrag(sys.ui, button); }

}  // namespace kelvane
