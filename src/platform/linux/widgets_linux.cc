#include "platform/linux/widgets_linux.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <vector>

namespace kelvane::linux_platform {

namespace {

// Every widget below `group`, depth first, each group's children in their
// order: the order Tab walks through the window.
void CollectWidgets(Fl_Group* group, std::vector<Fl_Widget*>& order) {
  for (int i = 0; i < group->children(); ++i) {
    Fl_Widget* child = group->child(i);
    if (Fl_Group* inner = child->as_group())
      CollectWidgets(inner, order);
    else
      order.push_back(child);
  }
}

}  // namespace

MainWindow::MainWindow(int w, int h) : Fl_Double_Window(w, h) { end(); }

// FLTK's own Tab moves inside one group and never re-enters the group that
// holds the focus, so it stopped at the last control of the inner frame.
bool MainWindow::MoveFocus(int step) {
  std::vector<Fl_Widget*> order;
  CollectWidgets(this, order);
  const int n = static_cast<int>(order.size());
  const auto at = std::find(order.begin(), order.end(), Fl::focus());
  const int from = at != order.end() ? static_cast<int>(at - order.begin()) : step > 0 ? n - 1 : 0;
  for (int k = 1; k <= n; ++k) {
    Fl_Widget* next = order[static_cast<size_t>(((from + step * k) % n + n) % n)];
    if (next->visible_r() && next->active_r() && next->take_focus()) return true;
  }
  return false;
}

void MainWindow::BeginDrag() {
  dragArmed_ = true;
  // Where the press is in the window, from the event itself: the window's
  // own idea of its place can be stale just after the window manager took it.
  offsetX_ = Fl::event_x();
  offsetY_ = Fl::event_y();
}

int MainWindow::handle(int event) {
  switch (event) {
    case FL_PUSH:
      dragArmed_ = false;
      if (onPress) onPress();
      if (dragArmed_) {
        // The window takes the press itself, so the drag and release come here.
        dragArmed_ = false;
        dragging_ = true;
        Fl::pushed(this);
        return 1;
      }
      break;
    case FL_DRAG:
    case FL_RELEASE:
      // FLTK may hold the last motion back until after the release, so the
      // release moves the window too.
      if (dragging_) {
        position(Fl::event_x_root() - offsetX_, Fl::event_y_root() - offsetY_);
        dragging_ = event == FL_DRAG;
        return 1;
      }
      break;
    case FL_MOVE:
      if (onMove) onMove();
      break;
    case FL_KEYBOARD:
      // Reaches the window when no group on the way moved the focus.
      if (Fl::event_key() == FL_Tab && !Fl::event_state(FL_CTRL | FL_ALT | FL_META))
        return MoveFocus(Fl::event_state(FL_SHIFT) ? -1 : 1) ? 1 : 0;
      break;
    default:
      break;
  }
  return Fl_Double_Window::handle(event);
}

int ClickBox::handle(int event) {
  switch (event) {
    case FL_PUSH:
      return 1;  // to receive the release
    case FL_RELEASE:
      if (Fl::event_button() == FL_LEFT_MOUSE && Fl::event_inside(this)) do_callback();
      return 1;
    default:
      return Fl_Box::handle(event);
  }
}

void ClickBox::draw() {
  draw_box();
  draw_label(x(), y(), w(), h(), align());
}

int PushButton::handle(int event) {
  if (event == FL_KEYBOARD && Fl::focus() == this &&
      (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
    do_callback();
    return 1;
  }
  return Fl_Button::handle(event);
}

int FocusInput::handle(int event) {
  if (event == FL_PUSH && Fl::focus() != this) {
    // A click that enters the field places the caret first and reports the
    // focus after, so the selection the focus handler makes is what stays.
    entering_ = true;
    const int handled = Fl_Input::handle(event);
    entering_ = false;
    if (Fl::focus() == this && onFocus) onFocus(true);
    return handled;
  }
  const int handled = Fl_Input::handle(event);
  if ((event == FL_FOCUS && !entering_) || event == FL_UNFOCUS)
    if (onFocus) onFocus(event == FL_FOCUS);
  return handled;
}

void LineWidget::SetEnds(int x1, int y1, int x2, int y2, int width) {
  x1_ = x1, y1_ = y1, x2_ = x2, y2_ = y2, width_ = std::max(width, 1);
  const int pad = width_;
  resize(std::min(x1, x2) - pad, std::min(y1, y2) - pad, std::abs(x2 - x1) + 2 * pad,
         std::abs(y2 - y1) + 2 * pad);
}

void LineWidget::draw() {
  fl_color(color());
  fl_line_style(FL_SOLID | FL_CAP_FLAT, width_);
  fl_line(x1_, y1_, x2_, y2_);
  fl_line_style(0);
}

}  // namespace kelvane::linux_platform
