#include "ui/artwork.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

uint32_t Alpha(const Picture& p, int x, int y) { return p.argb[y * p.width + x] >> 24; }

TEST(Artwork, EveryPictureHasItsSizeAndItsKindOfBackground) {
  struct Expected {
    const char* name;
    int width, height;
    bool transparent;
  };
  for (const Expected& e : {Expected{"icon", 32, 32, true}, Expected{"globe", 35, 35, true},
                            Expected{"arrow", 18, 9, true}, Expected{"pin", 21, 20, true},
                            Expected{"pin_pushed", 21, 20, false}}) {
    SCOPED_TRACE(e.name);
    const Picture p = PictureNamed(e.name);
    ASSERT_NE(p.argb, nullptr);
    EXPECT_EQ(p.width, e.width);
    EXPECT_EQ(p.height, e.height);
    int opaque = 0, clear = 0;
    for (int i = 0; i < p.width * p.height; ++i) {
      opaque += (p.argb[i] >> 24) == 0xFF;
      clear += (p.argb[i] >> 24) == 0;
    }
    if (e.transparent) {
      // Something is drawn, on a see-through ground that shows at a corner.
      EXPECT_GT(opaque, p.width * p.height / 5);
      EXPECT_GT(clear, 0);
      EXPECT_EQ(Alpha(p, 0, 0), 0u);
    } else {
      EXPECT_EQ(opaque, p.width * p.height);
    }
    // The middle of every picture is drawn.
    EXPECT_EQ(Alpha(p, p.width / 2, p.height / 2), 0xFFu);
  }
  EXPECT_EQ(PictureNamed("nothing").argb, nullptr);
  EXPECT_EQ(PictureNamed("nothing").width, 0);
}

}  // namespace
}  // namespace kelvane
