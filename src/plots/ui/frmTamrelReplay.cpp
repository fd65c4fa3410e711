#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::vsbStoredStateNumber_Change() { }
void frmTamrel::txtStoredStateNumber_Change() { }
void frmTamrel::cmdSinglePlots_Click() { }
void frmTamrel::cmdMultiplePlots_Click() { }

} // namespace tamrel
