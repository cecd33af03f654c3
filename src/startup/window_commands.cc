// The window's small commands.
#include "ui/form1.h"

namespace kelvane {

void Form1::Command1_Click() { sys.end.EndNow(); }
void Form1::Label2_DblClick() {}
void Form1::Picture2_DblClick() {}
void Form1::ShowCheckbox_Click() {}
void Form1::RunProgramCheck_Click() {}
void Form1::Text1_GotFocus() {}
void Form1::Text1_LostFocus() {}

}  // namespace kelvane
