#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::cmdWriteSetUp_Click() { }
void frmTamrel::cmdReadSetUp_Click() { }

} // namespace tamrel
