#include "ui/control.h"

#include <algorithm>

namespace kelvane {

Control::Control(std::string name, ControlDesign design, const ControlObserver* observer)
    : name_(std::move(name)),
      design_(std::move(design)),
      observer_(observer),
      text_(design_.text),
      toolTip_(design_.toolTip),
      visible_(design_.visible),
      enabled_(design_.enabled),
      value_(design_.value),
      bounds_(design_.bounds) {}

void Control::Changed() {
  if (observer_ && *observer_) (*observer_)(*this);
}

void Control::SetText(const std::string& text) { Assign(text_, text); }
void Control::SetToolTip(const std::string& tip) { Assign(toolTip_, tip); }
void Control::SetVisible(bool visible) { Assign(visible_, visible); }
void Control::SetEnabled(bool enabled) { Assign(enabled_, enabled); }
void Control::SetValue(int value) { Assign(value_, value); }
void Control::SetTop(int top) { Assign(bounds_.top, top); }
void Control::SetLeft(int left) { Assign(bounds_.left, left); }
void Control::SetWidth(int width) { Assign(bounds_.width, width); }
void Control::SetHeight(int height) { Assign(bounds_.height, height); }

void Control::SetSelection(int start, int length) {
  // A text field clamps its selection to its text, as native fields do.
  const int size = static_cast<int>(text_.size());
  selStart_ = std::clamp(start, 0, size);
  selLength_ = std::clamp(length, 0, size - selStart_);
  Changed();
}

}  // namespace kelvane
