// The window's messages: painting, colours, and the user's actions turned
// into events of the window model.

#include <cmath>
#include <cstdlib>

#include "platform/win32/pictures_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "ui/artwork.h"
#include "ui/form1.h"

namespace kelvane::win32 {

Win32Toolkit::View* Win32Toolkit::ViewOf(HWND hwnd) {
  auto it = byHwnd_.find(hwnd);
  return it == byHwnd_.end() ? nullptr : it->second;
}

void Win32Toolkit::Fire(const View& view, UiEvent event, int button) {
  if (form_) form_->Dispatch(*view.control, event, button);
}

LRESULT CALLBACK Win32Toolkit::PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && self->TrackPress(hwnd, msg, wp)) return 0;
  return self ? self->OnPaneMessage(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

// Labels and the info text: presses of any button reach the model.
LRESULT CALLBACK Win32Toolkit::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR ref) {
  auto* self = reinterpret_cast<Win32Toolkit*>(ref);
  if (self->TrackPress(hwnd, msg, wp)) return 0;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (View* view = self->ViewOf(hwnd)) {
        // The info text would start a selection of its own; labels report
        // their click (STN_CLICKED) before the press may become a drag.
        const bool own = view->control->Kind() == ControlKind::TextBox;
        const LRESULT result = own ? 0 : DefSubclassProc(hwnd, msg, wp, lp);
        self->OnMouseDown(*view, hwnd, msg);
        return result;
      }
      break;
    case WM_LBUTTONDBLCLK:  // labels report it as STN_DBLCLK; the info text would select a word
      if (View* view = self->ViewOf(hwnd); view && view->control->Kind() == ControlKind::TextBox)
        return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ControlProc, id);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// A press only arms a move: moving the window at once (the window manager
// then owns the mouse) would swallow the second press of a double click.
void Win32Toolkit::OnMouseDown(View& view, HWND hwnd, UINT msg) {
  const bool left = msg == WM_LBUTTONDOWN;
  const bool right = msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK;
  if (view.control->Kind() == ControlKind::Image && left) Fire(view, UiEvent::Click);
  // A click may have shown a message box meanwhile: only a button still held moves.
  if (GetKeyState(left ? VK_LBUTTON : right ? VK_RBUTTON : VK_MBUTTON) >= 0) return;
  press_ = {&view, left ? 1 : right ? 2 : 4, left ? MK_LBUTTON : right ? MK_RBUTTON : MK_MBUTTON};
  GetCursorPos(&press_.at);
  SetCapture(hwnd);
}

