#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

using fakes::FakePlatform;

constexpr const char* kStored = "AlwaysOnTop/OnTop";

// The visible pictures of the control, named one after the other.
std::string Shown(const Form1& form) {
  std::string shown;
  for (const Control* image : {&form.AOT_Disabled, &form.AOT_MouseMove, &form.AOT_Enabled}) {
    if (image->Visible()) shown += image->Name();
  }
  return shown;
}

// The pictures as the mouse passes and clicks; the window's state and the
// stored value after a click are the end-to-end tests' matter.
TEST(AlwaysOnTop, PicturesFollowTheMouseAndTheClicks) {
  FakePlatform p;
  auto form = p.MakeForm();
  Control& host = form->AlwaysOnTopHost;
  const struct {
    Control& target;
    UiEvent event;
    const char* shown;
  } steps[] = {
      {form->AOT_Disabled, UiEvent::MouseMove, "AOT_MouseMove"},  // hover
      {host, UiEvent::MouseMove, "AOT_Disabled"},
      {form->AOT_Disabled, UiEvent::Click, "AOT_Enabled"},
      {host, UiEvent::MouseMove, "AOT_Enabled"},  // no hover while on top
      {form->AOT_Enabled, UiEvent::Click, "AOT_MouseMove"},
      {form->AOT_MouseMove, UiEvent::Click, "AOT_Enabled"},
  };
  EXPECT_EQ(Shown(*form), "AOT_Disabled");
  for (const auto& step : steps) {
    form->Dispatch(step.target, step.event);
    EXPECT_EQ(Shown(*form), step.shown) << step.target.Name();
  }
}

TEST(AlwaysOnTop, LoadSettingsGoesOnTopForAnythingButFalseAndStoresOnceShown) {
  const std::pair<std::optional<std::string>, bool> rows[] = {
      {std::nullopt, true}, {" false ", false}, {"-0.00E+2", false}, {"Falsetto", true}};
  for (const auto& [stored, onTop] : rows) {
    SCOPED_TRACE(stored.value_or("nothing stored"));
    FakePlatform p;
    if (stored) p.settings.values[kStored] = *stored;
    auto form = p.MakeForm();
    form->AlwaysOnTop1.LoadSettings();
    // Start-up does not wait for the disk: nothing is written before the window shows.
    EXPECT_EQ(p.settings.values.count(kStored), stored ? 1u : 0u);
    form->Form_Activate();
    EXPECT_EQ(p.ui.topmost, onTop);
    EXPECT_EQ(Shown(*form), onTop ? "AOT_Enabled" : "AOT_MouseMove");
    EXPECT_EQ(p.settings.values[kStored], onTop ? "True" : "False");
  }
}

}  // namespace
}  // namespace kelvane
