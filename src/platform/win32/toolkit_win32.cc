// Building the window from the model and mirroring the model's changes.
#include "platform/win32/toolkit_win32.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/win32/pictures_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "ui/artwork.h"
#include "ui/form1.h"
#include "ui/window_handling.h"

namespace kelvane::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"KelvaneForm";
constexpr wchar_t kPaneClass[] = L"KelvanePane";
constexpr UINT kFirstId = 100;  // above IDOK/IDCANCEL, which the dialog keys send
// A window that holds controls paints around them, never over them: else
// erasing it (when it grows, or a label changes) wipes out controls that are
// not repainted after it. Transparent labels are left out of the clipping.
constexpr DWORD kHost = WS_CLIPCHILDREN;

COLORREF ToColour(Rgb c) { return RGB(c.r, c.g, c.b); }

bool ShowsTextWithBreaks(ControlKind kind) {
  return kind == ControlKind::Label || kind == ControlKind::TextBox;
}

// A progress bar fills by its value in per mille, or keeps moving while the
// value is -1 (the size is not known).
void ShowProgress(HWND bar, int value) {
  const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
  const bool moving = value < 0;
  if (moving != ((style & PBS_MARQUEE) != 0)) {
    SetWindowLongPtrW(bar, GWL_STYLE, moving ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
    SendMessageW(bar, PBM_SETMARQUEE, moving, 30);
  }
  if (!moving) SendMessageW(bar, PBM_SETPOS, value, 0);
}

// Wine makes a box's text exactly as wide as it measures the longest line,
// and at 96 dpi the last letter's ink reaches a pixel past that, where it is
// clipped ("1.4b" shows as "1.4t"). A no-break space at the end of each line
// takes the cut instead; it shows as nothing, on Windows too.
std::wstring WithRoomAtLineEnds(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : text) {
    if (c == L'\r') out += L'\u00A0';
    out += c;
  }
  return out + L'\u00A0';
}

// How a control's window is created.
struct WindowKind {
  const wchar_t* cls = kPaneClass;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS, ex = 0;
  bool subclass = false;  // its presses and keys pass through ControlProc
};

// The window class and styles of a control's window; nothing for a control
// without a window of its own.
std::optional<WindowKind> WindowKindOf(const ControlDesign& d) {
  WindowKind w;
  switch (d.kind) {
    case ControlKind::Frame:
      w.ex = WS_EX_CONTROLPARENT;
      w.style |= kHost;
      break;
    case ControlKind::AlwaysOnTop:
      w.style |= kHost;
      break;
    case ControlKind::PictureBox:
    case ControlKind::Image:
      break;
    case ControlKind::PushButton:
      w.cls = L"BUTTON";
      w.style |= WS_TABSTOP | (d.picture.empty() ? BS_PUSHBUTTON : BS_OWNERDRAW);
      break;
    case ControlKind::CheckBox:
      w.cls = L"BUTTON";
      w.style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ControlKind::TextField:
      w.cls = L"EDIT";
      w.style |= WS_TABSTOP | ES_AUTOHSCROLL;
      w.ex = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::TextBox:
      w.cls = L"EDIT";
      w.style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
      w.ex = WS_EX_CLIENTEDGE;
      w.subclass = true;  // a press on it moves the window
      break;
    case ControlKind::ProgressBar:
      w.cls = PROGRESS_CLASSW;
      w.style |= PBS_SMOOTH;
      break;
    case ControlKind::Label:
      w.cls = L"STATIC";
      w.style |= SS_NOTIFY | (d.align == Align::Right    ? SS_RIGHT
                              : d.align == Align::Center ? SS_CENTER
                                                         : SS_LEFT);
      if (d.transparent) w.ex = WS_EX_TRANSPARENT;
      w.subclass = true;  // for presses of every button
      break;
    default:
      return std::nullopt;  // timers and lines have no window of their own
  }
  return w;
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance, Win32ProcessFacts& facts)
    : instance_(instance), facts_(facts) {}

Win32Toolkit::~Win32Toolkit() {
  if (toolTips_) DestroyWindow(toolTips_);
  if (window_) DestroyWindow(window_);
  for (auto& [control, view] : views_)
    if (view.ownsBrush) DeleteObject(view.brush);
  for (auto& [key, font] : fonts_) DeleteObject(font);
  if (icon_) DestroyIcon(icon_);
}

