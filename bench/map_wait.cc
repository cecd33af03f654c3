// Starts a program and prints how long it took, from before the process was
// made, until the X server mapped its first top-level window; then ends the
// program (its whole process group):
//   map_wait PROGRAM [ARGUMENTS...]   ->   "seconds=S window=TITLE"
// The map is seen as an X event (SubstructureNotify on the root window), not
// by polling. Without a window manager, as on a private Xvfb.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDeadline = std::chrono::seconds(60);

// The next MapNotify of a child of the root window, or 0 at the deadline.
Window NextMap(Display* display, Clock::time_point deadline) {
  for (;;) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify) return event.xmap.window;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return 0;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: map_wait PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "map_wait: no display\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[1], nullptr, &attributes, argv + 1, environ) != 0) {
    std::fprintf(stderr, "map_wait: cannot start %s\n", argv[1]);
    return 1;
  }
  const Window window = NextMap(display, start + kDeadline);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  char* title = nullptr;
  if (window) XFetchName(display, window, &title);  // while the program still runs
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  if (!window) {
    std::fprintf(stderr, "map_wait: no window within %lld s\n",
                 static_cast<long long>(kDeadline.count()));
    return 1;
  }
  std::printf("seconds=%.4f window=%s\n", seconds, title ? title : "");
  if (title) XFree(title);
  XCloseDisplay(display);
  return 0;
}
