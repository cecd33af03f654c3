#pragma once
// The window of the program on screen, with FLTK: one widget per control of
// the window model, kept in step with it, and the user's actions fed back.
#include <map>
#include <memory>
#include <vector>

#include "platform/locale.h"
#include "platform/process_facts.h"
#include "platform/toolkit.h"
#include "ui/artwork.h"
#include "ui/form1.h"

class Fl_Group;
class Fl_RGB_Image;
class Fl_Widget;

namespace kelvane::linux_platform {

class MainWindow;

class LinuxToolkit : public Toolkit {
 public:
  LinuxToolkit(ProcessFacts& facts, Locale& locale);
  ~LinuxToolkit() override;

  // Builds the widgets of every control of `form` and mirrors each later
  // change of the model on them.
  void Build(Form1& form);
  // Runs the event loop; the process ends only through its end command.
  [[noreturn]] void RunForever();

  void ApplyControl(const Control& control) override;
  void ShowWindow() override;
  void SetWindowTitle(const std::string& title) override;
  void SetFocus(const Control& control) override;
  MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override;
  void DoEvents() override;
  void SetRoundRegion(int width, int height, int corner) override;
  void BeginWindowDrag() override;
  void SetTopmost(bool topmost) override;

 private:
  struct View {
    LinuxToolkit* toolkit = nullptr;
    Control* control = nullptr;
    Fl_Widget* widget = nullptr;  // null for timers and the window itself
    bool timerOn = false;
    int shownSelStart = -1, shownSelLength = -1;
    std::string tip;  // the tool tip's text (see MirrorToolTip)
  };

  // The program's icon, in several sizes, on the window and its message boxes.
  static void UseProgramIcon(const Picture& picture);
  Fl_Widget* MakeWidget(View& view);
  void Mirror(View& view);
  void Place(const View& view);
  void MirrorTimer(View& view);
  void MirrorToolTip(View& view);
  // Left and top of a control's container inside the window, in twips.
  void ContainerOrigin(const Control& control, int& left, int& top) const;
  int Px(int twips) const;
  const Control* ControlAt(Fl_Group* group) const;
  void Dispatch(const Control& control, UiEvent event, int button = 1);

  static void OnClick(Fl_Widget* widget, void* view);
  static void OnToggle(Fl_Widget* widget, void* view);
  static void OnTyped(Fl_Widget* widget, void* view);
  static void OnTimer(void* view);
  static void WhenViewable(void* toolkit);
  static void AskAgainForLostStates(void* toolkit);

  ProcessFacts& facts_;
  Locale& locale_;
  Form1* form_ = nullptr;
  std::unique_ptr<MainWindow> window_;
  std::map<const Control*, View> views_;
  std::map<const Fl_Widget*, const Control*> owners_;
  std::vector<std::unique_ptr<Fl_RGB_Image>> images_;
  bool mapped_ = false;
  bool placed_ = false;
  int regionW_ = 0, regionH_ = 0, regionCorner_ = 0;
  bool hasRegion_ = false;
  bool topmostWish_ = false, hasTopmostWish_ = false;
};

}  // namespace kelvane::linux_platform
