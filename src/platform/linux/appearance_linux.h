#pragma once
// How the window model's fonts, colours, pictures and texts look in FLTK.
#include <FL/Enumerations.H>
#include <FL/Fl_RGB_Image.H>

#include <memory>
#include <string>

#include "ui/artwork.h"
#include "ui/control.h"

namespace kelvane::linux_platform {

// Label types that draw text as it stands ("@" is no symbol): plain, and
// underlined for link labels. Registered by RegisterLabelTypes().
constexpr Fl_Labeltype kPlainLabel = FL_FREE_LABELTYPE;
constexpr Fl_Labeltype kUnderlinedLabel = static_cast<Fl_Labeltype>(FL_FREE_LABELTYPE + 1);
void RegisterLabelTypes();

struct FlFont {
  Fl_Font face;
  int pixels;
};
// "Arial" is drawn with Liberation Sans (same metrics), anything else with
// the system's sans; points become pixels at `dpi`.
FlFont FontFor(const Font& font, double dpi);

Fl_Color ColourOf(Rgb rgb);

// An RGBA image of a built-in picture; null for an empty one.
std::unique_ptr<Fl_RGB_Image> ImageOf(const Picture& picture);

// CR LF and lone CR become the line feed FLTK breaks lines at.
std::string ForDisplay(const std::string& text);

}  // namespace kelvane::linux_platform
