#include "ui/artwork.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(Artwork, PicturesAreSizedForTheScreenLikeTheirPlaces) {
  struct Row {
    const char* name;
    double twipsPerPixel;
    int width, height;
  };
  for (const Row& row : {Row{"globe", 15, 35, 35}, Row{"globe", 10, 52, 52},  // 52.5 to even
                         Row{"pin", 7.5, 42, 40}, Row{"arrow", 12, 22, 11},
                         Row{"pin_pushed", 0, 21, 20}, Row{"none", 15, 0, 0}}) {
    const Picture p = PictureNamed(row.name, row.twipsPerPixel);
    EXPECT_EQ(std::pair(p.width, p.height), std::pair(row.width, row.height)) << row.name;
    EXPECT_EQ(p.argb.size(), static_cast<size_t>(row.width * row.height)) << row.name;
  }
}

// Transparent pixels lend no colour (no dark fringe); a half-covered pixel is half opaque.
TEST(Artwork, ResamplingAveragesByAlpha) {
  const Picture from{4, 1, {0xFFFF0000, 0x00000000, 0xFF0000FF, 0xFF00FF00}};
  EXPECT_EQ(Resampled(from, 2, 1).argb, (std::vector<uint32_t>{0x80FF0000, 0xFF008080}));
  EXPECT_EQ(Resampled(from, 8, 1).argb[1], 0xFFFF0000u);  // enlarged: each pixel twice
}

}  // namespace
}  // namespace kelvane
