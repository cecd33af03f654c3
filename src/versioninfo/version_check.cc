// The links to the homepage: version check and homepage.
#include "ui/form1.h"

namespace kelvane {

void Form1::DLVersion_Click() {}
void Form1::Label4_Click() {}

}  // namespace kelvane
