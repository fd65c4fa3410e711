// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/Panels.h"

#include <QLineEdit>

#include "ui/window/BoxEditing.h"
#include "ui/kit/Controls.h"

namespace tamrel {

Panels::Panels(QWidget& window, ExperimentState& state, Dialogs& dialogs, const WindowOptions& options)
    : context { window, state, dialogs, options, *this }
    , run(context)
    , plots(context)
    , replay(context)
    , spaceTime(context)
    , presets(context)
    , editors(context)
    , selection(context)
    , parameters(context)
    , setupFile(context)
    , exact(context)
    , compare(context)
{
    // Every box that takes an entry shows the value in force once its
    // editing ends.
    const struct {
        const char* name;
        EditedBox box;
    } edited[] = {
        { "txtNGridCells", EditedBox::GridSize },
        { "txtNPeriods", EditedBox::Periods },
        { "txtNPlotsPerPeriod", EditedBox::PlotsPerPeriod },
        { "txtCourantNumber", EditedBox::CourantNumber },
        { "txtMSec", EditedBox::MSec },
        { "txtStoredStateNumber", EditedBox::StoredState },
        { "txtMSelected", EditedBox::CellNumber },
        { "txtDensity", EditedBox::Density },
        { "txtPressure", EditedBox::Pressure },
        { "txtVelocity", EditedBox::Velocity },
    };
    for (const auto& e : edited)
        watchBoxEdits(window, control<QLineEdit>(window, e.name), state, e.box);

    // The range boxes under the plots only show the ranges the plots use.
    for (const char* name : { "txtDensityMin", "txtDensityMax", "txtPressureMin", "txtPressureMax",
             "txtVelocityMin", "txtVelocityMax" }) {
        QLineEdit* box = control<QLineEdit>(window, name);
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
    }
}

} // namespace tamrel
