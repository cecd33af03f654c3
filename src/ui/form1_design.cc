#include "ui/form1_design.h"

namespace kelvane {
namespace {

const Rgb kGrey{128, 128, 128};
const Rgb kDark{64, 64, 64};
const Rgb kLight{224, 224, 224};
const Rgb kSilver{192, 192, 192};
const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

const Font kSansBold{"MS Sans Serif", 8.25, true, false};
const Font kSans{"MS Sans Serif", 8.25, false, false};
const Font kArial{"Arial", 8.25, false, false};
const Font kArialLarge{"Arial", 11.25, true, false};

ControlDesign Make(ControlKind kind, std::string parent, Bounds bounds, int tab) {
  ControlDesign d;
  d.kind = kind;
  d.parent = std::move(parent);
  d.bounds = bounds;
  d.tabIndex = tab;
  return d;
}

ControlDesign Timer(int interval, bool enabled) {
  ControlDesign d = Make(ControlKind::Timer, "Frame1", {}, -1);
  d.interval = interval;
  d.enabled = enabled;
  d.visible = false;
  return d;
}

ControlDesign Label(std::string parent, Bounds b, int tab, Font font, Rgb fore, Align align,
                    std::string text) {
  ControlDesign d = Make(ControlKind::Label, std::move(parent), b, tab);
  d.font = std::move(font);
  d.fore = fore;
  d.transparent = true;
  d.align = align;
  d.text = std::move(text);
  return d;
}

ControlDesign Button(Bounds b, int tab, std::string text, std::string tip) {
  ControlDesign d = Make(ControlKind::PushButton, "ControlFrame", b, tab);
  d.font = kSansBold;
  d.systemColours = true;
  d.text = std::move(text);
  d.toolTip = std::move(tip);
  return d;
}

ControlDesign PinImage(std::string picture, bool visible) {
  ControlDesign d = Make(ControlKind::Image, "AlwaysOnTop1", {0, 0, 315, 300}, -1);
  d.picture = std::move(picture);
  d.toolTip = "Always on top";
  d.visible = visible;
  return d;
}

}  // namespace

std::vector<std::pair<std::string, ControlDesign>> Form1Design() {
  std::vector<std::pair<std::string, ControlDesign>> c;

  ControlDesign form = Make(ControlKind::Form, "", {0, 0, kFormWidth, kFormHeight}, -1);
  form.back = kGrey;
  form.text = "Form1";
  form.picture = "icon";
  c.emplace_back("Form1", form);

  ControlDesign picture2 = Make(ControlKind::PictureBox, "Form1", {60, 45, 525, 525}, 3);
  picture2.back = kGrey;
  picture2.picture = "globe";
  c.emplace_back("Picture2", picture2);

  ControlDesign frame1 = Make(ControlKind::Frame, "Form1", {-90, 645, 5415, 4410}, 0);
  frame1.back = kDark;
  c.emplace_back("Frame1", frame1);
  c.emplace_back("Timer3", Timer(500, false));
  c.emplace_back("Timer2", Timer(1000, false));

  ControlDesign controlFrame = Make(ControlKind::Frame, "Frame1", {0, 120, 5055, 1935}, 7);
  controlFrame.back = kDark;
  c.emplace_back("ControlFrame", controlFrame);

  c.emplace_back("Command1", Button({2790, 885, 1215, 450}, 12, "Cancel", "Close"));

  ControlDesign text1 = Make(ControlKind::TextField, "ControlFrame", {390, 480, 4335, 285}, 11);
  text1.font = kArial;
  text1.fore = kGrey;
  text1.back = kDark;
  text1.text = "C:\\";
  c.emplace_back("Text1", text1);

  ControlDesign check = Make(ControlKind::CheckBox, "ControlFrame", {585, 1380, 4020, 225}, 10);
  check.font = kArial;
  check.fore = kSilver;
  check.back = kDark;
  check.visible = false;
  check.value = 1;
  check.text = "Run program and close Kelvane when done";
  c.emplace_back("RunProgramCheck", check);

  c.emplace_back("StartBtn", Button({990, 885, 1335, 450}, 9, "Update", "Run Update now"));

  ControlDesign show = Make(ControlKind::PushButton, "ControlFrame", {510, 1380, 270, 210}, 8);
  show.back = kLight;
  show.picture = "arrow";
  show.toolTip = "Settings ...";
  c.emplace_back("ShowCheckbox", show);

  ControlDesign aot = Make(ControlKind::AlwaysOnTop, "ControlFrame", {4230, 0, 315, 300}, 13);
  aot.systemColours = true;  // the system's menu colour
  c.emplace_back("AlwaysOnTop1", aot);
  c.emplace_back("AOT_Disabled", PinImage("pin", true));
  c.emplace_back("AOT_MouseMove", PinImage("pin", false));
  c.emplace_back("AOT_Enabled", PinImage("pin_pushed", false));

  c.emplace_back("Label1", Label("ControlFrame", {120, 105, 4575, 375}, 14, kArialLarge, kLight,
                                 Align::Center, "Downloading ...."));

  ControlDesign info = Make(ControlKind::TextBox, "Frame1", {240, 120, 4335, 2295}, 15);
  info.font = kSansBold;
  info.fore = kBlack;
  info.back = kLight;
  info.visible = false;
  info.text = "Text2";
  c.emplace_back("VersionsInfoText", info);

  ControlDesign timer1 = Timer(0, true);
  timer1.parent = "Form1";
  c.emplace_back("Timer1", timer1);

  ControlDesign dlVersion =
      Label("Form1", {3000, 120, 1560, 330}, 6, {"MS Sans Serif", 8.25, false, true}, kWhite,
            Align::Right, "Version...");
  dlVersion.toolTip = "Check latest Kelvane version  - online.";
  c.emplace_back("DLVersion", dlVersion);

  ControlDesign label3 =
      Label("Form1", {2235, 330, 2400, 270}, 4, kArialLarge, kWhite, Align::Right, "...all done!");
  label3.autoSize = true;
  label3.visible = false;
  c.emplace_back("Label3", label3);

  ControlDesign label4 = Label("Form1", {3720, 345, 870, 255}, 5, {"Arial", 8.25, false, true},
                               kWhite, Align::Right, "Homepage");
  label4.toolTip = "Go to Kelvane Homepage";
  c.emplace_back("Label4", label4);

  ControlDesign line1 = Make(ControlKind::Line, "Form1", {4800, 615, 0, 630}, -1);
  line1.lineWidth = 2;
  line1.fore = {0, 0, 64};
  c.emplace_back("Line1", line1);

  ControlDesign version =
      Label("Form1", {2520, 255, 885, 195}, 2, kSansBold, kSilver, Align::Left, "1.3");
  version.autoSize = true;
  c.emplace_back("VersionCaption", version);

  ControlDesign label2 =
      Label("Form1", {765, 210, 1695, 270}, 1, kArialLarge, kWhite, Align::Left, "Kelvane ");
  label2.autoSize = true;
  c.emplace_back("Label2", label2);

  // Shown only while a download runs: a thin bar in the gap between the path
  // field and the buttons, with the bytes so far in its tool tip.
  ControlDesign progress = Make(ControlKind::ProgressBar, "ControlFrame", {390, 780, 4335, 90}, -1);
  progress.fore = {0, 120, 215};
  progress.back = kDark;
  progress.visible = false;
  c.emplace_back("DownloadProgress", progress);
  return c;
}

}  // namespace kelvane
