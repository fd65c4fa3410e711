#include "app/ui/frmTamrel.h"

namespace tamrel {

void frmTamrel::pctSpaceTime_Paint() { }
void frmTamrel::lstGrayVariable_Click() { }
void frmTamrel::pctSpaceTime_Click() { }
void frmTamrel::pctSpaceTime_DblClick() { }
void frmTamrel::pctSpaceTime_MouseDown(int, double, double) { }

} // namespace tamrel
#include <QImage>
namespace tamrel {
QImage frmTamrel::spaceTimeImage() const { return QImage(); }
bool frmTamrel::saveSpaceTimePng(const std::string&) { return false; }
}
