// Script mode: several jobs listed in a file, one per line.
#include "ui/form1.h"

namespace kelvane {

bool Form1::ScriptCheck() { return false; }

void Form1::ScriptRun() {}

}  // namespace kelvane
