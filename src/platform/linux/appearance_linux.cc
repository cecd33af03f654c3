#include "platform/linux/appearance_linux.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <cmath>

namespace kelvane::linux_platform {
namespace {

constexpr Fl_Font kLiberationSans = FL_FREE_FONT;
constexpr Fl_Font kLiberationSansBold = FL_FREE_FONT + 1;

void DrawPlain(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
  fl_font(label->font, label->size);
  fl_color(label->color);
  fl_draw(label->value, x, y, w, h, align, label->image, 0);
}

// Underlines every line of a label drawn without wrapping.
void DrawUnderlined(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
  DrawPlain(label, x, y, w, h, align);
  if (!label->value) return;
  const std::string text = label->value;
  int textW = 0, textH = 0;
  fl_measure(label->value, textW, textH, 0);
  int top = y;
  if (align & FL_ALIGN_BOTTOM)
    top = y + h - textH;
  else if (!(align & FL_ALIGN_TOP))
    top = y + (h - textH) / 2;
  const int lineHeight = fl_height();
  size_t start = 0;
  for (int row = 0; start <= text.size(); ++row) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const int width =
        static_cast<int>(fl_width(text.c_str() + start, static_cast<int>(end - start)));
    int left = x;
    if (align & FL_ALIGN_RIGHT)
      left = x + w - width;
    else if (!(align & FL_ALIGN_LEFT))
      left = x + (w - width) / 2;
    const int base = top + row * lineHeight + lineHeight - fl_descent() + 1;
    if (width > 0) fl_xyline(left, base, left + width - 1);
    start = end + 1;
  }
}

void MeasurePlain(const Fl_Label* label, int& w, int& h) {
  fl_font(label->font, label->size);
  w = h = 0;
  fl_measure(label->value, w, h, 0);
}

}  // namespace

void RegisterLabelTypes() {
  Fl::set_labeltype(kPlainLabel, DrawPlain, MeasurePlain);
  Fl::set_labeltype(kUnderlinedLabel, DrawUnderlined, MeasurePlain);
  Fl::set_font(kLiberationSans, " Liberation Sans");
  Fl::set_font(kLiberationSansBold, "BLiberation Sans");
}

FlFont FontFor(const Font& font, double dpi) {
  const bool arial = font.name == "Arial";
  Fl_Font face = arial ? (font.bold ? kLiberationSansBold : kLiberationSans)
                       : (font.bold ? FL_HELVETICA_BOLD : FL_HELVETICA);
  return {face, static_cast<int>(std::lround(font.points * dpi / 72.0))};
}

Fl_Color ColourOf(Rgb rgb) { return fl_rgb_color(rgb.r, rgb.g, rgb.b); }

std::unique_ptr<Fl_RGB_Image> ImageOf(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0 || picture.argb.empty()) return nullptr;
  const int count = picture.width * picture.height;
  auto* rgba = new uchar[static_cast<size_t>(count) * 4];
  for (int i = 0; i < count; ++i) {
    const uint32_t p = picture.argb[i];
    rgba[i * 4 + 0] = static_cast<uchar>(p >> 16);
    rgba[i * 4 + 1] = static_cast<uchar>(p >> 8);
    rgba[i * 4 + 2] = static_cast<uchar>(p);
    rgba[i * 4 + 3] = static_cast<uchar>(p >> 24);
  }
  auto image = std::make_unique<Fl_RGB_Image>(rgba, picture.width, picture.height, 4);
  image->alloc_array = 1;  // the image frees the pixels
  return image;
}

std::string ForDisplay(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  return out;
}

}  // namespace kelvane::linux_platform
