#pragma once
// The window toolkit as the core sees it: primitives only. A view mirrors the
// window model on screen and feeds user events back into Form1::Dispatch.
#include <string>

namespace kelvane {

class Control;

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Mirrors the current state of one control (text, visibility, enabled
  // state, value, selection, position, size, timer state) on screen.
  // Called by the model after every change of that control.
  virtual void ApplyControl(const Control& control) = 0;

  // Shows the main window (centred at first show) and keeps it shown.
  virtual void ShowWindow() = 0;
  // The window's title text; the window has no title bar but the text is
  // what task lists and window managers show.
  virtual void SetWindowTitle(const std::string& title) = 0;
  // Moves the keyboard focus to a control.
  virtual void SetFocus(const Control& control) = 0;

  // A modal message box. `title` is never empty here: the core fills in the
  // default title. Text may hold CR (code 13) as line breaks. A box closed
  // without a button (Escape) answers Cancel, whatever its buttons.
  virtual MsgAnswer MessageBox(const std::string& text, const std::string& title,
                               MsgButtons buttons, MsgIcon icon) = 0;

  // Lets the event loop process the pending events once.
  virtual void DoEvents() = 0;

  // Cuts the window to a rectangle (0,0)-(width,height) in pixels with corner
  // ellipses of corner x corner pixels.
  virtual void SetRoundRegion(int width, int height, int corner) = 0;
  // Starts the platform's interactive move of the window under the mouse,
  // as if its caption had been pressed.
  virtual void BeginWindowDrag() = 0;
  // Keeps the window above all non-topmost windows, or stops doing so.
  virtual void SetTopmost(bool topmost) = 0;
};

}  // namespace kelvane
