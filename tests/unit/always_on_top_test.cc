#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

using fakes::FakePlatform;

constexpr const char* kStored = "AlwaysOnTop/OnTop";

// The one visible picture of the control; fails when not exactly one shows.
std::string Shown(const Form1& form) {
  std::string shown;
  int count = 0;
  for (const Control* image : {&form.AOT_Disabled, &form.AOT_MouseMove, &form.AOT_Enabled}) {
    if (image->Visible()) {
      shown = image->Name();
      ++count;
    }
  }
  EXPECT_EQ(count, 1) << "pictures visible at once";
  return shown;
}

// What the window was told about staying on top, in order.
std::vector<std::string> TopmostCalls(const FakePlatform& p) {
  std::vector<std::string> calls;
  std::copy_if(p.ui.log.begin(), p.ui.log.end(), std::back_inserter(calls),
               [](const std::string& entry) { return entry.starts_with("topmost:"); });
  return calls;
}

TEST(AlwaysOnTop, UserEventsWalkTheStateTableAndStoreEveryChange) {
  FakePlatform p;
  auto form = p.MakeForm();
  form->Form_Activate();
  AlwaysOnTop& aot = form->AlwaysOnTop1;

  // Normal at start, nothing stored and the window left alone.
  EXPECT_EQ(Shown(*form), "AOT_Disabled");
  EXPECT_FALSE(aot.GetIsOnTop());
  EXPECT_EQ(p.settings.writes, 0);
  EXPECT_FALSE(p.ui.topmost);

  // The bare surface does nothing in Normal; the picture gives Hover and back.
  form->Dispatch(form->AlwaysOnTopHost, UiEvent::MouseMove);
  EXPECT_EQ(Shown(*form), "AOT_Disabled");
  form->Dispatch(form->AOT_Disabled, UiEvent::MouseMove);
  EXPECT_EQ(Shown(*form), "AOT_MouseMove");
  form->Dispatch(form->AlwaysOnTopHost, UiEvent::MouseMove);
  EXPECT_EQ(Shown(*form), "AOT_Disabled");
  EXPECT_EQ(p.settings.writes, 0);
  EXPECT_FALSE(aot.GetIsOnTop());

  // Normal --click--> On top.
  form->Dispatch(form->AOT_Disabled, UiEvent::Click);
  EXPECT_EQ(Shown(*form), "AOT_Enabled");
  EXPECT_TRUE(aot.GetIsOnTop());
  EXPECT_TRUE(p.ui.topmost);
  EXPECT_EQ(p.settings.values[kStored], "True");
  EXPECT_EQ(p.settings.writes, 1);

  // Moving over the control while on top changes nothing.
  form->Dispatch(form->AlwaysOnTopHost, UiEvent::MouseMove);
  EXPECT_EQ(Shown(*form), "AOT_Enabled");

  // On top --click--> Hover, the mouse being over the control.
  form->Dispatch(form->AOT_Enabled, UiEvent::Click);
  EXPECT_EQ(Shown(*form), "AOT_MouseMove");
  EXPECT_FALSE(aot.GetIsOnTop());
  EXPECT_FALSE(p.ui.topmost);
  EXPECT_EQ(p.settings.values[kStored], "False");
  EXPECT_EQ(p.settings.writes, 2);

  // Hover --click--> On top.
  form->Dispatch(form->AOT_MouseMove, UiEvent::Click);
  EXPECT_EQ(Shown(*form), "AOT_Enabled");
  EXPECT_TRUE(p.ui.topmost);
  EXPECT_EQ(p.settings.values[kStored], "True");
  EXPECT_EQ(p.settings.writes, 3);

  const std::vector<std::string> windowCalls{"topmost:1", "topmost:0", "topmost:1"};
  EXPECT_EQ(TopmostCalls(p), windowCalls);
}

