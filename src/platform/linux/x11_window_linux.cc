#include "platform/linux/x11_window_linux.h"

#include <FL/Fl.H>
#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace kelvane::linux_platform {

void ShapeRoundRect(Display* display, Window window, int width, int height, int corner) {
  if (width <= 0 || height <= 0) return;
  const int cw = std::clamp(corner, 0, width);
  const int ch = std::clamp(corner, 0, height);
  Pixmap mask = XCreatePixmap(display, window, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), 1);
  GC gc = XCreateGC(display, mask, 0, nullptr);
  XSetForeground(display, gc, 0);
  XFillRectangle(display, mask, gc, 0, 0, static_cast<unsigned>(width),
                 static_cast<unsigned>(height));
  XSetForeground(display, gc, 1);
  if (cw > 0 && ch > 0) {
    const int right = width - cw, bottom = height - ch;
    const unsigned ew = static_cast<unsigned>(cw), eh = static_cast<unsigned>(ch);
    XFillArc(display, mask, gc, 0, 0, ew, eh, 0, 360 * 64);
    XFillArc(display, mask, gc, right, 0, ew, eh, 0, 360 * 64);
    XFillArc(display, mask, gc, 0, bottom, ew, eh, 0, 360 * 64);
    XFillArc(display, mask, gc, right, bottom, ew, eh, 0, 360 * 64);
  }
  // The cross between the corner ellipses.
  XFillRectangle(display, mask, gc, cw / 2, 0, static_cast<unsigned>(width - cw / 2 * 2),
                 static_cast<unsigned>(height));
  XFillRectangle(display, mask, gc, 0, ch / 2, static_cast<unsigned>(width),
                 static_cast<unsigned>(height - ch / 2 * 2));
  XShapeCombineMask(display, window, ShapeBounding, 0, 0, mask, ShapeSet);
  XFreeGC(display, gc);
  XFreePixmap(display, mask);
  XFlush(display);
}

bool WaitUntilViewable(Display* display, Window window, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
      return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    Fl::wait(0.01);
  }
}

void SendWmState(Display* display, Window window, const char* state, bool set) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = set ? 1 : 0;  // _NET_WM_STATE_ADD or _REMOVE
  const std::string name = std::string("_NET_WM_STATE_") + state;
  event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, name.c_str(), False));
  event.xclient.data.l[2] = 0;
  event.xclient.data.l[3] = 1;  // the request comes from an application
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
}

bool HasWmState(Display* display, Window window, const char* state) {
  const std::string name = std::string("_NET_WM_STATE_") + state;
  const Atom wanted = XInternAtom(display, name.c_str(), False);
  Atom type;
  int format;
  unsigned long count = 0, after;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), 0, 64,
                         False, XA_ATOM, &type, &format, &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == wanted;
  }
  if (data) XFree(data);
  return found;
}

}  // namespace kelvane::linux_platform
