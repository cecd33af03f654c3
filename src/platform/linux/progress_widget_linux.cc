#include "platform/linux/progress_widget_linux.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <cstdlib>

namespace kelvane::linux_platform {

constexpr double kSlideSeconds = 0.04;

ProgressWidget::~ProgressWidget() { Fl::remove_timeout(Slide, this); }

void ProgressWidget::SetValue(int perMille) {
  perMille_ = perMille;
  Animate();
  redraw();
}

void ProgressWidget::show() {
  Fl_Widget::show();
  Animate();
}

void ProgressWidget::hide() {
  Fl_Widget::hide();
  Animate();
}

void ProgressWidget::Animate() {
  const bool slide = perMille_ < 0 && visible();
  if (slide && !sliding_) Fl::add_timeout(kSlideSeconds, Slide, this);
  if (!slide && sliding_) Fl::remove_timeout(Slide, this);
  sliding_ = slide;
}

void ProgressWidget::Slide(void* data) {
  auto* self = static_cast<ProgressWidget*>(data);
  self->phase_ = (self->phase_ + 4) % 200;
  self->redraw();
  Fl::repeat_timeout(kSlideSeconds, Slide, data);
}

void ProgressWidget::draw() {
  fl_rectf(x(), y(), w(), h(), color());
  fl_color(selection_color());
  if (perMille_ >= 0) {
    fl_rectf(x(), y(), w() * perMille_ / 1000, h());
    return;
  }
  // A quarter of the width, going right for phases 0..99 and back after.
  const int block = w() / 4;
  const int travel = 100 - std::abs(100 - phase_);
  fl_rectf(x() + (w() - block) * travel / 100, y(), block, h());
}

int ProgressWidget::handle(int event) {
  // Taking the pointer is what lets FLTK show the tool tip.
  return event == FL_ENTER || event == FL_LEAVE || event == FL_MOVE ? 1 : Fl_Widget::handle(event);
}

}  // namespace kelvane::linux_platform
