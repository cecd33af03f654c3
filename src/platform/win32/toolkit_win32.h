#pragma once
// The main window on Win32: one child window per control of the window model,
// kept in step with the model by ApplyControl, and the user's actions fed
// back into Form1::Dispatch.
#include <map>
#include <optional>
#include <string>

#include "platform/toolkit.h"
#include "platform/win32/process_facts_win32.h"
#include "platform/win32/windows_api_win32.h"
#include "ui/control.h"

namespace kelvane {
class Form1;
enum class UiEvent;
}  // namespace kelvane

namespace kelvane::win32 {

class Win32Toolkit : public Toolkit {
 public:
  Win32Toolkit(HINSTANCE instance, Win32ProcessFacts& facts);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  // Creates the (hidden) window and its controls from the model; false when
  // the window cannot be created. Before this, only message boxes work.
  bool Build(Form1& form);
  // The event loop; returns only when the message queue is closed.
  void RunMessageLoop();

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
  // One control on screen and the state last shown, so that only changes
  // are applied (and typed text is not echoed back).
  struct View {
    Control* control = nullptr;
    HWND hwnd = nullptr;    // none for timers and lines
    HWND parent = nullptr;  // the window it lies in (lines are drawn by it)
    UINT id = 0;            // child id, and timer id for timers
    HFONT font = nullptr;
    HBRUSH brush = nullptr;  // background; null: the system's colours
    bool ownsBrush = false;
    COLORREF back = 0;
    bool applied = false;
    std::string text, toolTip;
    bool visible = false, enabled = false, timerOn = false, hasTool = false;
    int value = 0, selStart = -1, selLength = -1;
    Bounds bounds;
  };

  static LRESULT CALLBACK PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR self);
  LRESULT OnPaneMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnMouseDown(View& view, HWND hwnd, UINT msg);
  bool TrackPress(HWND hwnd, UINT msg, WPARAM wp);
  void OnCommand(HWND child, UINT code);
  LRESULT OnColour(HDC dc, HWND child);
  void FireTimer(UINT id);
  LRESULT PaintBackground(HWND hwnd, const View& view, HDC dc);
  // The focus of the main window, kept as a dialog keeps it; nothing where
  // the system's own handling follows.
  std::optional<LRESULT> OnFocusMessage(UINT msg, WPARAM wp);
  void OnPaint(HWND hwnd);
  void OnDpiChanged(int dpi, const RECT& suggested);
  void DrawPictureButton(const DRAWITEMSTRUCT& item);
  void Fire(const View& view, UiEvent event, int button = 1);

  bool RegisterClasses();
  bool CreateView(View& view);
  void StackByTabIndex();
  void ApplyView(View& view);
  // What a control with a window of its own shows.
  void ApplyWindow(View& view, bool textChanged, bool boundsChanged);
  void ApplyValue(View& view, bool textChanged);
  void ApplyBounds(View& view);
  void ApplyToolTip(View& view);
  void FitToText(View& view);
  void RedrawUnder(const View& view, const RECT& before);
  RECT PixelRect(const Bounds& b) const;
  HFONT FontFor(const Font& font);
  View* ViewOf(HWND hwnd);
  void Deliver(MSG& msg);

  HINSTANCE instance_;
  Win32ProcessFacts& facts_;
  Form1* form_ = nullptr;
  HWND window_ = nullptr;
  HWND toolTips_ = nullptr;
  HICON icon_ = nullptr;
  HWND focus_ = nullptr;              // the control that had the focus when the window lost it
  double twipsX_ = 15, twipsY_ = 15;  // twips per pixel
  int regionCorner_ = 0;              // of the window's shape, in pixels
  bool shownOnce_ = false;
  bool applying_ = false;  // changes made by ApplyControl are not user input
  // A press that moves the window once the mouse has travelled far enough.
  struct Press {
    View* view = nullptr;
    int button = 0;  // 1 left, 2 right, 4 middle, as the model counts them
    int held = 0;    // its MK_ flag
    POINT at{};      // on the screen
  } press_;
  SIZE travelled_{};  // by the mouse of that press when it starts the move
  std::map<const Control*, View> views_;
  std::map<HWND, View*> byHwnd_;
  std::map<std::string, HFONT> fonts_;
};

}  // namespace kelvane::win32
