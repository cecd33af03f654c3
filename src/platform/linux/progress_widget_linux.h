#pragma once
#include <FL/Fl_Widget.H>

namespace kelvane::linux_platform {

// A thin progress bar: filled by the per mille done, or a block sliding
// back and forth while the size is unknown (value below 0). Its tool tip
// shows like any control's.
class ProgressWidget : public Fl_Widget {
 public:
  ProgressWidget() : Fl_Widget(0, 0, 0, 0) {}
  ~ProgressWidget() override;
  void SetValue(int perMille);
  void show() override;
  void hide() override;
  void draw() override;
  int handle(int event) override;

 private:
  void Animate();  // slides exactly while shown with the size unknown
  static void Slide(void* data);
  int perMille_ = 0;
  int phase_ = 0;  // of the sliding block, 0..199
  bool sliding_ = false;
};

}  // namespace kelvane::linux_platform