// True when the message ended an armed press by handing it to the model.
bool Win32Toolkit::TrackPress(HWND hwnd, UINT msg, WPARAM wp) {
  if (!press_.view || press_.view->hwnd != hwnd) return false;
  switch (msg) {
    case WM_MOUSEMOVE: {
      POINT now;
      GetCursorPos(&now);
      const int dx = now.x - press_.at.x, dy = now.y - press_.at.y;
      const bool beyond =
          std::abs(dx) > GetSystemMetrics(SM_CXDRAG) || std::abs(dy) > GetSystemMetrics(SM_CYDRAG);
      if (!(wp & static_cast<WPARAM>(press_.held)) || !beyond) return false;
      const Press press = press_;
      press_ = {};
      ReleaseCapture();
      // The model decides whether the press moves the window (BeginWindowDrag).
      travelled_ = {dx, dy};
      Fire(*press.view, UiEvent::MouseDown, press.button);
      travelled_ = {};
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      press_ = {};
      ReleaseCapture();
      return false;
    case WM_CAPTURECHANGED:
      press_ = {};
      return false;
  }
  return false;
}

LRESULT Win32Toolkit::OnPaneMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  View* view = ViewOf(hwnd);
  switch (msg) {
    case WM_ERASEBKGND:
      if (view && view->brush) return PaintBackground(hwnd, *view, reinterpret_cast<HDC>(wp));
      break;
    case WM_PAINT:
      OnPaint(hwnd);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (view) OnMouseDown(*view, hwnd, msg);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (view) Fire(*view, UiEvent::DblClick);
      return 0;
    case WM_MOUSEMOVE:
      if (view) Fire(*view, UiEvent::MouseMove);
      return 0;
    case WM_COMMAND:
      if (lp) OnCommand(reinterpret_cast<HWND>(lp), HIWORD(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      if (LRESULT brush = OnColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
        return brush;
      break;
    case WM_DRAWITEM:
      DrawPictureButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_TIMER:
      FireTimer(static_cast<UINT>(wp));
      return 0;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case DM_GETDEFID:
      if (hwnd != window_) break;
      if (const std::optional<LRESULT> result = OnFocusMessage(msg, wp)) return *result;
      break;
    case WM_CLOSE:
      return 0;  // the window ends only through the program's own commands
    case WM_DPICHANGED:
      if (hwnd == window_) OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Toolkit::FireTimer(UINT id) {
  for (auto& [control, timer] : views_)
    if (timer.id == id && control->Kind() == ControlKind::Timer) Fire(timer, UiEvent::Timer);
}

LRESULT Win32Toolkit::PaintBackground(HWND hwnd, const View& view, HDC dc) {
  RECT r{};
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, view.brush);
  return 1;
}

std::optional<LRESULT> Win32Toolkit::OnFocusMessage(UINT msg, WPARAM wp) {
  switch (msg) {
    case WM_ACTIVATE:  // as a dialog does: the control that has the focus keeps it
      if (LOWORD(wp) == WA_INACTIVE && IsChild(window_, GetFocus())) focus_ = GetFocus();
      break;
    case WM_SETFOCUS:  // when the window gets it back (activation gives it the window itself)
      if (focus_ && IsWindowVisible(focus_) && IsWindowEnabled(focus_)) {
        ::SetFocus(focus_);
        return 0;
      }
      break;
    case DM_GETDEFID:  // asked by the dialog keys: Return presses the focused push button
      if (View* focus = ViewOf(GetFocus());
          focus && focus->control->Kind() == ControlKind::PushButton)
        return MAKELRESULT(focus->id, DC_HASDEFID);
      break;
  }
  return std::nullopt;
}

void Win32Toolkit::OnCommand(HWND child, UINT code) {
  View* view = ViewOf(child);
  if (!view) return;
  Control& c = *view->control;
  switch (c.Kind()) {
    case ControlKind::CheckBox:
      if (code != BN_CLICKED) return;
      view->value = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
      c.TakeToggledValue(view->value);
      Fire(*view, UiEvent::Click);
      return;
    case ControlKind::PushButton:
      if (code == BN_CLICKED) Fire(*view, UiEvent::Click);
      return;
    case ControlKind::Label:
      if (code == STN_CLICKED) Fire(*view, UiEvent::Click);
      if (code == STN_DBLCLK) Fire(*view, UiEvent::DblClick);
      return;
    case ControlKind::TextField:
    case ControlKind::TextBox:
      if (code == EN_SETFOCUS) Fire(*view, UiEvent::GotFocus);
      if (code == EN_KILLFOCUS) Fire(*view, UiEvent::LostFocus);
      if (code == EN_CHANGE && !applying_) {
        const int n = GetWindowTextLengthW(child);
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(child, text.data(), n + 1)));
        view->text = Narrow(text);
        c.TakeTypedText(view->text);
      }
      return;
    default:
      return;
  }
}

// Colours of the standard controls; 0 leaves the system's colours.
LRESULT Win32Toolkit::OnColour(HDC dc, HWND child) {
  View* view = ViewOf(child);
  if (!view) return 0;
  const ControlDesign& d = view->control->Design();
  if (d.transparent) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(d.fore.r, d.fore.g, d.fore.b));
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  if (d.systemColours || !view->brush) return 0;
  SetTextColor(dc, RGB(d.fore.r, d.fore.g, d.fore.b));
  SetBkColor(dc, view->back);
  return reinterpret_cast<LRESULT>(view->brush);
}

// The window went to a monitor of another scale: its controls are laid out,
// lettered and drawn again for that scale, and its shape scaled with them.
void Win32Toolkit::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  const double before = twipsY_;
  facts_.UseDpi(dpi);
  twipsX_ = facts_.TwipsPerPixelX();
  twipsY_ = facts_.TwipsPerPixelY();
  for (auto& [control, view] : views_) {
    if (!control->Design().font.name.empty()) {
      view.font = FontFor(control->Design().font);
      if (view.hwnd)
        SendMessageW(view.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(view.font), FALSE);
    }
    view.bounds = {-1, -1, -1, -1};  // placed again by the next apply
    ApplyView(view);
  }
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (regionCorner_ > 0) {
    const RECT size = PixelRect(form_->Form.Position());
    SetRoundRegion(size.right - size.left, size.bottom - size.top,
                   static_cast<int>(std::lround(regionCorner_ * before / twipsY_)));
  }
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Pictures of picture boxes and images; lines are drawn by their container.
void Win32Toolkit::OnPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const View* self = ViewOf(hwnd);
  if (self && self->control->Kind() != ControlKind::Form)  // the form's picture is its icon
    DrawPicture(dc, PictureNamed(self->control->Design().picture, twipsY_), 0, 0, self->back);
  for (const auto& [control, line] : views_) {
    if (control->Kind() != ControlKind::Line || line.parent != hwnd || !control->Visible())
      continue;
    const ControlDesign& d = control->Design();
    const RECT ends =
        PixelRect(control->Position());  // (left, top) and (width, height) are the ends
    const RECT to = PixelRect({control->Position().width, control->Position().height, 0, 0});
    HPEN pen = CreatePen(PS_SOLID, d.lineWidth, RGB(d.fore.r, d.fore.g, d.fore.b));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, ends.left, ends.top, nullptr);
    LineTo(dc, to.left, to.top);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  EndPaint(hwnd, &ps);
}

// A push button that shows only its picture, centred, on its own colour.
void Win32Toolkit::DrawPictureButton(const DRAWITEMSTRUCT& item) {
  const View* view = ViewOf(item.hwndItem);
  if (!view) return;
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, view->brush ? view->brush : GetSysColorBrush(COLOR_BTNFACE));
  const bool pressed = item.itemState & ODS_SELECTED;
  const Picture picture = PictureNamed(view->control->Design().picture, twipsY_);
  const int shift = pressed ? 1 : 0;
  DrawPicture(item.hDC, picture, (r.right - r.left - picture.width) / 2 + shift,
              (r.bottom - r.top - picture.height) / 2 + shift, view->back);
  DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (item.itemState & ODS_FOCUS) {
    InflateRect(&r, -2, -2);
    DrawFocusRect(item.hDC, &r);
  }
}

}  // namespace kelvane::win32
