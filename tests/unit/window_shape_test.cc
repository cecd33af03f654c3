#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fakes/fake_platform.h"
#include "ui/window_handling.h"

namespace kelvane {
namespace {

using fakes::FakePlatform;

TEST(WindowShape, RegionFollowsTheWindowInPixelsRoundedHalfToEven) {
  FakePlatform p;
  auto form = p.MakeForm();

  RoundWindow(*form, 40);
  form->Form.SetHeight(4980);  // the taller form with the version information
  RoundWindow(*form, 40);
  p.facts.twipsPerPixel = 10;  // 144 dpi: 469.5 and 498 pixels, the corner 1.5 times
  RoundWindow(*form, 40);
  form->Form.SetHeight(2505);  // 250.5 pixels
  RoundWindow(*form, 40);
  p.facts.twipsPerPixel = 15;
  p.facts.twipsPerPixelVertical = 7.5;  // each direction by its own measure
  RoundWindow(*form, 20);
  p.facts.twipsPerPixel = 0;  // no usable measure: the shape stays as it was
  RoundWindow(*form, 40);

  EXPECT_EQ(p.ui.log,
            (std::vector<std::string>{"region:313x167/40", "region:313x332/40", "region:470x498/60",
                                      "region:470x250/60", "region:313x334/40"}));
}

// A press with the left or the right button, and on a surface that must
// not move the window: the end-to-end tests.
TEST(WindowShape, ExactlyTheTitleLikeSurfacesStartAMove) {
  FakePlatform p;
  auto form = p.MakeForm();
  std::set<std::string> moved;
  for (const Control* c : form->Controls()) {
    p.ui.log.clear();
    form->Dispatch(*c, UiEvent::MouseDown, 4);
    if (p.ui.log == std::vector<std::string>{"drag"}) moved.insert(c->Name());
  }
  EXPECT_EQ(moved, (std::set<std::string>{"Form1", "Frame1", "Label1", "Label2", "Label3",
                                          "Picture2", "VersionsInfoText"}));
}

}  // namespace
}  // namespace kelvane
