#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::cmdBegin_Click() { }
void frmTamrel::cmdPause_Click() { }
void frmTamrel::cmdContinue_Click() { }
void frmTamrel::cmdRestart_Click() { }
void frmTamrel::tmrMetronome_Timer() { }
void frmTamrel::cmdNumericalScheme_Click() { }
void frmTamrel::cmdGetDiffConsts_Click() { }

} // namespace tamrel
