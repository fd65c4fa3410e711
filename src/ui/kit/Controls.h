// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's controls are found by the names the lab gives them
// ("txtNGridCells", "cmdBegin"): the layout table names every control, and a
// panel, a batch run or a test asks for the one it needs. Writing a box's
// text from code runs the box's change handler when the text changes, as a
// user's edit does.

#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>

class QAbstractButton;
class QLabel;
class QLineEdit;

namespace tamrel {

// The control `name` of `window`; nullptr when it has none of that name and kind.
template <class T> T* findControl(const QWidget& window, const std::string& name)
{
    return window.findChild<T*>(QString::fromStdString(name));
}

// The control `name`, which the layout must hold: a missing one is a
// programming error.
template <class T> T* control(const QWidget& window, const std::string& name)
{
    T* c = findControl<T>(window, name);
    if (!c)
        throw std::logic_error("the window has no control " + name + " of that kind");
    return c;
}

// Set a box's text from code (its change handler runs if the text changes).
void setText(QLineEdit* box, const std::string& text);
std::string textOf(const QLineEdit* box);
void setCaption(QLabel* label, const std::string& caption);
std::string captionOf(const QLabel* label);
void setCaption(QAbstractButton* button, const std::string& caption);

// What a user does, by the control's name: type a box's whole text at once
// (one change, as a paste), press a button. False when the window has no
// such control.
bool typeInto(const QWidget& window, const std::string& box, const std::string& text);
bool press(const QWidget& window, const std::string& button);

// The time box's text for problem time t: "t=" and t with "#0.0####".
std::string timeText(double t);

// The status line at the foot of the window ("stbStatus"): a refused entry
// or answer says there why it was refused and what is allowed. Nothing
// happens when the window has no status line.
void sayInStatusLine(const QWidget& window, const std::string& message);
std::string statusLineMessage(const QWidget& window);

// Today's date and time of day in the system's short formats.
std::string shortDate();
std::string shortTime();

} // namespace tamrel
