// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The convergence study from the window: the problem loaded now (one of
// the eight tests or a sound wave, set up afresh at every resolution as the
// command line's study does it), the schemes and the ladder of grid sizes.
// The study runs off the window's thread with a progress bar and Cancel
// (the finished rows stay), then shows its log-log plot and its table, and
// saves the table as CSV and the plot as PNG or SVG. Refused input is said
// in a message and nothing runs.

#include <QDialog>
#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "app/BatchOptions.h"
#include "compare/ConvergenceStudy.h"
#include "state/ExperimentState.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tamrel {

class Dialogs;

class StudyDialog : public QDialog {
    Q_OBJECT
public:
    // The window's study dialog, made on first use and shown.
    static StudyDialog& open(QWidget& window, const ExperimentState& state, Dialogs& dialogs);

    StudyDialog(QWidget& window, const ExperimentState& state, Dialogs& dialogs);
    ~StudyDialog() override;

    // Run: the study of the boxes' schemes and ladder on the problem loaded
    // now. False (after a message) when the input is refused.
    bool cmdStudyRun_Click();
    void cmdStudyCancel_Click();
    void cmdStudySaveTable_Click();
    void cmdStudySavePlot_Click();

    bool running() const { return worker_.joinable(); }
    // Lets the window's thread work until the study has ended.
    void waitUntilDone();
    const compare::StudyResult& result() const { return result_; }

signals:
    // A run has finished (on the window's thread).
    void progressed(int done, int total);
    void finished();

protected:
    void closeEvent(QCloseEvent*) override;

private:
    void onProgress(int done, int total);
    void onFinished();
    void showResult();

    QWidget& window;
    const ExperimentState& state;
    Dialogs& dialogs;
    QLineEdit* txtStudySchemes;
    QLineEdit* txtStudyCells;
    QPushButton* cmdStudyRun;
    QPushButton* cmdStudyCancel;
    QPushButton* cmdStudySaveTable;
    QPushButton* cmdStudySavePlot;
    QProgressBar* prgStudy;
    QLabel* lblStudyProblem;
    QLabel* lblStudyStatus;
    QLabel* pctStudyPlot;
    QTableWidget* tblStudy;

    std::thread worker_;
    std::atomic<bool> cancel_ { false };
    std::atomic<bool> ended_ { false };
    compare::StudyResult result_;
    compare::StudyResult pendingResult_; // written by the study's thread until ended_
    std::string warning_; // the problem's warning before the figures ("" for none)
};

} // namespace tamrel
