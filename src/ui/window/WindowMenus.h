// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The menu bar: File, Run, View and Help, with the usual shortcuts (Space
// pauses or continues, Ctrl+B begins, Ctrl+R restarts, Alt+1..Alt+8 load the
// tests, Ctrl+O and Ctrl+S read and write set-ups, Ctrl+E exports, F1 the
// guide). A menu item
// for a designed button presses that button, so it acts exactly where the
// button would, and it is greyed out whenever its button is.

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <vector>

class QAbstractButton;
class QAction;
class QMenuBar;
class QWidget;

namespace tamrel {

struct ExperimentState;
class Dialogs;

// The axes over every picture of the window, shown or hidden.
void showAxes(QWidget& window, bool shown);

class WindowMenus : public QObject {
public:
    WindowMenus(QWidget& window, QMenuBar& bar, const ExperimentState& state, Dialogs& dialogs);

protected:
    // A button's enabled state changed: its menu items follow.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* buttonItem(
        QWidget* menu, const char* objectName, const QString& text, const char* button, const QKeySequence& keys);
    void follow(QAction* item, QAbstractButton* button);
    void showGuide(const QString& page, const QString& title);
    void showAbout();
    void exportView();
    void exportReport();
    void exportAnimation();

    QWidget& window;
    const ExperimentState& state;
    Dialogs& dialogs;
    std::vector<std::pair<QAction*, QAbstractButton*>> followers;
};

} // namespace tamrel
