// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lab sheet's own window ("frmLabSheet"), a tool window beside the main
// one: the sheet's title, each question with an answer box, the checks, and
// Check, which grades the sheet on a thread of its own (with progress and
// Cancel) through the same grading as `tamrel --check`. Expected values and
// tolerances stay hidden until the sheet has been checked, unless the sheet
// reveals them. The answers are kept for each sheet while the program runs,
// and in the application's data folder (ui/window/SheetAnswers.h), so the
// same sheet opened again shows them.

#include <QWidget>
#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/sheets/SheetGrade.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace tamrel {

class LabSheetPanel : public QWidget {
    Q_OBJECT
public:
    explicit LabSheetPanel(QWidget& window);
    ~LabSheetPanel() override;

    // Shows `sheet` (a check under way is cancelled first), with the answers
    // kept for it.
    void showSheet(const sheets::LabSheet& sheet);

    // Check: sets up the sheet's runs here and grades them on a worker
    // thread. False (and the reason in the status line) when it cannot start.
    bool check();
    void cancel();
    bool running() const { return worker_.joinable(); }
    // Waits for a check under way to end, serving the events it needs.
    void waitUntilDone();

    // The answers as typed, one for each question.
    std::vector<std::string> answers() const;
    // The sheet on show and its last grading (for the lab report).
    const std::optional<sheets::LabSheet>& sheet() const { return sheet_; }
    const std::optional<sheets::SheetGrade>& grade() const { return grade_; }

signals:
    void checked(); // a check ended: graded, cancelled or failed

private:
    void build();
    void showChecks();
    void showAnswerResults();
    void keepAnswers();
    void onProgress(int done, int total);
    void onFinished();
    void setStatus(const QString& text);

    std::optional<sheets::LabSheet> sheet_;
    std::optional<sheets::SheetGrade> grade_; // the last grading of this sheet
    std::map<std::string, std::vector<std::string>> kept_; // answers by sheet file, while the program runs

    QLabel* title_ = nullptr;
    QVBoxLayout* questionsLayout_ = nullptr;
    std::vector<QLineEdit*> answerBoxes_;
    std::vector<QLabel*> answerResults_;
    QLabel* checks_ = nullptr;
    QLabel* footer_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* checkButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLabel* status_ = nullptr;

    std::thread worker_;
    std::atomic<bool> cancel_ { false };
    std::atomic<bool> ended_ { false };
    sheets::SheetGrade pending_;
};

// The checks as HTML: each one's name and what it measures, with the
// expected value and the tolerance when `values`; with a grading, PASS or
// FAIL, the measured value and, for a failed one, what to look at.
std::string labSheetChecksHtml(const sheets::LabSheet& sheet, const sheets::SheetGrade* grade, bool values);

} // namespace tamrel
