#include "platform/linux/stop_signals_linux.h"

#include <FL/Fl.H>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace kelvane::linux_platform {
namespace {

// A handler may do next to nothing: it writes a byte to a pipe that the
// event loop watches (the self-pipe).
int pipeEnds[2] = {-1, -1};
std::function<void()> onStop;

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &byte, 1);
  errno = saved;
}

void OnReadable(int fd, void*) {
  char bytes[16];
  while (read(fd, bytes, sizeof bytes) > 0) {
  }
  onStop();
}

}  // namespace

void TakeStopSignals(std::function<void()> stop) {
  std::signal(SIGPIPE, SIG_IGN);
  if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  onStop = std::move(stop);
  Fl::add_fd(pipeEnds[0], FL_READ, OnReadable);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace kelvane::linux_platform
