#include "ui/artwork.h"

#include <array>

namespace kelvane {
namespace {

// Plain shapes until the real pictures are drawn.
template <int W, int H>
struct Plain {
  std::array<uint32_t, W * H> pixels;
  explicit Plain(uint32_t colour) { pixels.fill(colour); }
};

const Plain<32, 32> kIcon{0xFF2060C0};
const Plain<35, 35> kGlobe{0xFF2060C0};
const Plain<18, 9> kArrow{0xFF80C0F0};
const Plain<21, 20> kPin{0xFF909090};
const Plain<21, 20> kPinPushed{0xFF606060};

}  // namespace

Picture PictureNamed(const std::string& name) {
  if (name == "icon") return {32, 32, kIcon.pixels.data()};
  if (name == "globe") return {35, 35, kGlobe.pixels.data()};
  if (name == "arrow") return {18, 9, kArrow.pixels.data()};
  if (name == "pin") return {21, 20, kPin.pixels.data()};
  if (name == "pin_pushed") return {21, 20, kPinPushed.pixels.data()};
  return {};
}

}  // namespace kelvane
