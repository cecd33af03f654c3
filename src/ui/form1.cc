#include "ui/form1.h"

#include <cstdlib>

#include "common/language.h"
#include "ui/form1_design.h"

namespace kelvane {
namespace {

std::map<std::string, std::unique_ptr<Control>> MakeControls(const ControlObserver* observer) {
  std::map<std::string, std::unique_ptr<Control>> controls;
  for (auto& [name, design] : Form1Design())
    controls[name] = std::make_unique<Control>(name, std::move(design), observer);
  return controls;
}

std::vector<Control*> StoredOrder(const std::map<std::string, std::unique_ptr<Control>>& map) {
  std::vector<Control*> order;
  for (const auto& entry : Form1Design()) order.push_back(map.at(entry.first).get());
  return order;
}

}  // namespace

Form1::Form1(Platform& platform)
    : sys(platform),
      notify_([this](const Control& c) { Changed(c); }),
      controls_(MakeControls(&notify_)),
      order_(StoredOrder(controls_)),
      Form(Find("Form1")),
      Picture2(Find("Picture2")),
      Frame1(Find("Frame1")),
      Timer3(Find("Timer3")),
      Timer2(Find("Timer2")),
      ControlFrame(Find("ControlFrame")),
      Command1(Find("Command1")),
      Text1(Find("Text1")),
      RunProgramCheck(Find("RunProgramCheck")),
      StartBtn(Find("StartBtn")),
      ShowCheckbox(Find("ShowCheckbox")),
      AlwaysOnTopHost(Find("AlwaysOnTop1")),
      AOT_Disabled(Find("AOT_Disabled")),
      AOT_MouseMove(Find("AOT_MouseMove")),
      AOT_Enabled(Find("AOT_Enabled")),
      Label1(Find("Label1")),
      VersionsInfoText(Find("VersionsInfoText")),
      Timer1(Find("Timer1")),
      DLVersion(Find("DLVersion")),
      Label3(Find("Label3")),
      Label4(Find("Label4")),
      Line1(Find("Line1")),
      VersionCaption(Find("VersionCaption")),
      Label2(Find("Label2")),
      DownloadProgress(Find("DownloadProgress")),
      AlwaysOnTop1(AlwaysOnTopHost, AOT_Disabled, AOT_MouseMove, AOT_Enabled, platform.ui,
                   platform.settings) {
  AlwaysOnTop1.UserControl_Initialize();
}

void Form1::Changed(const Control& c) {
  // The always-on-top control keeps its size whatever sets it.
  if (&c == &AlwaysOnTopHost) AlwaysOnTop1.UserControl_Resize();
  if (observer_) observer_(c);
}

Control& Form1::Find(const std::string& name) const {
  auto it = controls_.find(name);
  if (it == controls_.end()) std::abort();  // a name the design table does not hold
  return *it->second;
}

void Form1::Dispatch(const Control& c, UiEvent event, int button) {
  switch (event) {
    case UiEvent::Click:
      DispatchClick(c);
      break;
    case UiEvent::DblClick:
      if (&c == &Label2)
        Label2_DblClick();
      else if (&c == &Picture2)
        Picture2_DblClick();
      break;
    case UiEvent::MouseDown:
      DispatchMouseDown(c, button);
      break;
    case UiEvent::MouseMove:
      if (&c == &AOT_Disabled)
        AlwaysOnTop1.AOT_Disabled_MouseMove();
      else if (&c == &AlwaysOnTopHost)
        AlwaysOnTop1.UserControl_MouseMove();
      break;
    case UiEvent::GotFocus:
      if (&c == &Text1) Text1_GotFocus();
      break;
    case UiEvent::LostFocus:
      if (&c == &Text1) Text1_LostFocus();
      break;
    case UiEvent::Timer:
      if (&c == &Timer2 && Timer2.Enabled()) Timer2_Timer();
      break;
  }
}

void Form1::DispatchClick(const Control& c) {
  if (&c == &StartBtn)
    StartBtn_Click();
  else if (&c == &Command1)
    Command1_Click();
  else if (&c == &ShowCheckbox)
    ShowCheckbox_Click();
  else if (&c == &RunProgramCheck)
    RunProgramCheck_Click();
  else if (&c == &DLVersion)
    DLVersion_Click();
  else if (&c == &Label4)
    Label4_Click();
  else if (&c == &AOT_Disabled)
    AlwaysOnTop1.AOT_Disabled_Click();
  else if (&c == &AOT_MouseMove)
    AlwaysOnTop1.AOT_MouseMove_Click();
  else if (&c == &AOT_Enabled)
    AlwaysOnTop1.AOT_Enabled_Click();
}

void Form1::DispatchMouseDown(const Control& c, int button) {
  // The surfaces that move the window, like a title bar would.
  if (&c == &Form)
    Form_MouseDown(button);
  else if (&c == &Frame1)
    Frame1_MouseDown(button);
  else if (&c == &Label1)
    Label1_MouseDown(button);
  else if (&c == &Label2)
    Label2_MouseDown(button);
  else if (&c == &Label3)
    Label3_MouseDown(button);
  else if (&c == &Picture2)
    Picture2_MouseDown(button);
  else if (&c == &VersionsInfoText)
    VersionsInfoText_MouseDown(button);
}

MsgAnswer Form1::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                        const std::string& title) {
  // A Yes/No box has no Cancel: Escape or closing it answers nothing, so
  // the question stays until it is answered.
  MsgAnswer answer;
  do {
    answer = sys.ui.MessageBox(text, title.empty() ? kProgramTitle : title, buttons, icon);
  } while (buttons == MsgButtons::YesNo && answer == MsgAnswer::Cancel);
  return answer;
}

std::string Form1::Tr(const std::string& german, const std::string& english) {
  return SystemLanguage(sys.locale) == 1 ? german : english;
}

}  // namespace kelvane
