#include "platform/linux/message_box_linux.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <vector>

#include "platform/linux/appearance_linux.h"
#include "platform/linux/widgets_linux.h"

#undef None  // X11's macro, pulled in by fl_draw.H, would hide MsgIcon::None

namespace kelvane::linux_platform {
namespace {

constexpr int kMargin = 10;
constexpr int kIconSize = 50;
constexpr int kButtonW = 90;
constexpr int kButtonH = 25;
constexpr int kTextSize = 14;
constexpr int kLabelInset = 3;  // what Fl_Box keeps free left and right of a label

struct Choice {
  const char* label;
  MsgAnswer answer;
};

struct Outcome {
  Fl_Window* window;
  MsgAnswer answer;
};

// What one button answers, handed to its callback.
struct Slot {
  Outcome* outcome;
  MsgAnswer answer;
};

std::vector<Choice> ChoicesFor(MsgButtons buttons, bool german) {
  switch (buttons) {
    case MsgButtons::OkCancel:
      return {{"OK", MsgAnswer::Ok}, {german ? "Abbrechen" : "Cancel", MsgAnswer::Cancel}};
    case MsgButtons::YesNo:
      return {{german ? "&Ja" : "&Yes", MsgAnswer::Yes}, {german ? "&Nein" : "&No", MsgAnswer::No}};
    case MsgButtons::Ok:
      break;
  }
  return {{"OK", MsgAnswer::Ok}};
}

void Answer(Fl_Widget*, void* data) {
  auto* slot = static_cast<Slot*>(data);
  slot->outcome->answer = slot->answer;
  slot->outcome->window->hide();
}

void Dismiss(Fl_Widget* window, void*) { window->hide(); }

// The question mark or the "i" at the top left of the box.
void AddSign(MsgIcon icon) {
  auto* sign =
      new Fl_Box(kMargin, kMargin, kIconSize, kIconSize, icon == MsgIcon::Question ? "?" : "i");
  sign->box(FL_THIN_UP_BOX);
  sign->labelfont(FL_TIMES_BOLD);
  sign->labelsize(34);
  sign->color(FL_WHITE);
  sign->labelcolor(FL_BLUE);
}

}  // namespace

MsgAnswer ShowMessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon, bool german) {
  const std::vector<Choice> choices = ChoicesFor(buttons, german);
  const std::string shown = ForDisplay(text);

  int sx, sy, sw, sh;
  Fl::screen_xywh(sx, sy, sw, sh, 0);
  const int textX = kMargin + (icon == MsgIcon::None ? 0 : kIconSize + kMargin);
  // Every line as written; wrapped only where the screen is too narrow.
  fl_font(FL_HELVETICA, kTextSize);
  int textW = 0, textH = 0;
  fl_measure(shown.c_str(), textW, textH, 0);
  const int widest = sw - textX - kMargin - 2 * kLabelInset;
  const bool wrap = textW > widest;
  if (wrap) {
    textW = widest;
    textH = 0;
    fl_measure(shown.c_str(), textW, textH, 0);
  }
  const int boxW = textW + 2 * kLabelInset;

  const int buttonsW = static_cast<int>(choices.size()) * (kButtonW + kMargin) - kMargin;
  const int w = std::max(textX + boxW, kMargin + buttonsW) + kMargin;
  const int bodyH = std::max(textH, icon == MsgIcon::None ? 0 : kIconSize);
  const int h = kMargin + bodyH + kMargin + kButtonH + kMargin;

  Fl_Group::current(nullptr);
  Fl_Window window(sx + (sw - w) / 2, sy + (sh - h) / 2, w, h);
  window.copy_label(title.c_str());
  // What Escape or closing answers.
  Outcome outcome{&window, buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel};

  if (icon != MsgIcon::None) AddSign(icon);
  auto* message = new Fl_Box(textX, kMargin, boxW, bodyH);
  message->copy_label(shown.c_str());
  message->labeltype(kPlainLabel);
  message->labelfont(FL_HELVETICA);
  message->labelsize(kTextSize);
  message->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | (wrap ? FL_ALIGN_WRAP : 0) |
                 (textH < bodyH ? FL_ALIGN_CENTER : FL_ALIGN_TOP));

  std::vector<Slot> slots;
  for (const Choice& choice : choices) slots.push_back({&outcome, choice.answer});
  int x = w - kMargin - buttonsW;
  for (size_t i = 0; i < choices.size(); ++i, x += kButtonW + kMargin) {
    const int y = h - kMargin - kButtonH;
    // The first button is the default one that Return presses; Return on
    // another one that has the focus presses that one.
    Fl_Button* button =
        i == 0 ? static_cast<Fl_Button*>(new Fl_Return_Button(0, 0, 0, 0)) : new PushButton();
    button->resize(x, y, kButtonW, kButtonH);
    button->label(choices[i].label);
    button->callback(Answer, &slots[i]);
  }
  window.end();
  window.callback(Dismiss);
  window.set_modal();
  window.show();
  while (window.shown()) Fl::wait();
  return outcome.answer;
}

}  // namespace kelvane::linux_platform
