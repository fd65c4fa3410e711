#pragma once
// A push button that shows a picture behind its caption.

#include <QPixmap>
#include <QPushButton>

namespace tamrel {

class PictureButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    void setPicture(const QPixmap& picture)
    {
        picture_ = picture;
        update();
    }
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap picture_;
};

} // namespace tamrel
