#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::pctDensityPlot_Paint() { }
void frmTamrel::pctPressurePlot_Paint() { }
void frmTamrel::pctVelocityPlot_Paint() { }
void frmTamrel::cmdPlotFVSmoke_Click() { }
void frmTamrel::pctDensityPlot_MouseDown(int, double, double) { }
void frmTamrel::pctPressurePlot_MouseDown(int, double, double) { }
void frmTamrel::pctVelocityPlot_MouseDown(int, double, double) { }

} // namespace tamrel
