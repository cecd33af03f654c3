#include "platform/linux/toolkit_linux.h"

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Multiline_Output.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <climits>

#include "common/language.h"
#include "platform/linux/appearance_linux.h"
#include "platform/linux/fltk_options_linux.h"
#include "platform/linux/message_box_linux.h"
#include "platform/linux/progress_widget_linux.h"
#include "platform/linux/widgets_linux.h"
#include "platform/linux/x11_window_linux.h"
#include "ui/window_handling.h"

namespace kelvane::linux_platform {
namespace {

// The button numbers of the window model: 1 left, 2 right, 4 middle.
int ModelButton(int flButton) {
  if (flButton == FL_RIGHT_MOUSE) return 2;
  if (flButton == FL_MIDDLE_MOUSE) return 4;
  return 1;
}

Fl_Align LabelAlign(const ControlDesign& d) {
  Fl_Align align = FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_CLIP;
  if (d.align == Align::Left) align |= FL_ALIGN_LEFT;
  if (d.align == Align::Right) align |= FL_ALIGN_RIGHT;
  if (!d.autoSize && !d.font.underline) align |= FL_ALIGN_WRAP;
  return align;
}

// The widgets of the controls, as their design describes them; `onEvent`
// gets `view` for what the user does to them.
Fl_Widget* NewProgressBar(const ControlDesign& d) {
  auto* bar = new ProgressWidget();
  bar->color(ColourOf(d.back));
  bar->selection_color(ColourOf(d.fore));
  return bar;
}

Fl_Widget* NewGroup(const ControlDesign& d) {
  auto* group = new Fl_Group(0, 0, 0, 0);
  group->end();
  group->box(FL_FLAT_BOX);
  group->color(d.systemColours ? FL_BACKGROUND_COLOR : ColourOf(d.back));
  group->clip_children(1);
  return group;
}

Fl_Widget* NewPushButton(const ControlDesign& d, const FlFont& font, Fl_Callback* onEvent,
                         void* view) {
  auto* button = new PushButton();
  if (!d.systemColours) button->color(ColourOf(d.back));
  if (d.picture.empty()) {
    button->labelfont(font.face);
    button->labelsize(font.pixels);
  } else {
    button->box(FL_THIN_UP_BOX);
    button->down_box(FL_THIN_DOWN_BOX);
    button->align(FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  }
  button->callback(onEvent, view);
  return button;
}

Fl_Widget* NewCheckBox(const ControlDesign& d, const FlFont& font, Fl_Callback* onEvent,
                       void* view) {
  auto* check = new Fl_Check_Button(0, 0, 0, 0);
  check->box(FL_FLAT_BOX);
  check->color(ColourOf(d.back));
  check->labelcolor(ColourOf(d.fore));
  check->labelfont(font.face);
  check->labelsize(font.pixels);
  check->callback(onEvent, view);
  return check;
}

// The look of a control that shows text in a sunken field.
void StyleField(Fl_Input_* field, const ControlDesign& d, const FlFont& font) {
  field->box(FL_DOWN_BOX);
  field->color(ColourOf(d.back));
  field->textcolor(ColourOf(d.fore));
  field->textfont(font.face);
  field->textsize(font.pixels);
}

FocusInput* NewTextField(const ControlDesign& d, const FlFont& font, Fl_Callback* onEvent,
                         void* view) {
  auto* input = new FocusInput();
  StyleField(input, d, font);
  input->cursor_color(ColourOf(d.fore));
  input->when(FL_WHEN_CHANGED);
  input->callback(onEvent, view);
  return input;
}

Fl_Widget* NewTextBox(const ControlDesign& d, const FlFont& font) {
  auto* box = new Fl_Multiline_Output(0, 0, 0, 0);
  StyleField(box, d, font);
  box->wrap(1);
  return box;
}

Fl_Widget* NewLine(const ControlDesign& d) {
  auto* line = new LineWidget();
  line->color(ColourOf(d.fore));
  return line;
}

// A label, a picture box or an image.
Fl_Widget* NewBox(const ControlDesign& d, const FlFont& font, Fl_Callback* onEvent, void* view) {
  auto* box = new ClickBox();
  const bool opaque = d.kind == ControlKind::PictureBox || !d.transparent;
  box->box(opaque && d.kind != ControlKind::Image ? FL_FLAT_BOX : FL_NO_BOX);
  box->color(ColourOf(d.back));
  box->labelcolor(ColourOf(d.fore));
  box->labelfont(font.face);
  box->labelsize(font.pixels);
  box->labeltype(d.font.underline ? kUnderlinedLabel : kPlainLabel);
  box->align(d.kind == ControlKind::Label ? LabelAlign(d)
                                          : FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT | FL_ALIGN_CLIP);
  box->callback(onEvent, view);
  return box;
}

}  // namespace

LinuxToolkit::LinuxToolkit(ProcessFacts& facts, Locale& locale) : facts_(facts), locale_(locale) {
  UseBuiltInFltkOptions();
  fl_open_display();  // text is measured before the window first shows
  RegisterLabelTypes();
  Fl_Window::default_xclass("kelvane");  // WM_CLASS "kelvane", "Kelvane" on every window
}

LinuxToolkit::~LinuxToolkit() = default;

void LinuxToolkit::UseProgramIcon(const Picture& picture) {
  const auto icon = ImageOf(picture);
  if (!icon) return;
  // Panels and switchers pick the size they draw; every window gets them.
  std::vector<std::unique_ptr<Fl_Image>> sizes;
  std::vector<const Fl_RGB_Image*> list;
  for (const int side : {16, 24, 32, 48, 64}) {
    sizes.emplace_back(icon->copy(side, side));
    list.push_back(static_cast<const Fl_RGB_Image*>(sizes.back().get()));
  }
  Fl_Window::default_icons(list.data(), static_cast<int>(list.size()));  // copies them
}

int LinuxToolkit::Px(int twips) const { return TwipsToPixels(twips, facts_.TwipsPerPixelX()); }

void LinuxToolkit::Build(Form1& form) {
  form_ = &form;
  const Control& main = form.Form;
  window_ = std::make_unique<MainWindow>(Px(main.Position().width), Px(main.Position().height));
  window_->xclass("kelvane");  // WM_CLASS ties the window to kelvane.desktop and its icon
  window_->border(0);
  window_->color(ColourOf(main.Design().back));
  window_->callback([](Fl_Widget*, void*) {});  // Escape and the window manager do not close it
  window_->onPress = [this] {
    const Control* target = ControlAt(window_.get());
    if (!target) target = &form_->Form;
    const bool second = Fl::event_clicks() > 0 && Fl::event_button() == FL_LEFT_MOUSE;
    Dispatch(*target, second ? UiEvent::DblClick : UiEvent::MouseDown,
             ModelButton(Fl::event_button()));
  };
  window_->onMove = [this] {
    const Control* target = ControlAt(window_.get());
    Dispatch(target ? *target : form_->Form, UiEvent::MouseMove);
  };
  UseProgramIcon(PictureNamed(main.Design().picture));

  // Labels, images and lines have no window of their own: they lie beneath
  // every windowed control of their container (the status line must not take
  // the clicks meant for the push-pin it overlaps), in their own order.
  // Windowed controls follow in the order of their tab index, which is the
  // order Tab walks through them.
  std::map<Fl_Group*, int> windowless;
  std::vector<std::pair<Fl_Group*, View*>> windowed;
  for (Control* control : form.Controls()) {
    View& view = views_[control];
    view.toolkit = this;
    view.control = control;
    if (control == &main) continue;
    view.widget = MakeWidget(view);
    if (!view.widget) continue;
    owners_[view.widget] = control;
    const std::string& parent = control->Design().parent;
    Fl_Group* container =
        parent == main.Name() ? window_.get() : views_.at(&form.Find(parent)).widget->as_group();
    const ControlKind kind = control->Kind();
    if (kind == ControlKind::Label || kind == ControlKind::Image || kind == ControlKind::Line)
      container->insert(*view.widget, windowless[container]++);
    else
      windowed.emplace_back(container, &view);
  }
  auto tabIndex = [](const View* v) {
    const int tab = v->control->Design().tabIndex;
    return tab < 0 ? INT_MAX : tab;
  };
  std::stable_sort(windowed.begin(), windowed.end(), [&](const auto& a, const auto& b) {
    return tabIndex(a.second) < tabIndex(b.second);
  });
  for (auto& [container, view] : windowed) container->add(view->widget);
  for (auto& [control, view] : views_) Mirror(view);
  form.SetObserver([this](const Control& control) { ApplyControl(control); });
}

Fl_Widget* LinuxToolkit::MakeWidget(View& view) {
  const ControlDesign& d = view.control->Design();
  const double dpi = 1440.0 / facts_.TwipsPerPixelY();
  const FlFont font = FontFor(d.font, dpi);
  Fl_Group::current(nullptr);
  Fl_Widget* widget = nullptr;
  switch (d.kind) {
    case ControlKind::Form:
    case ControlKind::Timer:
      return nullptr;
    case ControlKind::ProgressBar:
      widget = NewProgressBar(d);
      break;
    case ControlKind::Frame:
    case ControlKind::AlwaysOnTop:
      widget = NewGroup(d);
      break;
    case ControlKind::PushButton:
      widget = NewPushButton(d, font, OnClick, &view);
      break;
    case ControlKind::CheckBox:
      widget = NewCheckBox(d, font, OnToggle, &view);
      break;
    case ControlKind::TextField: {
      auto* input = NewTextField(d, font, OnTyped, &view);
      input->onFocus = [this, &view](bool gained) {
        Dispatch(*view.control, gained ? UiEvent::GotFocus : UiEvent::LostFocus);
      };
      widget = input;
      break;
    }
    case ControlKind::TextBox:
      widget = NewTextBox(d, font);
      break;
    case ControlKind::Line:
      widget = NewLine(d);
      break;
    case ControlKind::Label:
    case ControlKind::PictureBox:
    case ControlKind::Image:
      widget = NewBox(d, font, OnClick, &view);
      break;
  }
  if (widget->labeltype() == FL_NORMAL_LABEL) widget->labeltype(kPlainLabel);
  if (auto image = ImageOf(PictureNamed(d.picture, facts_.TwipsPerPixelY()))) {
    widget->image(image.get());
    images_.push_back(std::move(image));
  }
  return widget;
}

void LinuxToolkit::ApplyControl(const Control& control) {
  auto it = views_.find(&control);
  if (it == views_.end()) return;
  Mirror(it->second);
  // Transparent labels and moved containers leave traces on a partial
  // redraw; the window is small, so it is drawn anew.
  window_->redraw();
}

void LinuxToolkit::Mirror(View& view) {
  const Control& c = *view.control;
  if (c.Kind() == ControlKind::Timer) return MirrorTimer(view);
  if (c.Kind() == ControlKind::Form) {
    window_->size(Px(c.Position().width), Px(c.Position().height));
    window_->copy_label(c.Text().c_str());
    return;
  }
  if (!view.widget) return;
  Fl_Widget* w = view.widget;
  switch (c.Kind()) {
    case ControlKind::Label:
    case ControlKind::CheckBox:
      w->copy_label(ForDisplay(c.Text()).c_str());
      break;
    case ControlKind::PushButton:
      if (c.Design().picture.empty()) w->copy_label(c.Text().c_str());
      break;
    case ControlKind::TextBox:
      static_cast<Fl_Multiline_Output*>(w)->value(ForDisplay(c.Text()).c_str());
      break;
    case ControlKind::TextField: {
      auto* input = static_cast<FocusInput*>(w);
      const bool replaced = c.Text() != input->value();
      if (replaced) input->value(c.Text().c_str());
      // The user's own cursor stays until the model chooses a selection.
      if (replaced || c.SelStart() != view.shownSelStart || c.SelLength() != view.shownSelLength) {
        input->position(c.SelStart() + c.SelLength(), c.SelStart());
        view.shownSelStart = c.SelStart();
        view.shownSelLength = c.SelLength();
      }
      break;
    }
    case ControlKind::ProgressBar:
      static_cast<ProgressWidget*>(w)->SetValue(c.Value());
      break;
    default:
      break;
  }
  if (c.Kind() == ControlKind::CheckBox) static_cast<Fl_Check_Button*>(w)->value(c.Value() != 0);
  MirrorToolTip(view);
  if (c.Visible())
    w->show();
  else
    w->hide();
  if (c.Enabled())
    w->activate();
  else
    w->deactivate();
  Place(view);
}

// FLTK's tip window keeps the text pointer of the tip it is about to show
// and measures it then: the text lives in the view and changes in place, so
// that pointer stays valid. Only a text that outgrows its buffer (rare: the
// buffer is made large enough for a byte count) takes down a tip underway.
void LinuxToolkit::MirrorToolTip(View& view) {
  const std::string& text = view.control->ToolTip();
  if (text == view.tip) return;
  if (text.size() > view.tip.capacity()) {
    if (view.widget->tooltip()) Fl_Tooltip::current(nullptr);
    view.tip.reserve(std::max<size_t>(text.size(), 64));
  }
  view.tip.assign(text);
  view.widget->tooltip(view.tip.empty() ? nullptr : view.tip.c_str());
}

void LinuxToolkit::ContainerOrigin(const Control& control, int& left, int& top) const {
  left = top = 0;
  for (std::string parent = control.Design().parent; !parent.empty();) {
    const Control& container = form_->Find(parent);
    if (container.Kind() == ControlKind::Form) break;
    left += container.Position().left;
    top += container.Position().top;
    parent = container.Design().parent;
  }
}

void LinuxToolkit::Place(const View& view) {
  const Control& c = *view.control;
  if (!view.widget) return;
  int left, top;
  ContainerOrigin(c, left, top);
  const Bounds& b = c.Position();
  if (c.Kind() == ControlKind::Line) {
    static_cast<LineWidget*>(view.widget)
        ->SetEnds(Px(left + b.left), Px(top + b.top), Px(left + b.width), Px(top + b.height),
                  c.Design().lineWidth);
    return;
  }
  int w = Px(b.width), h = Px(b.height);
  if (c.Design().autoSize) {
    // An auto-size label takes the size of its caption.
    fl_font(view.widget->labelfont(), view.widget->labelsize());
    w = h = 0;
    fl_measure(view.widget->label(), w, h, 0);
  }
  view.widget->resize(Px(left + b.left), Px(top + b.top), w, h);
  // Children are placed in window coordinates, so they follow their container.
  if (view.widget->as_group()) {
    for (auto& [other, child] : views_)
      if (other->Design().parent == c.Name()) Place(child);
  }
}

void LinuxToolkit::MirrorTimer(View& view) {
  const Control& c = *view.control;
  const bool run = c.Enabled() && c.Design().interval > 0;
  if (run && !view.timerOn) Fl::add_timeout(c.Design().interval / 1000.0, OnTimer, &view);
  if (!run && view.timerOn) Fl::remove_timeout(OnTimer, &view);
  view.timerOn = run;
}

const Control* LinuxToolkit::ControlAt(Fl_Group* group) const {
  for (int i = group->children() - 1; i >= 0; --i) {
    Fl_Widget* child = group->child(i);
    auto owner = owners_.find(child);
    if (owner == owners_.end() || !child->visible() || owner->second->Kind() == ControlKind::Line ||
        !Fl::event_inside(child))
      continue;
    if (Fl_Group* inner = child->as_group())
      if (const Control* deeper = ControlAt(inner)) return deeper;
    return owner->second;
  }
  return nullptr;
}

void LinuxToolkit::Dispatch(const Control& control, UiEvent event, int button) {
  form_->Dispatch(control, event, button);
}

void LinuxToolkit::OnClick(Fl_Widget*, void* data) {
  auto* view = static_cast<View*>(data);
  view->toolkit->Dispatch(*view->control, UiEvent::Click);
}

void LinuxToolkit::OnToggle(Fl_Widget* widget, void* data) {
  auto* view = static_cast<View*>(data);
  view->control->TakeToggledValue(static_cast<Fl_Check_Button*>(widget)->value() ? 1 : 0);
  view->toolkit->Dispatch(*view->control, UiEvent::Click);
}

void LinuxToolkit::OnTyped(Fl_Widget* widget, void* data) {
  static_cast<View*>(data)->control->TakeTypedText(static_cast<Fl_Input*>(widget)->value());
}

void LinuxToolkit::OnTimer(void* data) {
  auto* view = static_cast<View*>(data);
  // Re-armed before the handler runs: the handler may switch the timer off.
  Fl::repeat_timeout(view->control->Design().interval / 1000.0, OnTimer, data);
  view->toolkit->Dispatch(*view->control, UiEvent::Timer);
}

void LinuxToolkit::ShowWindow() {
  if (!placed_) {
    int sx, sy, sw, sh;
    Fl::screen_xywh(sx, sy, sw, sh, 0);
    window_->position(sx + (sw - window_->w()) / 2, sy + (sh - window_->h()) / 2);
    placed_ = true;
  }
  window_->show();
  if (!mapped_ && !Fl::has_timeout(WhenViewable, this)) {
    if (!WaitUntilViewable(fl_display, fl_xid(window_.get()), 2.0)) {
      Fl::add_timeout(0.05, WhenViewable, this);
    } else {
      WhenViewable(this);
    }
  }
}

// The window manager takes the window's states only once it has mapped it,
// which on a busy machine may take longer than the first wait.
void LinuxToolkit::WhenViewable(void* toolkit) {
  auto* self = static_cast<LinuxToolkit*>(toolkit);
  const Window xid = fl_xid(self->window_.get());
  if (!WaitUntilViewable(fl_display, xid, 0)) {
    Fl::add_timeout(0.05, WhenViewable, toolkit);
    return;
  }
  self->mapped_ = true;
  if (self->hasRegion_) self->SetRoundRegion(self->regionW_, self->regionH_, self->regionCorner_);
  // Without a border FLTK also keeps the window out of task bars and
  // window switchers; it is the program's only window and belongs there.
  SendWmState(fl_display, xid, "SKIP_TASKBAR", false);
  if (self->hasTopmostWish_) self->SetTopmost(self->topmostWish_);
  Fl::add_timeout(0.25, AskAgainForLostStates, toolkit);
}

// A window manager still taking the window on may lose the first requests
// (seen with openbox on a busy machine): those lost are sent once more.
void LinuxToolkit::AskAgainForLostStates(void* toolkit) {
  auto* self = static_cast<LinuxToolkit*>(toolkit);
  const Window xid = fl_xid(self->window_.get());
  if (HasWmState(fl_display, xid, "SKIP_TASKBAR"))
    SendWmState(fl_display, xid, "SKIP_TASKBAR", false);
  if (self->hasTopmostWish_ && HasWmState(fl_display, xid, "ABOVE") != self->topmostWish_)
    self->SetTopmost(self->topmostWish_);
}

void LinuxToolkit::SetWindowTitle(const std::string& title) { window_->copy_label(title.c_str()); }

void LinuxToolkit::SetFocus(const Control& control) {
  auto it = views_.find(&control);
  if (it != views_.end() && it->second.widget) it->second.widget->take_focus();
}

MsgAnswer LinuxToolkit::MessageBox(const std::string& text, const std::string& title,
                                   MsgButtons buttons, MsgIcon icon) {
  return ShowMessageBox(text, title, buttons, icon, SystemLanguage(locale_) == 1);
}

void LinuxToolkit::DoEvents() { Fl::check(); }

void LinuxToolkit::SetRoundRegion(int width, int height, int corner) {
  regionW_ = width, regionH_ = height, regionCorner_ = corner;
  hasRegion_ = true;
  if (mapped_) ShapeRoundRect(fl_display, fl_xid(window_.get()), width, height, corner);
}

void LinuxToolkit::BeginWindowDrag() { window_->BeginDrag(); }

void LinuxToolkit::SetTopmost(bool topmost) {
  topmostWish_ = topmost;
  hasTopmostWish_ = true;
  if (mapped_) SendWmState(fl_display, fl_xid(window_.get()), "ABOVE", topmost);
}

void LinuxToolkit::RunForever() {
  for (;;) Fl::wait(1e20);
}

}  // namespace kelvane::linux_platform
