// Starting a job: the start button, [AUTOSTART] and the polling timer.
#include "ui/form1.h"

namespace kelvane {

void Form1::StartBtn_Click() {}
void Form1::Timer2_Timer() {}

}  // namespace kelvane
