#include "platform/linux/appearance_linux.h"

#include <gtest/gtest.h>

namespace kelvane::linux_platform {
namespace {

TEST(LinuxAppearance, LineBreaksAndFontSizesAsTheWindowShowsThem) {
  EXPECT_EQ(ForDisplay("a\rb"), "a\nb");
  EXPECT_EQ(ForDisplay("a\r\nb\nc"), "a\nb\nc");
  EXPECT_EQ(ForDisplay("a\r\r\nb\r"), "a\n\nb\n");
  EXPECT_EQ(ForDisplay("\r\r"), "\n\n");

  // Points become pixels at the screen's resolution.
  EXPECT_EQ(FontFor({"Arial", 8.25, false, false}, 96).pixels, 11);
  EXPECT_EQ(FontFor({"Arial", 11.25, true, false}, 96).pixels, 15);
  EXPECT_EQ(FontFor({"MS Sans Serif", 8.25, true, false}, 120).pixels, 14);
  EXPECT_NE(FontFor({"Arial", 8.25, true, false}, 96).face,
            FontFor({"Arial", 8.25, false, false}, 96).face);
  EXPECT_NE(FontFor({"Arial", 8.25, true, false}, 96).face,
            FontFor({"MS Sans Serif", 8.25, true, false}, 96).face);
}

}  // namespace
}  // namespace kelvane::linux_platform
