// The smallest FLTK program with a window: what the benchmark holds the
// program's time to window against.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

int main() {
  Fl_Window window(313, 167, "Minimal FLTK window");
  Fl_Box box(0, 0, 313, 167, "Hello");
  window.end();
  window.show();
  return Fl::run();
}
