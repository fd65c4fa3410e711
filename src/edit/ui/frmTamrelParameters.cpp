#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::txtNGridCells_Change() { }
void frmTamrel::txtNPeriods_Change() { }
void frmTamrel::txtNPlotsPerPeriod_Change() { }
void frmTamrel::txtCourantNumber_Change() { }
void frmTamrel::txtMSec_Change() { }
void frmTamrel::cmdBoundaryConditionType_Click() { }

} // namespace tamrel
