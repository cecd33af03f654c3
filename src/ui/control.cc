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

void Control::SetText(const std::string& text) { text_ = text; Changed(); }
void Control::SetToolTip(const std::string& tip) { toolTip_ = tip; Changed(); }
void Control::SetVisible(bool visible) { visible_ = visible; Changed(); }
void Control::SetEnabled(bool enabled) { enabled_ = enabled; Changed(); }
void Control::SetValue(int value) { value_ = value; Changed(); }
void Control::SetTop(int top) { bounds_.top = top; Changed(); }
void Control::SetLeft(int left) { bounds_.left = left; Changed(); }
void Control::SetWidth(int width) { bounds_.width = width; Changed(); }
void Control::SetHeight(int height) { bounds_.height = height; Changed(); }

void Control::SetSelection(int start, int length) {
  // A text field clamps its selection to its text, as native fields do.
  const int size = static_cast<int>(text_.size());
  selStart_ = std::clamp(start, 0, size);
  selLength_ = std::clamp(length, 0, size - selStart_);
  Changed();
}

}  // namespace kelvane
