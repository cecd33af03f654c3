#pragma once
// The always-on-top control: three pictures that show whether the window
// stays above all others, and the stored setting behind them.
#include <optional>

#include "platform/settings_store.h"
#include "platform/toolkit.h"
#include "ui/control.h"

namespace kelvane {

class AlwaysOnTop {
 public:
  // The control's fixed size in twips.
  static constexpr int kWidth = 315;
  static constexpr int kHeight = 300;

  AlwaysOnTop(Control& self, Control& disabled, Control& mouseMove, Control& enabled,
              Toolkit& window, SettingsStore& store);

  bool GetIsOnTop() const { return isOnTop_; }
  // Only an argument of true saves once more.
  void SetToTop(std::optional<bool> saveSettings = std::nullopt);
  void SetToNormal(std::optional<bool> saveSettings = std::nullopt);
  // Stores the state when the store holds anything else. Until the window
  // has shown, the write waits (start-up must not wait for the disk).
  void SaveSettings();
  void LoadSettings();
  void WindowShown();

  void UserControl_Initialize();
  // Called after every change of the control; restores its fixed size.
  void UserControl_Resize();
  void UserControl_MouseMove();
  void AOT_Disabled_MouseMove();
  void AOT_Disabled_Click();
  void AOT_MouseMove_Click();
  void AOT_Enabled_Click();

 private:
  // Keep `window` above all others, or no longer; the setting follows.
  void ApplyTopmost(Toolkit& window);
  void ApplyNormal(Toolkit& window);

  Control& self_;
  Control& AOT_Disabled;
  Control& AOT_MouseMove;
  Control& AOT_Enabled;
  Toolkit& window_;
  SettingsStore& store_;
  bool isOnTop_ = false;
  bool windowShown_ = false;
  bool savePending_ = false;
};

}  // namespace kelvane
