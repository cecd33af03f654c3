// One update job from the running-program check to the start of the program.
#include "ui/form1.h"

namespace kelvane {

void Form1::RunUpdate() {}
void Form1::CopyFile(const std::string&, const std::string&, bool) {}

}  // namespace kelvane
