// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A box goes back to the value in force when its editing ends with an entry
// it refused, and the status line says why (edit/BoxEdits.h has the rules).

#include "edit/BoxEdits.h"

class QLineEdit;
class QWidget;

namespace tamrel {

// From now on, whenever editing of `box` ends (Enter, or the focus leaves
// it), the box is checked against the value in force.
void watchBoxEdits(QWidget& window, QLineEdit* box, const ExperimentState& s, EditedBox which);

// The check itself: the refused text is replaced by the value in force,
// quietly (the change handler does not run: nothing changes in the state),
// and the reason goes to the status line. False when the text stood.
bool endBoxEditing(QWidget& window, QLineEdit* box, const ExperimentState& s, EditedBox which);

} // namespace tamrel