TEST(AlwaysOnTop, MethodsStoreEachChangeOnceAndNothingBeforeTheWindowShows) {
  FakePlatform p;
  auto form = p.MakeForm();
  AlwaysOnTop& aot = form->AlwaysOnTop1;

  aot.SetToTop(true);
  EXPECT_EQ(Shown(*form), "AOT_Enabled");
  EXPECT_EQ(p.settings.writes, 0) << "written before the window showed";
  form->Form_Activate();
  EXPECT_EQ(p.settings.values[kStored], "True");
  EXPECT_EQ(p.settings.writes, 1);

  // The same state again: the window is told again, the store is left alone.
  aot.SetToTop(true);
  aot.SetToTop(false);
  aot.SetToTop();
  form->Form_Activate();
  EXPECT_EQ(p.settings.writes, 1);
  EXPECT_EQ(TopmostCalls(p), std::vector<std::string>(4, "topmost:1"));

  aot.SetToNormal(true);
  EXPECT_EQ(Shown(*form), "AOT_MouseMove");
  EXPECT_FALSE(p.ui.topmost);
  EXPECT_EQ(p.settings.values[kStored], "False");
  EXPECT_EQ(p.settings.writes, 2);
  aot.SetToNormal();
  EXPECT_EQ(p.settings.writes, 2);

  // From Normal (not Hover) the methods reach the same states.
  form->Dispatch(form->AlwaysOnTopHost, UiEvent::MouseMove);
  EXPECT_EQ(Shown(*form), "AOT_Disabled");
  aot.SetToNormal(false);
  EXPECT_EQ(Shown(*form), "AOT_MouseMove");
  form->Dispatch(form->AlwaysOnTopHost, UiEvent::MouseMove);
  aot.SetToTop(true);
  EXPECT_EQ(Shown(*form), "AOT_Enabled");
  EXPECT_EQ(p.settings.writes, 3);

  // Anything else in the store is replaced, even what reads as the same state.
  p.settings.values[kStored] = "maybe";
  aot.SetToTop();
  EXPECT_EQ(p.settings.values[kStored], "True");
  EXPECT_EQ(p.settings.writes, 4);

  // A store that cannot be written changes nothing else.
  p.settings.writable = false;
  aot.SetToNormal(true);
  EXPECT_FALSE(aot.GetIsOnTop());
  EXPECT_FALSE(p.ui.topmost);
  EXPECT_EQ(Shown(*form), "AOT_MouseMove");
  EXPECT_EQ(p.settings.values[kStored], "True");
  EXPECT_EQ(p.settings.writes, 4);
}

TEST(AlwaysOnTop, LoadSettingsGoesOnTopForAnythingButFalse) {
  struct Case {
    const char* label;
    std::optional<std::string> stored;
    bool readable, writable, onTop;
  };
  const std::vector<Case> cases{
      {"nothing stored", std::nullopt, true, true, true},
      {"True", "True", true, true, true},
      {"False", "False", true, true, false},
      {"lower case", "false", true, true, false},
      {"blanks around", "  FALSE ", true, true, false},
      {"zero", "0", true, true, false},
      {"minus one", "-1", true, true, true},
      {"zero written out", "-0.00E+2", true, true, false},
      {"tiny", "1e-999", true, true, true},
      {"no exponent digits", "0e", true, true, true},
      {"garbage", "maybe", true, true, true},
      {"empty", "", true, true, true},
      {"False inside garbage", "Falsetto", true, true, true},
      {"1 MB of text", std::string(1 << 20, 'F'), true, true, true},
      {"unreadable store", "False", false, true, true},
      {"unwritable store", "False", true, false, false},  // the state still follows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakePlatform p;
    if (c.stored) p.settings.values[kStored] = *c.stored;
    p.settings.readable = c.readable;
    p.settings.writable = c.writable;
    auto form = p.MakeForm();
    form->AlwaysOnTop1.LoadSettings();
    EXPECT_EQ(p.settings.writes, 0) << "written before the window showed";
    form->Form_Activate();
    EXPECT_EQ(form->AlwaysOnTop1.GetIsOnTop(), c.onTop);
    EXPECT_EQ(p.ui.topmost, c.onTop);
    EXPECT_EQ(Shown(*form), c.onTop ? "AOT_Enabled" : "AOT_MouseMove");
    // Stored once where the store held anything else.
    const std::string wanted = c.onTop ? "True" : "False";
    EXPECT_EQ(p.settings.writes, c.writable && (!c.readable || c.stored != wanted) ? 1 : 0);
    EXPECT_EQ(p.settings.values[kStored], wanted);
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
  host.SetWidth(0);
  EXPECT_EQ(host.Position().width, 315);
  // A move is not a resize.
  host.SetLeft(100);
  EXPECT_EQ(host.Position(), (Bounds{100, design.top, 315, 300}));
}

}  // namespace
}  // namespace kelvane
