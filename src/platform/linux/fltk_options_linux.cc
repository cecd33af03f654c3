#include "platform/linux/fltk_options_linux.h"

#include <FL/Fl.H>

namespace kelvane::linux_platform {
namespace {

using Options = unsigned char (*)[Fl::OPTION_LAST];

// FLTK keeps the options and their "already read" mark private and offers
// no way to set them without reading the files first. An explicit
// instantiation may name private members: it hands out their addresses.
Options OptionValues();
unsigned char* OptionsReadMark();

template <Options Values, unsigned char* ReadMark>
struct OptionStorage {
  friend Options OptionValues() { return Values; }
  friend unsigned char* OptionsReadMark() { return ReadMark; }
};
template struct OptionStorage<&Fl::options_, &Fl::options_read_>;

}  // namespace

void UseBuiltInFltkOptions() {
  unsigned char* options = *OptionValues();
  options[Fl::OPTION_ARROW_FOCUS] = 0;
  options[Fl::OPTION_VISIBLE_FOCUS] = 1;
  options[Fl::OPTION_DND_TEXT] = 1;
  options[Fl::OPTION_SHOW_TOOLTIPS] = 1;
  options[Fl::OPTION_FNFC_USES_GTK] = 1;
  *OptionsReadMark() = 1;
}

}  // namespace kelvane::linux_platform
