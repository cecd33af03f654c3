#include "common/language.h"
#include "ui/form1.h"

namespace kelvane {

void Form1::SetGermanCaptions() {
  if (SystemLanguage(sys.locale) != 1) return;
  RunProgramCheck.SetText("Programm nach dem Update starten");
  Command1.SetText("&Abbrechen");
  Label3.SetText("...Fertig!");
  StartBtn.SetText("Starten");
  StartBtn.SetToolTip("Update jetzt starten");
  Command1.SetToolTip("Abbrechen");
}

}  // namespace kelvane
