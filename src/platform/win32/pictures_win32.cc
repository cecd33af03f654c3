#include "platform/win32/pictures_win32.h"

#include <cstring>
#include <vector>

namespace kelvane::win32 {
namespace {

BITMAPINFO TopDown32(const Picture& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

uint32_t Mix(uint32_t front, uint32_t back, uint32_t alpha, int shift) {
  const uint32_t f = (front >> shift) & 0xFF, b = (back >> shift) & 0xFF;
  return ((f * alpha + b * (255 - alpha) + 127) / 255) << shift;
}

}  // namespace

void DrawPicture(HDC dc, const Picture& picture, int x, int y, COLORREF background) {
  if (picture.argb.empty() || picture.width <= 0 || picture.height <= 0) return;
  // The picture is mixed with the known background in memory: a 32-bit DIB
  // holds 0x00RRGGBB per pixel, the layout of the ARGB values without alpha.
  const uint32_t back =
      (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
  std::vector<uint32_t> pixels(static_cast<size_t>(picture.width) * picture.height);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t p = picture.argb[i], alpha = p >> 24;
    pixels[i] = Mix(p, back, alpha, 16) | Mix(p, back, alpha, 8) | Mix(p, back, alpha, 0);
  }
  const BITMAPINFO info = TopDown32(picture);
  SetDIBitsToDevice(dc, x, y, picture.width, picture.height, 0, 0, 0, picture.height, pixels.data(),
                    &info, DIB_RGB_COLORS);
}

HICON IconFromPicture(const Picture& picture) {
  if (picture.argb.empty() || picture.width <= 0 || picture.height <= 0) return nullptr;
  const BITMAPINFO info = TopDown32(picture);
  void* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!colour) return nullptr;
  std::memcpy(bits, picture.argb.data(), sizeof(uint32_t) * picture.width * picture.height);
  // With an alpha channel the mask only has to exist.
  std::vector<uint8_t> zeros(static_cast<size_t>((picture.width + 15) / 16 * 2) * picture.height);
  HBITMAP mask = CreateBitmap(picture.width, picture.height, 1, 1, zeros.data());
  ICONINFO icon{TRUE, 0, 0, mask, colour};
  HICON result = CreateIconIndirect(&icon);
  DeleteObject(mask);
  DeleteObject(colour);
  return result;
}

}  // namespace kelvane::win32
