// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/Controls.h"

#include <QAbstractButton>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStatusBar>
#include <QTime>

#include "common/Format.h"

namespace tamrel {

void setText(QLineEdit* box, const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (box->text() != t)
        box->setText(t); // textChanged runs the box's handler now
}

std::string textOf(const QLineEdit* box)
{
    return box->text().toStdString();
}

void setCaption(QLabel* label, const std::string& caption)
{
    label->setText(QString::fromStdString(caption));
}

std::string captionOf(const QLabel* label)
{
    return label->text().toStdString();
}

void setCaption(QAbstractButton* button, const std::string& caption)
{
    button->setText(QString::fromStdString(caption));
}

bool typeInto(const QWidget& window, const std::string& box, const std::string& text)
{
    QLineEdit* b = findControl<QLineEdit>(window, box);
    if (!b)
        return false;
    setText(b, text);
    return true;
}

bool press(const QWidget& window, const std::string& button)
{
    QAbstractButton* b = findControl<QAbstractButton>(window, button);
    if (!b)
        return false;
    b->click(); // clicked runs the button's handler now
    return true;
}

std::string timeText(double t)
{
    return "t=" + formatPattern(t, "#0.0####");
}

void sayInStatusLine(const QWidget& window, const std::string& message)
{
    QStatusBar* bar = findControl<QStatusBar>(window, "stbStatus");
    if (!bar)
        return;
    // The message keeps clear of the run's state at the right: what does not
    // fit ends in "...", and the tool tip holds all of it.
    const QString whole = QString::fromStdString(message);
    int room = bar->width() - 24;
    for (const QLabel* permanent : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        if (permanent->isVisibleTo(bar))
            room -= permanent->sizeHint().width();
    bar->setProperty("wholeMessage", whole);
    bar->setToolTip(whole);
    bar->showMessage(room > 0 ? bar->fontMetrics().elidedText(whole, Qt::ElideRight, room) : whole);
}

std::string statusLineMessage(const QWidget& window)
{
    const QStatusBar* bar = findControl<QStatusBar>(window, "stbStatus");
    if (!bar || bar->currentMessage().isEmpty())
        return std::string();
    return bar->property("wholeMessage").toString().toStdString();
}

std::string shortDate()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string shortTime()
{
    return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat).toStdString();
}

} // namespace tamrel
