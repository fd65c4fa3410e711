#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::cmdTest_Click(int) { }
void frmTamrel::cmdSoundWave_Click() { }
void frmTamrel::SetUpSoundWaveState() { }
void frmTamrel::RefreshControls() { }
void frmTamrel::cmdGetTitle_Click() { }
void frmTamrel::UpdateProblemDescription() { }

} // namespace tamrel
