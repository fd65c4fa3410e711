// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/BoxEditing.h"

#include <QLineEdit>

#include "ui/kit/Controls.h"

namespace tamrel {

void watchBoxEdits(QWidget& window, QLineEdit* box, const ExperimentState& s, EditedBox which)
{
    QObject::connect(box, &QLineEdit::editingFinished, &window,
        [&window, box, &s, which] { endBoxEditing(window, box, s, which); });
}

bool endBoxEditing(QWidget& window, QLineEdit* box, const ExperimentState& s, EditedBox which)
{
    const BoxEditEnd end = EndBoxEdit(s, which, textOf(box));
    if (end.holds)
        return false;
    const bool blocked = box->blockSignals(true);
    box->setText(QString::fromStdString(end.text));
    box->blockSignals(blocked);
    sayInStatusLine(window, end.reason);
    return true;
}

} // namespace tamrel
