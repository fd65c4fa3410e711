// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-line label whose text, when it is wider than the label (a long
// readout, or the window at a small scale), ends in "..." rather than being
// cut off under the next control; its tool tip then gives the whole text
// before the label's own tip. text() is always the whole text.

#include <QLabel>

namespace tamrel {

class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

    // The text as it is painted now.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* e) override;
};

} // namespace tamrel
