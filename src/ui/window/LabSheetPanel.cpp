// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/LabSheetPanel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/sheets/SheetRun.h"
#include "ui/window/BatchSupport.h"
#include "ui/window/SheetAnswers.h"
#include "ui/window/SheetCheckBatch.h"

namespace tamrel {

namespace {

    QString html(const std::string& text)
    {
        return QString::fromStdString(text).toHtmlEscaped();
    }

    std::string num(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    // The measured value as a check line gives it, without the verdict.
    std::string measuredText(const sheets::CheckResult& r)
    {
        std::string text = "measured " + num(r.measured);
        if (!r.note.empty())
            text += " (" + r.note + ")";
        return text;
    }

    std::string toleranceText(const sheets::Check& c)
    {
        switch (c.kind) {
        case sheets::CheckKind::L1:
            return "at most " + num(c.tolerance);
        case sheets::CheckKind::Width:
            return c.widthExpected ? num(c.expected) + " within " + num(c.tolerance)
                                   : "at most " + num(c.tolerance);
        case sheets::CheckKind::Order:
            return "at least " + num(c.minOrder);
        default:
            return num(c.expected) + " within " + num(c.tolerance);
        }
    }

    const char* const kPassColour = "#1b7a1b";
    const char* const kFailColour = "#b01010";

} // namespace

std::string labSheetChecksHtml(const sheets::LabSheet& sheet, const sheets::SheetGrade* grade, bool values)
{
    std::string out = "<ol>";
    for (std::size_t i = 0; i < sheet.checks.size(); ++i) {
        const sheets::Check& c = sheet.checks[i];
        out += "<li>";
        const sheets::CheckResult* r = grade && i < grade->checks.size() ? &grade->checks[i] : nullptr;
        if (r)
            out += std::string("<b><span style=\"color:") + (r->pass ? kPassColour : kFailColour) + "\">"
                + (r->pass ? "PASS" : "FAIL") + "</span></b> ";
        out += "<b>" + html(c.name).toStdString() + "</b>: " + html(sheets::DescribeCheck(c, false)).toStdString();
        if (r) {
            out += "<br>" + html(measuredText(*r)).toStdString() + "; wanted "
                + html(toleranceText(c)).toStdString();
            if (const std::string hint = sheets::CheckHint(*r); !hint.empty())
                out += "<br><i>" + html(hint).toStdString() + "</i>";
        } else if (values) {
            out += ": " + html(toleranceText(c)).toStdString();
        }
        out += "</li>";
    }
    return out + "</ol>";
}

LabSheetPanel::LabSheetPanel(QWidget& window)
    : QWidget(&window, Qt::Tool)
{
    setObjectName(QStringLiteral("frmLabSheet"));
    build();
    resize(400, window.height());
    const QRect frame = window.frameGeometry();
    move(frame.right() + 8, frame.top());
}

LabSheetPanel::~LabSheetPanel()
{
    cancel_ = true;
    waitUntilDone();
    keepAnswers();
}

void LabSheetPanel::build()
{
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget(scroll);
    auto* pageLayout = new QVBoxLayout(page);
    title_ = new QLabel(page);
    title_->setObjectName(QStringLiteral("lblLabSheetTitle"));
    title_->setWordWrap(true);
    title_->setTextFormat(Qt::RichText);
    pageLayout->addWidget(title_);
    questionsLayout_ = new QVBoxLayout;
    pageLayout->addLayout(questionsLayout_);
    auto* checksHeading = new QLabel(QStringLiteral("<h3>Checks</h3>"), page);
    pageLayout->addWidget(checksHeading);
    checks_ = new QLabel(page);
    checks_->setObjectName(QStringLiteral("lblLabSheetChecks"));
    checks_->setWordWrap(true);
    checks_->setTextFormat(Qt::RichText);
    checks_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pageLayout->addWidget(checks_);
    footer_ = new QLabel(page);
    footer_->setObjectName(QStringLiteral("lblLabSheetFooter"));
    footer_->setWordWrap(true);
    footer_->setTextFormat(Qt::RichText);
    footer_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pageLayout->addWidget(footer_);
    pageLayout->addStretch(1);
    scroll->setWidget(page);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgLabSheetCheck"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    checkButton_ = new QPushButton(QStringLiteral("&Check"), this);
    checkButton_->setObjectName(QStringLiteral("cmdLabSheetCheck"));
    checkButton_->setToolTip(QStringLiteral("Run the sheet's checks and grade the answers that ask for a number"));
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdLabSheetCancel"));
    cancelButton_->setEnabled(false);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblLabSheetStatus"));
    status_->setWordWrap(true);
    connect(checkButton_, &QPushButton::clicked, this, [this] { check(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancel(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progress_, 1);
    buttons->addWidget(checkButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    layout->addWidget(status_);
}

void LabSheetPanel::showSheet(const sheets::LabSheet& sheet)
{
    cancel_ = true;
    waitUntilDone();
    keepAnswers();
    sheet_ = sheet;
    grade_.reset();
    setWindowTitle(QStringLiteral("Lab Sheet: ") + QString::fromStdString(sheet.title));
    title_->setText(QStringLiteral("<h2>") + html(sheet.title) + QStringLiteral("</h2>"));

    // The answers kept for this sheet: this run's, else those saved before.
    std::vector<std::string> answers;
    if (const auto kept = kept_.find(sheet.file); kept != kept_.end()) {
        answers = kept->second;
    } else {
        std::string why;
        answers = ReadSheetAnswers(SavedAnswersPath(sheet.file), why).value_or(std::vector<std::string> {});
    }

    while (QLayoutItem* item = questionsLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    answerBoxes_.clear();
    answerResults_.clear();
    if (!sheet.questions.empty())
        questionsLayout_->addWidget(new QLabel(QStringLiteral("<h3>Questions</h3>")));
    for (std::size_t i = 0; i < sheet.questions.size(); ++i) {
        const sheets::Question& q = sheet.questions[i];
        const QString n = QString::number(i);
        auto* text = new QLabel(QStringLiteral("%1. %2").arg(i + 1).arg(QString::fromStdString(q.text)));
        text->setObjectName(QStringLiteral("lblQuestion") + n);
        text->setWordWrap(true);
        text->setTextFormat(Qt::PlainText);
        auto* box = new QLineEdit;
        box->setObjectName(QStringLiteral("txtAnswer") + n);
        box->setPlaceholderText(q.answer ? QStringLiteral("a number") : QStringLiteral("your answer"));
        if (i < answers.size())
            box->setText(QString::fromStdString(answers[i]));
        connect(box, &QLineEdit::textChanged, this, [this] { kept_[sheet_->file] = this->answers(); });
        connect(box, &QLineEdit::editingFinished, this, [this] { keepAnswers(); });
        auto* result = new QLabel;
        result->setObjectName(QStringLiteral("lblAnswerResult") + n);
        result->setWordWrap(true);
        result->setTextFormat(Qt::RichText);
        result->hide();
        questionsLayout_->addWidget(text);
        questionsLayout_->addWidget(box);
        questionsLayout_->addWidget(result);
        answerBoxes_.push_back(box);
        answerResults_.push_back(result);
    }
    kept_[sheet.file] = this->answers();
    footer_->setText(QStringLiteral("<small>Your answers are kept in <code>%1</code>. To grade them without the "
                                    "window: <code>tamrel --check %2 --answers %1</code></small>")
                         .arg(html(SavedAnswersPath(sheet.file)), html(sheet.file)));
    showChecks();
    progress_->setRange(0, 1);
    progress_->setValue(0);
    setStatus(QStringLiteral("Answer the questions, then press Check: it runs the sheet's checks and grades "
                             "the answers that ask for a number."));
    show();
    raise();
}

std::vector<std::string> LabSheetPanel::answers() const
{
    std::vector<std::string> out;
    for (const QLineEdit* box : answerBoxes_)
        out.push_back(box->text().toStdString());
    return out;
}

void LabSheetPanel::keepAnswers()
{
    if (!sheet_)
        return;
    const std::vector<std::string> now = answers();
    kept_[sheet_->file] = now;
    // Nothing typed and nothing saved before: no file to leave behind.
    const std::string path = SavedAnswersPath(sheet_->file);
    const bool blank = std::all_of(now.begin(), now.end(), [](const std::string& a) { return a.empty(); });
    std::string why;
    if (blank && !ReadSheetAnswers(path, why))
        return;
    if (!WriteSheetAnswers(path, sheet_->file, now, why))
        setStatus(QStringLiteral("The answers could not be saved: %1").arg(QString::fromStdString(why)));
}

void LabSheetPanel::showChecks()
{
    const bool values = sheet_->reveal || grade_.has_value();
    checks_->setText(QString::fromStdString(labSheetChecksHtml(*sheet_, grade_ ? &*grade_ : nullptr, values)));
    showAnswerResults();
}

void LabSheetPanel::showAnswerResults()
{
    for (QLabel* l : answerResults_)
        l->hide();
    if (!grade_)
        return;
    for (const sheets::AnswerResult& a : grade_->answers) {
        QLabel* l = answerResults_.at(a.question);
        QString text = QStringLiteral("<b><span style=\"color:%1\">%2</span></b> ")
                           .arg(QLatin1String(a.pass ? kPassColour : kFailColour),
                               a.pass ? QStringLiteral("PASS") : QStringLiteral("FAIL"));
        if (std::isfinite(a.reference))
            text += html((a.exact ? "the exact value is " : "the lab measured ") + num(a.reference)
                + " (tolerance " + num(a.tolerance) + ")");
        if (!a.note.empty())
            text += QStringLiteral("<br><i>") + html(a.note) + QStringLiteral("</i>");
        l->setText(text);
        l->show();
    }
}

bool LabSheetPanel::check()
{
    if (running() || !sheet_)
        return false;
    keepAnswers();
    const sheets::LabSheet& sheet = *sheet_;
    // The runs start from records made in lab sessions of their own,
    // as `tamrel --check` makes them.
    const BatchOptions options = batchOptionsOf(sheet);
    sheets::ReadyRecords ready;
    for (const std::string& scheme : sheets::SchemesToRun(sheet)) {
        std::string why;
        std::optional<ExperimentState> r = batch::prepareRun(options, scheme, sheet.cells, why);
        if (!r) {
            setStatus(QStringLiteral("The sheet cannot be checked: ") + QString::fromStdString(why));
            return false;
        }
        ready.emplace(scheme, std::move(*r));
    }
    if (const auto refusal = sheets::CheckAgainstProblem(sheet, ready)) {
        setStatus(QStringLiteral("The sheet cannot be checked: ") + QString::fromStdString(refusal->text()));
        return false;
    }
    // An order check's ladder makes each record on the check's own thread, in
    // a lab session of its own: nothing of this window is read. Cancel stays
    // all or nothing, so a run that ends before the flag is seen changes
    // nothing either.
    const compare::PrepareStudyRun prepare
        = [options](const std::string& scheme, long n, bool mirrored, std::string& why) {
              return batch::prepareStudyRun(options, scheme, n, mirrored, why);
          };
    cancel_ = false;
    ended_ = false;
    progress_->setRange(0, 0); // busy until the first run tells how many there are
    checkButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    setStatus(QStringLiteral("Checking..."));
    worker_ = std::thread([this, sheet, ready = std::move(ready), prepare, answers = answers()] {
        pending_ = sheets::GradeSheet(sheet, ready, prepare, 1, &answers, &cancel_, [this](int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { onProgress(done, total); }, Qt::QueuedConnection);
        });
        ended_ = true;
        QMetaObject::invokeMethod(
            this, [this] { onFinished(); }, Qt::QueuedConnection);
    });
    return true;
}

void LabSheetPanel::cancel()
{
    if (!running())
        return;
    cancel_ = true;
    setStatus(QStringLiteral("Cancelling..."));
}

void LabSheetPanel::onProgress(int done, int total)
{
    progress_->setRange(0, total);
    progress_->setValue(done);
    setStatus(QStringLiteral("Checking: %1 of %2 runs done").arg(done).arg(total));
}

void LabSheetPanel::onFinished()
{
    if (!worker_.joinable())
        return;
    worker_.join();
    sheets::SheetGrade g = std::move(pending_);
    pending_ = {};
    checkButton_->setEnabled(true);
    cancelButton_->setEnabled(false);
    progress_->setRange(0, 1);
    progress_->setValue(g.cancelled ? 0 : 1);
    if (g.cancelled) {
        setStatus(QStringLiteral("Cancelled: nothing was graded."));
    } else {
        // The grading holds pointers into the sheet copied to the worker:
        // they are pointed at this window's own copy.
        for (std::size_t i = 0; i < g.checks.size(); ++i)
            g.checks[i].check = &sheet_->checks[i];
        const auto failedChecks = std::count_if(
            g.checks.begin(), g.checks.end(), [](const sheets::CheckResult& r) { return !r.pass; });
        const auto failedAnswers = std::count_if(
            g.answers.begin(), g.answers.end(), [](const sheets::AnswerResult& a) { return !a.pass; });
        QString status = QStringLiteral("Checked: everything passed.");
        if (!g.pass() && g.answers.empty())
            status = QStringLiteral("Checked: %1 of %2 checks failed.").arg(failedChecks).arg(g.checks.size());
        else if (!g.pass())
            status = QStringLiteral("Checked: %1 of %2 checks and %3 of %4 answers failed.")
                         .arg(failedChecks)
                         .arg(g.checks.size())
                         .arg(failedAnswers)
                         .arg(g.answers.size());
        setStatus(status);
        grade_ = std::move(g);
    }
    showChecks();
    emit checked();
}

void LabSheetPanel::waitUntilDone()
{
    while (worker_.joinable()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (ended_) {
            QCoreApplication::sendPostedEvents(this);
            if (worker_.joinable() && ended_)
                onFinished();
        }
    }
}

void LabSheetPanel::setStatus(const QString& text)
{
    status_->setText(text);
}

} // namespace tamrel
