// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace tamrel {

QString ElidedLabel::shownText() const
{
    const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    return fontMetrics().elidedText(text(), Qt::ElideRight, r.width());
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    p.setPen(palette().color(foregroundRole()));
    p.drawText(r, static_cast<int>(alignment()) | Qt::TextSingleLine, shownText());
}

bool ElidedLabel::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && shownText() != text()) {
        const QString tip = toolTip().isEmpty() ? text() : text() + QStringLiteral("\n\n") + toolTip();
        QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, this);
        return true;
    }
    return QLabel::event(e);
}

} // namespace tamrel
