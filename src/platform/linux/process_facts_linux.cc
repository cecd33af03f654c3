#include "platform/linux/process_facts_linux.h"

#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace kelvane::linux_platform {
namespace {

std::string OwnExecutable(const char* argv0) {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n > 0) return std::string(buffer.data(), static_cast<size_t>(n));
  return argv0 ? argv0 : "";
}

// Xft.dpi of the X resources: the scale that desktops set for the user; 0
// when none is set.
double ResourceDpi(Display* display) {
  const char* resources = XResourceManagerString(display);
  if (!resources) return 0;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (!database) return 0;
  char* type = nullptr;
  XrmValue value{};
  double dpi = 0;
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
    dpi = std::atof(value.addr);
  XrmDestroyDatabase(database);
  return dpi;
}

// The screen's dots per inch: the X resources' Xft.dpi, else the physical
// measure; 96 when there is no screen to ask.
double ScreenDpi() {
  Display* display = fl_display ? fl_display : XOpenDisplay(nullptr);
  if (!display) return 96;
  const int screen = DefaultScreen(display);
  const int mm = DisplayWidthMM(display, screen);
  double dpi = ResourceDpi(display);
  if (!(dpi > 0)) dpi = mm > 0 ? std::round(DisplayWidth(display, screen) * 25.4 / mm) : 96;
  if (display != fl_display) XCloseDisplay(display);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

bool IsPrivateFolder(const std::string& path, bool tighten) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return false;
  return (st.st_mode & 077) == 0 || (tighten && chmod(path.c_str(), 0700) == 0);
}

LinuxProcessFacts::LinuxProcessFacts(int argc, char** argv)
    : exePath_(OwnExecutable(argc > 0 ? argv[0] : nullptr)) {
  for (int i = 1; i < argc; ++i) {
    if (i > 1) arguments_ += ' ';
    arguments_ += argv[i];
  }
}

std::string LinuxProcessFacts::ExeName() {
  std::string name = exePath_.substr(exePath_.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string LinuxProcessFacts::ExeFolder() {
  const size_t slash = exePath_.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exePath_.substr(0, slash);
}

LinuxProcessFacts::~LinuxProcessFacts() { RemoveMadeFolder(); }

void LinuxProcessFacts::RemoveMadeFolder() {
  if (madeFolder_.empty()) return;
  rmdir(madeFolder_.c_str());  // kept when something is still inside
  madeFolder_.clear();
  probeFolder_.clear();
}

std::string LinuxProcessFacts::ProbeFolder() {
  if (!probeFolder_.empty()) return probeFolder_;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && IsPrivateFolder(runtime, false)) {
    const std::string folder = std::string(runtime) + "/kelvane";
    if ((mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) && IsPrivateFolder(folder, true))
      return probeFolder_ = folder + "/";
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/kelvane-XXXXXX";
  if (mkdtemp(pattern.data())) {
    if (IsPrivateFolder(pattern, true)) {
      madeFolder_ = pattern;
      return probeFolder_ = pattern + "/";
    }
    rmdir(pattern.c_str());
  }
  // No private folder: a place below a file, where nothing can be created
  // (not even by root), so no probe is written and nothing opens. Never
  // the current folder, which may be shared.
  return kNowhere;
}

double LinuxProcessFacts::TwipsPerPixel() {
  if (twipsPerPixel_ == 0) twipsPerPixel_ = 1440.0 / ScreenDpi();
  return twipsPerPixel_;
}

}  // namespace kelvane::linux_platform
