#include "ui/artwork.h"

#include <cstdint>

namespace kelvane {
namespace {

#include "ui/artwork_pixels.inc"

}  // namespace

Picture PictureNamed(const std::string& name) {
  if (name == "icon") return {32, 32, kIconPixels};
  if (name == "globe") return {35, 35, kGlobePixels};
  if (name == "arrow") return {18, 9, kArrowPixels};
  if (name == "pin") return {21, 20, kPinPixels};
  if (name == "pin_pushed") return {21, 20, kPinPushedPixels};
  return {};
}

}  // namespace kelvane
