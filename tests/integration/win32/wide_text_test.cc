#include <gtest/gtest.h>

#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

TEST(WideText, RoundTripsEveryPlaneAndCountsUtf16Units) {
  // German letters, a CJK character and one outside the basic plane (a
  // surrogate pair in UTF-16).
  const std::string utf8 =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE4\xB8\xAD \xF0\x9F\x8C\x8D.exe";
  const std::wstring wide = Widen(utf8);
  EXPECT_EQ(wide, L"Gr\u00FC\u00DFe \u4E2D \U0001F30D.exe");
  EXPECT_EQ(Narrow(wide), utf8);
  EXPECT_EQ(Widen(""), L"");
  EXPECT_EQ(Narrow(L""), "");

  EXPECT_EQ(WideOffset(utf8, 0), 0);
  EXPECT_EQ(WideOffset(utf8, 4), 3);    // behind the two-byte letter
  EXPECT_EQ(WideOffset(utf8, 12), 8);   // behind the three-byte character: one unit
  EXPECT_EQ(WideOffset(utf8, 16), 10);  // behind the four-byte character: two units
  EXPECT_EQ(WideOffset(utf8, 1000), static_cast<int>(wide.size()));
  EXPECT_EQ(WideOffset(utf8, -3), 0);
}

TEST(WideText, MakesEveryLineBreakCrLf) {
  EXPECT_EQ(WithCrLf(L"a\rb"), L"a\r\nb");
  EXPECT_EQ(WithCrLf(L"a\r\rb\r"), L"a\r\n\r\nb\r\n");
  EXPECT_EQ(WithCrLf(L"a\nb\r\nc"), L"a\r\nb\r\nc");  // a CR LF stays one break
  EXPECT_EQ(WithCrLf(L"\n\r"), L"\r\n\r\n");
  EXPECT_EQ(WithCrLf(L"no break"), L"no break");
}

}  // namespace
}  // namespace kelvane::win32
