#pragma once
// One control of the window model: its design values (fixed) and its state
// (changed by the core, mirrored on screen by the view).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvane {

enum class ControlKind {
  Form,
  PictureBox,
  Frame,
  Timer,
  PushButton,  // text button; with `picture` set it shows the picture only
  TextField,   // one line
  TextBox,     // multi-line
  CheckBox,
  Label,
  Line,
  AlwaysOnTop,  // the always-on-top control
  Image,        // one picture of the always-on-top control
  ProgressBar,  // value: per mille done, or -1 while the size is unknown
};

enum class Align { Left, Right, Center };

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Font {
  std::string name;  // empty: no font (pictures, frames)
  double points = 0;
  bool bold = false;
  bool underline = false;
};

// Positions and sizes in twips, relative to the inside of the container.
// For a line: (left, top) is its first end and (width, height) its second.
struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Bounds&) const = default;
};

struct ControlDesign {
  ControlKind kind = ControlKind::Label;
  std::string parent;  // empty for Form1
  Bounds bounds;
  bool visible = true;
  bool enabled = true;
  int tabIndex = -1;
  Font font;
  Rgb fore{0, 0, 0};
  Rgb back{128, 128, 128};
  bool systemColours = false;  // push buttons keep the system's colours
  bool transparent = false;
  bool autoSize = false;
  Align align = Align::Left;
  int lineWidth = 0;
  std::string text;
  std::string toolTip;
  int value = 0;        // check box: 1 checked
  int interval = 0;     // timers, in ms
  std::string picture;  // name of a built-in picture, empty for none
};

class Control;
using ControlObserver = std::function<void(const Control&)>;

class Control {
 public:
  Control(std::string name, ControlDesign design, const ControlObserver* observer);

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return design_.kind; }
  const ControlDesign& Design() const { return design_; }

  const std::string& Text() const { return text_; }
  const std::string& ToolTip() const { return toolTip_; }
  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  int Value() const { return value_; }
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  const Bounds& Position() const { return bounds_; }

  void SetText(const std::string& text);
  void SetToolTip(const std::string& tip);
  void SetVisible(bool visible);
  void SetEnabled(bool enabled);
  void SetValue(int value);
  void SetSelection(int start, int length);
  void SetTop(int top);
  void SetLeft(int left);
  void SetWidth(int width);
  void SetHeight(int height);

  // What the user did in the view, taken over without echoing it back.
  void TakeTypedText(const std::string& text) { text_ = text; }
  void TakeToggledValue(int value) { value_ = value; }

 private:
  void Changed();
  // Every state change goes through here, so the view always hears of it.
  template <typename T>
  void Assign(T& field, const T& value) {
    field = value;
    Changed();
  }

  std::string name_;
  ControlDesign design_;
  const ControlObserver* observer_;
  std::string text_, toolTip_;
  bool visible_, enabled_;
  int value_;
  int selStart_ = 0, selLength_ = 0;
  Bounds bounds_;
};

}  // namespace kelvane
