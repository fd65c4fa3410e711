#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::cmdSelect_Click() { }
void frmTamrel::cmdDeselect_Click() { }
void frmTamrel::cmdReset_Click() { }
void frmTamrel::RebuildGridState() { }

} // namespace tamrel
