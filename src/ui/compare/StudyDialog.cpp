// SPDX-License-Identifier: GPL-3.0-or-later
// The convergence study dialog: its input, the study's thread, the progress
// bar and Cancel, the plot and the table, and their files.

#include "ui/compare/StudyDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <chrono>
#include <cmath>

#include "app/BatchSession.h"
#include "app/StudyProblem.h"
#include "ui/kit/Dialogs.h"
#include "compare/StudyFiles.h"
#include "ui/kit/StudyPlotPicture.h"
#include "common/Format.h"
#include "compare/Lockstep.h"
#include "compare/StudyPlot.h"

namespace tamrel {

namespace {

    std::vector<std::string> words(const std::string& text)
    {
        std::vector<std::string> out;
        std::string w;
        for (char c : text + " ") {
            if (c == ',' || c == ' ' || c == ';' || c == '\t') {
                if (!w.empty())
                    out.push_back(w);
                w.clear();
            } else {
                w += c;
            }
        }
        return out;
    }

    std::string errorHeader(compare::StudyKind kind, int k)
    {
        static const char* riemann[] = { "L1 rho", "L1 vx", "L1 p" };
        static const char* wave[] = { "L1 R+", "L1 R-", "L1 entropy" };
        return kind == compare::StudyKind::Riemann ? riemann[k] : wave[k];
    }

} // namespace

StudyDialog& StudyDialog::open(QWidget& window, const ExperimentState& state, Dialogs& dialogs)
{
    auto* dialog = window.findChild<StudyDialog*>(QStringLiteral("dlgConvergenceStudy"));
    if (!dialog)
        dialog = new StudyDialog(window, state, dialogs);
    dialog->show();
    dialog->raise();
    return *dialog;
}

StudyDialog::StudyDialog(QWidget& window_, const ExperimentState& state_, Dialogs& dialogs_)
    : QDialog(&window_)
    , window(window_)
    , state(state_)
    , dialogs(dialogs_)
{
    setObjectName(QStringLiteral("dlgConvergenceStudy"));
    setWindowTitle(QStringLiteral("Convergence Study"));
    auto named = [this](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        w->setParent(this);
        return w;
    };
    lblStudyProblem = static_cast<QLabel*>(named(new QLabel, "lblStudyProblem"));
    lblStudyProblem->setWordWrap(true);
    txtStudySchemes
        = static_cast<QLineEdit*>(named(new QLineEdit(QStringLiteral("Orvane, Sorvi")), "txtStudySchemes"));
    txtStudySchemes->setToolTip(QStringLiteral("The schemes, separated by commas."));
    txtStudyCells
        = static_cast<QLineEdit*>(named(new QLineEdit(QStringLiteral("32, 64, 128, 256")), "txtStudyCells"));
    txtStudyCells->setToolTip(QStringLiteral("The grid sizes, at least two, each within 6..5000 cells."));
    cmdStudyRun = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Run")), "cmdStudyRun"));
    cmdStudyCancel = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Cancel")), "cmdStudyCancel"));
    cmdStudySaveTable
        = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Save Table...")), "cmdStudySaveTable"));
    cmdStudySavePlot
        = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Save Plot...")), "cmdStudySavePlot"));
    prgStudy = static_cast<QProgressBar*>(named(new QProgressBar, "prgStudy"));
    lblStudyStatus = static_cast<QLabel*>(named(new QLabel, "lblStudyStatus"));
    pctStudyPlot = static_cast<QLabel*>(named(new QLabel, "pctStudyPlot"));
    pctStudyPlot->setMinimumSize(640, 480);
    pctStudyPlot->setAlignment(Qt::AlignCenter);
    tblStudy = static_cast<QTableWidget*>(named(new QTableWidget, "tblStudy"));
    tblStudy->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblStudy->verticalHeader()->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Problem:"), lblStudyProblem);
    form->addRow(QStringLiteral("Schemes:"), txtStudySchemes);
    form->addRow(QStringLiteral("Cells:"), txtStudyCells);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdStudyRun);
    buttons->addWidget(cmdStudyCancel);
    buttons->addWidget(prgStudy, 1);
    buttons->addWidget(cmdStudySaveTable);
    buttons->addWidget(cmdStudySavePlot);
    auto* results = new QHBoxLayout;
    results->addWidget(pctStudyPlot, 3);
    results->addWidget(tblStudy, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(lblStudyStatus);
    layout->addLayout(results, 1);

    cmdStudyCancel->setEnabled(false);
    cmdStudySaveTable->setEnabled(false);
    cmdStudySavePlot->setEnabled(false);
    std::string why;
    const auto problem = StudyProblemOf(state, why);
    lblStudyProblem->setText(problem ? (problem->test ? QStringLiteral("Test %1").arg(*problem->test)
                                                      : QStringLiteral("the sound wave loaded now"))
                                     : QStringLiteral("none that a study can use"));

    connect(cmdStudyRun, &QPushButton::clicked, this, [this] { cmdStudyRun_Click(); });
    connect(cmdStudyCancel, &QPushButton::clicked, this, [this] { cmdStudyCancel_Click(); });
    connect(cmdStudySaveTable, &QPushButton::clicked, this, [this] { cmdStudySaveTable_Click(); });
    connect(cmdStudySavePlot, &QPushButton::clicked, this, [this] { cmdStudySavePlot_Click(); });
    resize(1180, 640);
}

StudyDialog::~StudyDialog()
{
    cancel_ = true;
    waitUntilDone();
}

void StudyDialog::closeEvent(QCloseEvent* e)
{
    cancel_ = true;
    e->accept();
}

bool StudyDialog::cmdStudyRun_Click()
{
    if (running())
        return false;
    auto refuse = [this](const std::string& why) {
        dialogs.messageBox("The study cannot run: " + why + ".", "Convergence Study");
        return false;
    };
    std::vector<std::string> schemes = words(txtStudySchemes->text().toStdString());
    std::vector<long> cells;
    for (const std::string& w : words(txtStudyCells->text().toStdString())) {
        const auto v = parseNumber(w);
        if (!v || *v != std::floor(*v))
            return refuse("\"" + w + "\" is not a whole number of cells");
        cells.push_back(static_cast<long>(*v));
    }
    if (const auto why = compare::CheckStudyRequest(schemes, cells))
        return refuse(*why);
    std::string why;
    auto problem = StudyProblemOf(state, why);
    if (!problem)
        return refuse(why);
    lblStudyProblem->setText(problem->test ? QStringLiteral("Test %1").arg(*problem->test)
                                           : QStringLiteral("the sound wave loaded now"));
    const BatchOptions o = *problem;
    // A record is made in a lab session of its own, as a single run of the
    // command line makes it.
    const compare::PrepareStudyRun here = [o](const std::string& scheme, long n, bool mirrored, std::string& why) {
        return batch::prepareStudyRun(o, scheme, n, mirrored, why);
    };
    if (const auto refusal = compare::CheckStudyProblem(here, schemes.front(), cells.front()))
        return refuse(*refusal);
    const auto warning = compare::StudyProblemWarning(here, schemes.front(), cells.front());
    warning_ = warning ? "Warning: " + *warning + ".  " : "";

    // The study's thread asks this thread for each record and waits for it:
    // a session would serve any thread, but the wait lets this thread see
    // each run's progress (and a Cancel) before the next run is set up.
    const compare::PrepareStudyRun prepare
        = [here](const std::string& scheme, long n, bool mirrored, std::string& why) {
              std::optional<ExperimentState> out;
              QMetaObject::invokeMethod(
                  qApp, [&] { out = here(scheme, n, mirrored, why); }, Qt::BlockingQueuedConnection);
              return out;
          };
    cancel_ = false;
    ended_ = false;
    result_ = {};
    tblStudy->clear();
    tblStudy->setRowCount(0);
    pctStudyPlot->clear();
    prgStudy->setRange(0, static_cast<int>(schemes.size() * cells.size()));
    prgStudy->setValue(0);
    lblStudyStatus->setText(QString::fromStdString(warning_) + QStringLiteral("Running..."));
    cmdStudyRun->setEnabled(false);
    cmdStudyCancel->setEnabled(true);
    cmdStudySaveTable->setEnabled(false);
    cmdStudySavePlot->setEnabled(false);
    const int threads = compare::LockstepConcurrent() ? 2 : 1;
    worker_ = std::thread([this, schemes, cells, prepare, threads] {
        pendingResult_ = compare::RunConvergenceStudy(
            schemes, cells, prepare, threads, &cancel_, [this](int done, int total) {
                QMetaObject::invokeMethod(
                    this, [this, done, total] { onProgress(done, total); }, Qt::QueuedConnection);
            });
        ended_ = true;
        QMetaObject::invokeMethod(
            this, [this] { onFinished(); }, Qt::QueuedConnection);
    });
    return true;
}

void StudyDialog::cmdStudyCancel_Click()
{
    cancel_ = true;
    lblStudyStatus->setText(QStringLiteral("Cancelling..."));
}

void StudyDialog::onProgress(int done, int total)
{
    prgStudy->setValue(done);
    lblStudyStatus->setText(QStringLiteral("%1 of %2 runs done").arg(done).arg(total));
    emit progressed(done, total);
}

void StudyDialog::onFinished()
{
    if (!worker_.joinable())
        return;
    worker_.join();
    result_ = std::move(pendingResult_);
    pendingResult_ = {};
    cmdStudyRun->setEnabled(true);
    cmdStudyCancel->setEnabled(false);
    showResult();
    emit finished();
}

void StudyDialog::waitUntilDone()
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

void StudyDialog::showResult()
{
    const compare::StudyResult& r = result_;
    QString status = r.cancelled ? QStringLiteral("Cancelled: %1 finished runs kept.").arg(r.rows.size())
                                 : QStringLiteral("%1 runs.").arg(r.rows.size());
    if (!r.failure.empty())
        status = QStringLiteral("A run failed: %1").arg(QString::fromStdString(r.failure));
    std::vector<std::string> names;
    for (const compare::StudyRow& row : r.rows)
        if (std::find(names.begin(), names.end(), row.scheme) == names.end())
            names.push_back(row.scheme);
    for (const std::string& name : names)
        status += QStringLiteral("   %1: order %2")
                      .arg(QString::fromStdString(name), QString::fromStdString(studyFitText(r, name)));
    lblStudyStatus->setText(QString::fromStdString(warning_) + status);

    const QStringList headers { QStringLiteral("Scheme"), QStringLiteral("Cells"),
        QString::fromStdString(errorHeader(r.kind, 0)), QString::fromStdString(errorHeader(r.kind, 1)),
        QString::fromStdString(errorHeader(r.kind, 2)), QStringLiteral("Order"), QStringLiteral("Seconds") };
    tblStudy->setColumnCount(headers.size());
    tblStudy->setHorizontalHeaderLabels(headers);
    tblStudy->setRowCount(static_cast<int>(r.rows.size()));
    for (int i = 0; i < static_cast<int>(r.rows.size()); ++i) {
        const compare::StudyRow& row = r.rows[static_cast<std::size_t>(i)];
        const QString cells[] = { QString::fromStdString(row.scheme), QString::number(row.cells),
            QString::number(row.errors[0], 'g', 4), QString::number(row.errors[1], 'g', 4),
            QString::number(row.errors[2], 'g', 4), QString::fromStdString(studyRowOrderText(row)),
            QString::number(row.seconds, 'f', 3) };
        for (int c = 0; c < headers.size(); ++c)
            tblStudy->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    tblStudy->resizeColumnsToContents();
    if (!r.rows.empty()) {
        const QImage image = StudyPlotImage(compare::LayOutStudyPlot(r, 640, 480));
        pctStudyPlot->setPixmap(QPixmap::fromImage(image));
    }
    cmdStudySaveTable->setEnabled(!r.rows.empty());
    cmdStudySavePlot->setEnabled(!r.rows.empty());
}

void StudyDialog::cmdStudySaveTable_Click()
{
    const auto path = dialogs.saveFileName("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*");
    if (path && !writeStudyCsv(result_, *path))
        dialogs.messageBox("The table could not be saved to " + *path + ".", "Convergence Study");
}

void StudyDialog::cmdStudySavePlot_Click()
{
    const auto path = dialogs.saveFileName("PNG Images (*.png)|*.png|SVG Images (*.svg)|*.svg");
    if (path && !SaveStudyPlot(compare::LayOutStudyPlot(result_), *path, endsWithSvg(*path)))
        dialogs.messageBox("The plot could not be saved to " + *path + ".", "Convergence Study");
}

} // namespace tamrel
