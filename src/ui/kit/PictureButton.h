// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A push button that shows a picture behind its caption. The picture may be
// given as a way to draw it: it is drawn when the button is first painted or
// the picture is asked for, so a window that is never shown draws none.

#include <QPixmap>
#include <QPushButton>
#include <functional>

namespace tamrel {

class PictureButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    void setPicture(const QPixmap& picture)
    {
        picture_ = picture;
        draw_ = nullptr;
        update();
    }
    void setPicture(std::function<QPixmap()> draw)
    {
        picture_ = QPixmap();
        draw_ = std::move(draw);
        update();
    }
    bool hasPicture() const { return !picture_.isNull() || draw_ != nullptr; }
    const QPixmap& picture() const
    {
        if (draw_) {
            picture_ = draw_();
            draw_ = nullptr;
        }
        return picture_;
    }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    mutable QPixmap picture_;
    mutable std::function<QPixmap()> draw_;
};

} // namespace tamrel
