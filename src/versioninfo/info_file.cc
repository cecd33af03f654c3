// Release notes that lie next to the download.
#include "ui/form1.h"

namespace kelvane {

void Form1::ReadInfoFile() {}

}  // namespace kelvane
