#pragma once
// The program's own pictures, drawn as pixel arrays so that every platform
// can show them without image files.
#include <cstdint>
#include <string>

namespace kelvane {

struct Picture {
  int width = 0;
  int height = 0;
  const uint32_t* argb = nullptr;  // row by row; alpha 0 is transparent
};

// "icon" (32 x 32), "globe" (35 x 35), "arrow" (18 x 9), "pin" and
// "pin_pushed" (21 x 20). An unknown name gives an empty picture.
Picture PictureNamed(const std::string& name);

}  // namespace kelvane