bool Win32Toolkit::RegisterClasses() {
  WNDCLASSEXW pane{};
  pane.cbSize = sizeof pane;
  pane.style = CS_DBLCLKS;
  pane.lpfnWndProc = PaneProc;
  pane.hInstance = instance_;
  pane.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  pane.lpszClassName = kPaneClass;
  WNDCLASSEXW form = pane;
  form.lpszClassName = kFormClass;
  form.hIcon = icon_;
  form.hIconSm = icon_;
  return RegisterClassExW(&pane) && RegisterClassExW(&form);
}

bool Win32Toolkit::Build(Form1& form) {
  form_ = &form;
  twipsX_ = facts_.TwipsPerPixelX();
  twipsY_ = facts_.TwipsPerPixelY();
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  icon_ = IconFromPicture(PictureNamed(form.Form.Design().picture));
  if (!RegisterClasses()) return false;

  UINT id = kFirstId;
  for (Control* c : form.Controls()) {
    View& v = views_[c];
    v.control = c;
    v.id = id++;
    const ControlDesign& d = c->Design();
    if (d.kind == ControlKind::Image) {  // the host's colour shows around the picture
      const View& host = views_.at(&form.Find(d.parent));
      v.brush = host.brush;
      v.back = host.back;
    } else if (d.kind == ControlKind::AlwaysOnTop) {
      v.brush = GetSysColorBrush(COLOR_MENU);
      v.back = GetSysColor(COLOR_MENU);
    } else if (!d.systemColours) {
      v.back = ToColour(d.back);
      v.brush = CreateSolidBrush(v.back);
      v.ownsBrush = true;
    }
    if (!d.font.name.empty()) v.font = FontFor(d.font);
    if (d.kind == ControlKind::Form) {
      const RECT r = PixelRect(c->Position());
      window_ = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kFormClass, L"",
                                WS_POPUP | kHost, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                                nullptr, instance_, this);
      if (!window_) return false;
      v.hwnd = window_;
      byHwnd_[window_] = &v;
      continue;
    }
    v.parent = views_.at(&form.Find(d.parent)).hwnd;
    if (!CreateView(v)) return false;
  }

  // No owner: a window that owns a topmost tool tip cannot be made topmost
  // itself on some systems.
  toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, nullptr);
  StackByTabIndex();
  for (Control* c : form.Controls()) ApplyView(views_.at(c));
  return true;
}

bool Win32Toolkit::CreateView(View& v) {
  const ControlDesign& d = v.control->Design();
  const std::optional<WindowKind> kind = WindowKindOf(d);
  if (!kind) return true;
  const auto [cls, style, ex, subclass] = *kind;
  const RECT r = PixelRect(v.control->Position());
  v.hwnd = CreateWindowExW(ex, cls, L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           v.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(v.id)),
                           instance_, cls == kPaneClass ? this : nullptr);
  if (!v.hwnd) return false;
  byHwnd_[v.hwnd] = &v;
  if (subclass) SetWindowSubclass(v.hwnd, ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
  // Visual styles would ignore the check box's text colour.
  if (d.kind == ControlKind::CheckBox) SetWindowTheme(v.hwnd, L"", L"");
  if (d.kind == ControlKind::ProgressBar) {
    SetWindowTheme(v.hwnd, L"", L"");  // so that the bar takes the design's colours
    SendMessageW(v.hwnd, PBM_SETRANGE32, 0, 1000);
    SendMessageW(v.hwnd, PBM_SETBARCOLOR, 0, ToColour(d.fore));
    SendMessageW(v.hwnd, PBM_SETBKCOLOR, 0, ToColour(d.back));
  }
  if (v.font) SendMessageW(v.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(v.font), FALSE);
  return true;
}

// Siblings are stacked (and tabbed through) in the order of their tab index;
// where controls overlap, the lower index lies on top and takes the mouse.
void Win32Toolkit::StackByTabIndex() {
  std::vector<View*> windows;
  for (Control* c : form_->Controls()) {
    View& v = views_.at(c);
    if (v.hwnd && v.hwnd != window_) windows.push_back(&v);
  }
  auto key = [](const View* v) {
    const int tab = v->control->Design().tabIndex;
    return tab < 0 ? INT_MAX : tab;
  };
  std::stable_sort(windows.begin(), windows.end(),
                   [&](const View* a, const View* b) { return key(a) < key(b); });
  for (View* v : windows)
    SetWindowPos(v->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HFONT Win32Toolkit::FontFor(const Font& font) {
  const double dpi = 1440.0 / twipsY_;
  const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0));
  // Keyed by what CreateFontW is given: whole numbers, which format without printf.
  const std::string key = font.name + "|" + std::to_string(height) + "|" +
                          std::to_string(font.bold) + std::to_string(font.underline);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT f = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline,
                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Widen(font.name).c_str());
  fonts_[key] = f;
  return f;
}

