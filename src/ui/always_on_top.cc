#include "ui/always_on_top.h"

#include <string_view>

#include "common/text.h"

namespace kelvane {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number (upper case) whose digits are all zero, such as "0",
// "-0.0" or ".00E+5". Read by hand: a floating-point parser would add a
// some 40 KB to the Windows program.
bool IsZero(std::string_view v) {
  size_t i = 0;
  auto sign = [&] {
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
  };
  sign();
  bool digits = false, dot = false;
  for (; i < v.size() && (v[i] == '0' || (v[i] == '.' && !dot)); ++i)
    (v[i] == '.' ? dot : digits) = true;
  if (!digits) return false;
  if (i < v.size() && v[i] == 'E') {
    ++i;
    sign();
    const size_t exponent = i;
    while (i < v.size() && IsDigit(v[i])) ++i;
    if (i == exponent) return false;
  }
  return i == v.size();
}

// A stored value that reads as the Boolean false: the word "False" in any
// case, or a number equal to zero. Everything else, including garbage and an
// empty text, falls through to the on-top branch.
bool ReadsAsFalse(const std::string& stored) {
  const std::string v = UpperCase(Trim(stored));
  return v == "FALSE" || IsZero(v);
}

}  // namespace

AlwaysOnTop::AlwaysOnTop(Control& self, Control& disabled, Control& mouseMove, Control& enabled,
                         Toolkit& window, SettingsStore& store)
    : self_(self),
      AOT_Disabled(disabled),
      AOT_MouseMove(mouseMove),
      AOT_Enabled(enabled),
      window_(window),
      store_(store) {}

void AlwaysOnTop::ApplyTopmost(Toolkit& window) {
  isOnTop_ = true;
  SaveSettings();
  window.SetTopmost(true);
}

void AlwaysOnTop::ApplyNormal(Toolkit& window) {
  isOnTop_ = false;
  SaveSettings();
  window.SetTopmost(false);
}

void AlwaysOnTop::AOT_MouseMove_Click() {
  isOnTop_ = true;
  AOT_Disabled.SetVisible(false);
  AOT_MouseMove.SetVisible(false);
  AOT_Enabled.SetVisible(true);
  ApplyTopmost(window_);  // the window that holds the control
}

void AlwaysOnTop::AOT_Disabled_Click() { AOT_MouseMove_Click(); }

void AlwaysOnTop::AOT_Enabled_Click() {
  isOnTop_ = false;
  AOT_Disabled.SetVisible(false);
  AOT_MouseMove.SetVisible(true);  // the mouse is over the control
  AOT_Enabled.SetVisible(false);
  ApplyNormal(window_);
}

void AlwaysOnTop::SetToTop(std::optional<bool> saveSettings) {
  AOT_MouseMove_Click();
  if (saveSettings.value_or(false)) SaveSettings();
}

void AlwaysOnTop::SetToNormal(std::optional<bool> saveSettings) {
  AOT_Enabled_Click();
  if (saveSettings.value_or(false)) SaveSettings();
}

void AlwaysOnTop::SaveSettings() {
  savePending_ = !windowShown_;
  if (savePending_) return;
  const char* value = GetIsOnTop() ? "True" : "False";
  if (store_.RegistryGet("AlwaysOnTop", "OnTop", "") != value)
    store_.RegistrySet("AlwaysOnTop", "OnTop", value);
}

void AlwaysOnTop::WindowShown() {
  windowShown_ = true;
  if (savePending_) SaveSettings();
}

void AlwaysOnTop::LoadSettings() {
  // Nothing stored or an unreadable store give the default "True".
  if (ReadsAsFalse(store_.RegistryGet("AlwaysOnTop", "OnTop", "True")))
    SetToNormal(false);
  else
    SetToTop(false);
}

void AlwaysOnTop::UserControl_Initialize() {
  isOnTop_ = false;
  AOT_Disabled.SetVisible(true);
  AOT_Enabled.SetVisible(false);
  AOT_MouseMove.SetVisible(false);
  const Bounds& at = AOT_Disabled.Position();
  for (Control* image : {&AOT_Enabled, &AOT_MouseMove}) {
    image->SetTop(at.top);
    image->SetLeft(at.left);
  }
}

void AlwaysOnTop::UserControl_Resize() {
  // Each setter reports a change that may call this again: set only what differs.
  if (self_.Position().width != kWidth) self_.SetWidth(kWidth);
  if (self_.Position().height != kHeight) self_.SetHeight(kHeight);
}

void AlwaysOnTop::AOT_Disabled_MouseMove() {
  AOT_Disabled.SetVisible(false);
  AOT_MouseMove.SetVisible(true);
  AOT_Enabled.SetVisible(false);
}

void AlwaysOnTop::UserControl_MouseMove() {
  if (AOT_MouseMove.Visible()) {
    AOT_Disabled.SetVisible(true);
    AOT_MouseMove.SetVisible(false);
  }
}

}  // namespace kelvane
