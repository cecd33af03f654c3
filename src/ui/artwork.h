#pragma once
// The program's own pictures, drawn as pixel arrays so that every platform
// can show them without image files.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;  // row by row, 0xAARRGGBB; alpha 0 is transparent
};

constexpr double kTwipsPerPixelAt96Dpi = 15;

// The picture `name` for a screen of `twipsPerPixel`: its size at 96 dpi,
// "icon" (32 x 32), "globe" (35 x 35), "arrow" (18 x 9), "pin" and
// "pin_pushed" (21 x 20), times the screen's scale, averaged down from a
// drawing at twice that size (the icon is drawn at its size). An unknown
// name gives an empty picture.
Picture PictureNamed(const std::string& name, double twipsPerPixel = kTwipsPerPixelAt96Dpi);

// `from` resampled to `width` x `height`: each pixel the average of the area
// it covers, weighted by alpha so that transparent pixels lend no colour.
Picture Resampled(const Picture& from, int width, int height);

}  // namespace kelvane
