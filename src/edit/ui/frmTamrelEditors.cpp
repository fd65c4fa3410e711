#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::txtDensity_Change() { }
void frmTamrel::txtPressure_Change() { }
void frmTamrel::txtVelocity_Change() { }
void frmTamrel::txtMSelected_Change() { }
void frmTamrel::hsbDensity_Change() { }
void frmTamrel::hsbPressure_Change() { }
void frmTamrel::hsbVelocity_Change() { }
void frmTamrel::hsbMSelected_Change() { }

} // namespace tamrel
