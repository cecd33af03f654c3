#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

TEST(AlwaysOnTop, UserEventsWalkTheStateTableAndStoreEveryChange) {
  FakePlatform p;
  auto form = p.MakeForm();
  form->Form_Activate();
  // Normal at start, nothing stored and the window left alone.
  EXPECT_EQ(Shown(*form), "AOT_Disabled");
  EXPECT_FALSE(p.ui.topmost);
  struct Step {
    Control& target;
    UiEvent event;
    const char* shown;
    const char* stored;  // after the step; nullptr: nothing stored yet
  };
  Control& host = form->AlwaysOnTopHost;
  const Step steps[] = {
      {host, UiEvent::MouseMove, "AOT_Disabled", nullptr},  // the bare surface: nothing
      {form->AOT_Disabled, UiEvent::MouseMove, "AOT_MouseMove", nullptr},  // hover
      {host, UiEvent::MouseMove, "AOT_Disabled", nullptr},
      {form->AOT_Disabled, UiEvent::Click, "AOT_Enabled", "True"},    // normal -> on top
      {host, UiEvent::MouseMove, "AOT_Enabled", "True"},              // no hover while on top
      {form->AOT_Enabled, UiEvent::Click, "AOT_MouseMove", "False"},  // on top -> hover
      {form->AOT_MouseMove, UiEvent::Click, "AOT_Enabled", "True"},   // hover -> on top
  };
  for (const Step& step : steps) {
    form->Dispatch(step.target, step.event);
    SCOPED_TRACE(step.target.Name());
    EXPECT_EQ(Shown(*form), step.shown);
    const bool onTop = std::string(step.shown) == "AOT_Enabled";
    EXPECT_EQ(form->AlwaysOnTop1.GetIsOnTop(), onTop);
    EXPECT_EQ(p.ui.topmost, onTop);
    EXPECT_EQ(p.settings.values.count(kStored) ? p.settings.values[kStored] : "",
              step.stored ? step.stored : "");
  }
}

TEST(AlwaysOnTop, MethodsReachTheirStatesAndNothingIsStoredBeforeTheWindowShows) {
  FakePlatform p;
  auto form = p.MakeForm();
  AlwaysOnTop& aot = form->AlwaysOnTop1;

  aot.SetToTop(true);
  EXPECT_EQ(Shown(*form), "AOT_Enabled");
  EXPECT_TRUE(p.settings.values.empty()) << "written before the window showed";
  form->Form_Activate();
  EXPECT_EQ(p.settings.values[kStored], "True");

  aot.SetToNormal(true);
  EXPECT_EQ(Shown(*form), "AOT_MouseMove");
  EXPECT_FALSE(p.ui.topmost);
  EXPECT_EQ(p.settings.values[kStored], "False");
}

TEST(AlwaysOnTop, LoadSettingsGoesOnTopForAnythingButFalse) {
  struct Case {
    const char* label;
    std::optional<std::string> stored;
    bool writable, onTop;
  };
  const std::vector<Case> cases{
      {"nothing stored", std::nullopt, true, true},
      {"False", "False", true, false},
      {"blanks around", "  FALSE ", true, false},
      {"zero written out", "-0.00E+2", true, false},
      {"False inside garbage", "Falsetto", true, true},
      {"unwritable store", "False", false, false},  // the state still follows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakePlatform p;
    if (c.stored) p.settings.values[kStored] = *c.stored;
    p.settings.writable = c.writable;
    auto form = p.MakeForm();
    form->AlwaysOnTop1.LoadSettings();
    form->Form_Activate();
    EXPECT_EQ(form->AlwaysOnTop1.GetIsOnTop(), c.onTop);
    EXPECT_EQ(p.ui.topmost, c.onTop);
    EXPECT_EQ(Shown(*form), c.onTop ? "AOT_Enabled" : "AOT_MouseMove");
    if (c.writable) {
      EXPECT_EQ(p.settings.values[kStored], c.onTop ? "True" : "False");
    }
  }
}

TEST(AlwaysOnTop, KeepsItsSizeWhateverSetsIt) {
  FakePlatform p;
  auto form = p.MakeForm();
  Control& host = form->AlwaysOnTopHost;
  const Bounds design = host.Position();

  host.SetWidth(1000);
  host.SetHeight(10);
  EXPECT_EQ(host.Position(), design);
  // A move is not a resize.
  host.SetLeft(100);
  EXPECT_EQ(host.Position(), (Bounds{100, design.top, design.width, design.height}));
}

}  // namespace
}  // namespace kelvane