RECT Win32Toolkit::PixelRect(const Bounds& b) const {
  const int left = TwipsToPixels(b.left, twipsX_);
  const int top = TwipsToPixels(b.top, twipsY_);
  return {left, top, left + TwipsToPixels(b.width, twipsX_),
          top + TwipsToPixels(b.height, twipsY_)};
}

void Win32Toolkit::ApplyControl(const Control& control) {
  auto it = views_.find(&control);
  if (!window_ || it == views_.end()) return;  // mirrored in full by Build
  ApplyView(it->second);
}

void Win32Toolkit::ApplyView(View& v) {
  const Control& c = *v.control;
  const ControlDesign& d = c.Design();
  const bool textChanged = !v.applied || v.text != c.Text();
  const bool boundsChanged = !v.applied || !(v.bounds == c.Position());
  const bool outer = applying_;  // a change may come in while another is applied
  applying_ = true;
  switch (d.kind) {
    case ControlKind::Form:
      if (boundsChanged) {
        const RECT r = PixelRect(c.Position());
        SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (textChanged) SetWindowTextW(window_, Widen(c.Text()).c_str());
      break;
    case ControlKind::Timer: {
      const bool on = c.Enabled() && d.interval > 0;  // an interval of 0 never fires
      if (on && !v.timerOn) SetTimer(window_, v.id, static_cast<UINT>(d.interval), nullptr);
      if (!on && v.timerOn) KillTimer(window_, v.id);
      v.timerOn = on;
      break;
    }
    case ControlKind::Line:
      if (boundsChanged || v.visible != c.Visible()) InvalidateRect(v.parent, nullptr, TRUE);
      break;
    default:
      ApplyWindow(v, textChanged, boundsChanged);
  }
  applying_ = outer;
  v.applied = true;
  v.text = c.Text();
  v.bounds = c.Position();
  v.visible = c.Visible();
  v.enabled = c.Enabled();
  v.value = c.Value();
  v.selStart = c.SelStart();
  v.selLength = c.SelLength();
}

void Win32Toolkit::ApplyWindow(View& v, bool textChanged, bool boundsChanged) {
  const Control& c = *v.control;
  const ControlDesign& d = c.Design();
  RECT before{};
  GetWindowRect(v.hwnd, &before);
  MapWindowPoints(HWND_DESKTOP, v.parent, reinterpret_cast<POINT*>(&before), 2);
  if (textChanged) {
    const std::wstring text = Widen(c.Text());
    SetWindowTextW(v.hwnd, ShowsTextWithBreaks(d.kind) ? WithCrLf(text).c_str() : text.c_str());
  }
  if (boundsChanged) ApplyBounds(v);
  if (d.autoSize && (textChanged || boundsChanged)) FitToText(v);
  if (d.transparent && v.applied && (textChanged || boundsChanged)) RedrawUnder(v, before);
  if (!v.applied || v.toolTip != c.ToolTip()) {
    v.toolTip = c.ToolTip();
    ApplyToolTip(v);
  }
  if (!v.applied || v.enabled != c.Enabled()) EnableWindow(v.hwnd, c.Enabled());
  ApplyValue(v, textChanged);
  if (!v.applied || v.visible != c.Visible())
    ::ShowWindow(v.hwnd, c.Visible() ? SW_SHOWNA : SW_HIDE);
}

// The check, the progress or the selection of the control, where it has one.
void Win32Toolkit::ApplyValue(View& v, bool textChanged) {
  const Control& c = *v.control;
  const ControlKind kind = c.Design().kind;
  if (kind == ControlKind::CheckBox && (!v.applied || v.value != c.Value()))
    SendMessageW(v.hwnd, BM_SETCHECK, c.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
  if (kind == ControlKind::ProgressBar && (!v.applied || v.value != c.Value()))
    ShowProgress(v.hwnd, c.Value());
  const bool edit = kind == ControlKind::TextField || kind == ControlKind::TextBox;
  if (edit && (textChanged || v.selStart != c.SelStart() || v.selLength != c.SelLength())) {
    const int start = WideOffset(c.Text(), c.SelStart());
    const int end = WideOffset(c.Text(), c.SelStart() + c.SelLength());
    SendMessageW(v.hwnd, EM_SETSEL, start, end);
  }
}

void Win32Toolkit::ApplyBounds(View& v) {
  const RECT r = PixelRect(v.control->Position());
  SetWindowPos(v.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// An auto-size label takes the size of its caption, keeping its top left.
void Win32Toolkit::FitToText(View& v) {
  HDC dc = GetDC(v.hwnd);
  HGDIOBJ old = SelectObject(dc, v.font);
  RECT r{};
  const std::wstring text = WithCrLf(Widen(v.control->Text()));
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOCLIP);
  SelectObject(dc, old);
  ReleaseDC(v.hwnd, dc);
  SetWindowPos(v.hwnd, nullptr, 0, 0, r.right, r.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A transparent label has no background to paint over its old text: its
// container repaints the area it covered and covers now.
void Win32Toolkit::RedrawUnder(const View& v, const RECT& before) {
  RECT now{}, both{};
  GetWindowRect(v.hwnd, &now);
  MapWindowPoints(HWND_DESKTOP, v.parent, reinterpret_cast<POINT*>(&now), 2);
  UnionRect(&both, &before, &now);
  RedrawWindow(v.parent, &both, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Toolkit::ApplyToolTip(View& v) {
  if (!toolTips_) return;
  std::wstring text = Widen(v.toolTip);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = v.parent;
  tool.uId = reinterpret_cast<UINT_PTR>(v.hwnd);
  tool.lpszText = text.data();
  if (text.empty()) {
    if (v.hasTool) SendMessageW(toolTips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    v.hasTool = false;
  } else {
    SendMessageW(toolTips_, v.hasTool ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
    v.hasTool = true;
  }
}

void Win32Toolkit::ShowWindow() {
  if (!window_) return;
  if (!shownOnce_) {
    RECT r{};
    GetWindowRect(window_, &r);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    shownOnce_ = true;
  }
  ::ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

void Win32Toolkit::SetWindowTitle(const std::string& title) {
  if (window_) SetWindowTextW(window_, Widen(title).c_str());
}

void Win32Toolkit::SetFocus(const Control& control) {
  auto it = views_.find(&control);
  if (it == views_.end() || !it->second.hwnd) return;
  focus_ = it->second.hwnd;  // also where a later activation puts the focus
  ::SetFocus(focus_);
}

MsgAnswer Win32Toolkit::MessageBox(const std::string& text, const std::string& title,
                                   MsgButtons buttons, MsgIcon icon) {
  UINT flags = buttons == MsgButtons::Ok         ? MB_OK
               : buttons == MsgButtons::OkCancel ? MB_OKCANCEL
                                                 : MB_YESNO;
  if (icon == MsgIcon::Information) flags |= MB_ICONINFORMATION;
  if (icon == MsgIcon::Question) flags |= MB_ICONQUESTION;
  const int answer = MessageBoxW(window_, WithRoomAtLineEnds(WithCrLf(Widen(text))).c_str(),
                                 Widen(title).c_str(), flags);
  switch (answer) {
    case IDOK:
      return MsgAnswer::Ok;
    case IDYES:
      return MsgAnswer::Yes;
    case IDNO:
      return MsgAnswer::No;
    case IDCANCEL:  // Cancel, Escape (some systems give it on a Yes/No box too)
      return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    default:  // no box: the last button's answer
      return buttons == MsgButtons::Ok      ? MsgAnswer::Ok
             : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                            : MsgAnswer::Cancel;
  }
}

void Win32Toolkit::Deliver(MSG& msg) {
  if (window_ && IsDialogMessageW(window_, &msg)) return;  // Tab, arrows, Space
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void Win32Toolkit::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {  // leave it for the outer loop
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Deliver(msg);
  }
}

void Win32Toolkit::RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Deliver(msg);
}

void Win32Toolkit::SetRoundRegion(int width, int height, int corner) {
  if (!window_) return;
  regionCorner_ = corner;
  // The window owns the region from here on.
  SetWindowRgn(window_, CreateRoundRectRgn(0, 0, width, height, corner, corner), TRUE);
}

void Win32Toolkit::BeginWindowDrag() {
  if (!window_) return;
  // Catch up with the way the mouse went before the move began, so that the
  // window ends exactly where the pointer leaves it.
  if (travelled_.cx || travelled_.cy) {
    RECT r;
    GetWindowRect(window_, &r);
    SetWindowPos(window_, nullptr, r.left + travelled_.cx, r.top + travelled_.cy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ReleaseCapture();
  SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Win32Toolkit::SetTopmost(bool topmost) {
  if (!window_) return;
  SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace kelvane::win32
