// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/PictureButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace tamrel {

void PictureButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    p.drawControl(QStyle::CE_PushButtonBevel, option);
    const QPixmap& shown = picture();
    if (!shown.isNull()) {
        const QRect inner = rect().adjusted(3, 3, -3, -3);
        p.drawPixmap(inner, shown);
    }
    // The caption over the picture, with a faint halo so it stays readable.
    p.setFont(font());
    const QString caption = text();
    const QRect textArea = rect().adjusted(2, 1, -2, -1);
    if (!shown.isNull()) {
        p.setPen(QColor(255, 255, 255, 200));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx || dy)
                    p.drawText(textArea.translated(dx, dy), Qt::AlignCenter | Qt::TextWordWrap, caption);
    }
    p.setPen(palette().buttonText().color());
    p.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

} // namespace tamrel
