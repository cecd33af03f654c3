// The program that the demo and the end-to-end tests update. It is built
// twice: `demoapp` (version 1.0) and, with DEMOAPP_VERSION=2, `demoapp_v2`
// (version 2.0), the newer file that the loopback server offers. On start it
//  - prints "Demo app <version> started with: <arguments>", and writes its
//    version, its working folder and then each argument, one per line, to
//    the file named by DEMOAPP_RECORD (written whole, then renamed);
//  - runs until its time is up (DEMOAPP_SECONDS, 5 by default), or, when
//    DEMOAPP_HOLD names a file, while that file exists (at most 60 s);
//  - shows a small window saying so, where built with a window and a
//    display is there; closing the window ends the program early.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#ifdef DEMOAPP_WINDOW
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#endif

#ifndef DEMOAPP_VERSION
#define DEMOAPP_VERSION 1
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kVersion = std::to_string(DEMOAPP_VERSION) + ".0";

void Record(const fs::path& file, int argc, char** argv) {
  fs::path temp = file;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary);
    out << "demoapp " << kVersion << '\n' << fs::current_path().string() << '\n';
    for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
  }
  std::error_code ignored;
  fs::rename(temp, file, ignored);
}

// Whether the program's time is not yet up.
struct Lifetime {
  const char* hold = std::getenv("DEMOAPP_HOLD");
  const char* seconds = std::getenv("DEMOAPP_SECONDS");
  const bool holding = hold && *hold;
  const double limit = holding ? 60.0 : seconds ? std::atof(seconds) : 5.0;
  const Clock::time_point end =
      Clock::now() + std::chrono::milliseconds(static_cast<long>(limit * 1000));

  bool Running() const { return Clock::now() < end && (!holding || fs::exists(fs::path(hold))); }
};

#ifdef DEMOAPP_WINDOW
// Shows the window while the program runs; false when there is no display.
bool RunWithWindow(const Lifetime& life, const std::string& arguments) {
  const char* name = std::getenv("DISPLAY");
  Display* display = name && *name ? XOpenDisplay(nullptr) : nullptr;
  if (!display) return false;
  fl_open_display(display);
  const std::string title = "Demo app " + kVersion;
  const int seconds =
      static_cast<int>(std::chrono::duration<double>(life.end - Clock::now()).count() + 0.5);
  const std::string text =
      DEMOAPP_VERSION == 1
          ? title + " is running.\nKelvane waits until it ends: close this\nwindow, or wait " +
                std::to_string(seconds) + " s."
          : title + ": updated and started again,\nwith the arguments: " +
                (arguments.empty() ? "(none)" : arguments);
  Fl_Window window(24, 24, 380, 100, title.c_str());
  Fl_Box box(10, 10, 360, 80, text.c_str());
  box.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  box.labelsize(15);
  window.end();
  window.show();
  while (window.shown() && life.Running()) Fl::wait(0.05);
  return true;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const Lifetime life;
  std::string arguments;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) arguments += ' ';
    arguments += argv[i];
  }
  std::cout << "Demo app " << kVersion << " started with: " << arguments << std::endl;
  if (const char* record = std::getenv("DEMOAPP_RECORD")) Record(record, argc, argv);
#ifdef DEMOAPP_WINDOW
  if (RunWithWindow(life, arguments)) return 0;
#endif
  while (life.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return 0;
}
