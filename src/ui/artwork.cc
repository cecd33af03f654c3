#include "ui/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

#include "ui/window_handling.h"

namespace kelvane {
namespace {

#include "ui/artwork_pixels.inc"

struct Drawing {
  const char* name;
  int width, height;  // at 96 dpi
  int scale;          // pixels drawn per pixel at 96 dpi
  const uint32_t* palette;
  const uint8_t* pixels;  // indexes into the palette
};

constexpr Drawing kDrawings[] = {
    {"icon", 32, 32, 1, kIconPalette, kIconPixels},
    {"globe", 35, 35, 2, kGlobePalette, kGlobePixels},
    {"arrow", 18, 9, 2, kArrowPalette, kArrowPixels},
    {"pin", 21, 20, 2, kPinPalette, kPinPixels},
    {"pin_pushed", 21, 20, 2, kPinPushedPalette, kPinPushedPixels},
};

// For each target pixel along one axis, the source pixels it covers and the
// share of each.
std::vector<std::vector<std::pair<int, double>>> Spans(int from, int to) {
  std::vector<std::vector<std::pair<int, double>>> spans(static_cast<size_t>(to));
  const double step = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double begin = i * step, end = (i + 1) * step;
    for (int s = static_cast<int>(begin); s < from && s < end; ++s) {
      const double share = (std::min<double>(end, s + 1) - std::max<double>(begin, s)) / step;
      if (share > 0) spans[static_cast<size_t>(i)].push_back({s, share});
    }
  }
  return spans;
}

}  // namespace

Picture Resampled(const Picture& from, int width, int height) {
  Picture to{width, height, {}};
  if (from.argb.empty() || width <= 0 || height <= 0) return {};
  if (width == from.width && height == from.height) return from;
  const auto columns = Spans(from.width, width), rows = Spans(from.height, height);
  to.argb.reserve(static_cast<size_t>(width) * height);
  for (const auto& row : rows) {
    for (const auto& column : columns) {
      std::array<double, 4> sum{};  // alpha, then red, green, blue times alpha
      for (const auto& [y, shareY] : row) {
        for (const auto& [x, shareX] : column) {
          const uint32_t p = from.argb[static_cast<size_t>(y) * from.width + x];
          const double a = (p >> 24) * shareX * shareY;
          sum[0] += a;
          for (int c = 1; c < 4; ++c) sum[c] += a * ((p >> (24 - 8 * c)) & 0xFF);
        }
      }
      uint32_t pixel = static_cast<uint32_t>(std::lround(std::min(sum[0], 255.0))) << 24;
      for (int c = 1; c < 4 && sum[0] > 0; ++c) {
        const double value = std::min(sum[c] / sum[0], 255.0);
        pixel |= static_cast<uint32_t>(std::lround(value)) << (24 - 8 * c);
      }
      to.argb.push_back(pixel);
    }
  }
  return to;
}

Picture PictureNamed(const std::string& name, double twipsPerPixel) {
  const auto* drawing = std::find_if(std::begin(kDrawings), std::end(kDrawings),
                                     [&](const Drawing& d) { return name == d.name; });
  if (drawing == std::end(kDrawings)) return {};
  const int w = drawing->width * drawing->scale, h = drawing->height * drawing->scale;
  Picture drawn{w, h, {}};
  drawn.argb.reserve(static_cast<size_t>(w) * h);
  for (int i = 0; i < w * h; ++i) drawn.argb.push_back(drawing->palette[drawing->pixels[i]]);
  if (!(twipsPerPixel > 0)) twipsPerPixel = kTwipsPerPixelAt96Dpi;
  // Sized as a control of the picture's size in twips, so that it fills one.
  auto pixels = [&](int at96Dpi) {
    return std::max(
        1, TwipsToPixels(static_cast<int>(at96Dpi * kTwipsPerPixelAt96Dpi), twipsPerPixel));
  };
  return Resampled(drawn, pixels(drawing->width), pixels(drawing->height));
}

}  // namespace kelvane
