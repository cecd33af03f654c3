#pragma once
// The FLTK widgets of the main window that need behaviour of their own.
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Widget.H>

#include <functional>

namespace kelvane::linux_platform {

// The borderless main window. Every mouse press and move on it is reported
// first (`onPress`, `onMove`); a press during which BeginDrag() was called
// moves the window until the button is let go, and no control sees it.
// Tab and Shift+Tab walk every control that takes the focus, in the order
// of the widget tree, into and out of nested groups, and wrap around.
class MainWindow : public Fl_Double_Window {
 public:
  MainWindow(int w, int h);
  void BeginDrag();
  int handle(int event) override;

  std::function<void()> onPress;
  std::function<void()> onMove;

 private:
  bool MoveFocus(int step);

  bool dragArmed_ = false;
  bool dragging_ = false;
  int offsetX_ = 0, offsetY_ = 0;
};

// A label or picture that reports a click: a left press and release on it.
// Its text reaches its edges (FLTK keeps 3 pixels free by default), so an
// auto-size label fits its text exactly.
class ClickBox : public Fl_Box {
 public:
  ClickBox() : Fl_Box(0, 0, 0, 0) {}
  int handle(int event) override;
  void draw() override;
};

// A push button that Return also presses while it has the focus.
class PushButton : public Fl_Button {
 public:
  PushButton() : Fl_Button(0, 0, 0, 0) {}
  int handle(int event) override;
};

// A one-line text field that reports gaining and losing the focus.
class FocusInput : public Fl_Input {
 public:
  FocusInput() : Fl_Input(0, 0, 0, 0) {}
  int handle(int event) override;

  std::function<void(bool gained)> onFocus;

 private:
  bool entering_ = false;  // inside the click that gives the field the focus
};

// A straight line between two points of the window, drawn `width` wide.
class LineWidget : public Fl_Widget {
 public:
  LineWidget() : Fl_Widget(0, 0, 0, 0) {}
  void SetEnds(int x1, int y1, int x2, int y2, int width);
  void draw() override;

 private:
  int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0, width_ = 1;
};

}  // namespace kelvane::linux_platform
