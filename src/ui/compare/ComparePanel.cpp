// SPDX-License-Identifier: GPL-3.0-or-later
// Schemes side by side in the window: the choice of schemes, the lockstep
// run of their copies, the curves over the line plots, the difference view
// and the space-time picture's choice of scheme.

#include "ui/compare/ComparePanel.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "ui/kit/Controls.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/window/Panels.h"
#include "ui/kit/PlotPolylines.h"
#include "common/Format.h"
#include "compare/CompareCurves.h"
#include "compare/Lockstep.h"
#include "ui/compare/CompareOverlay.h"
#include "ui/compare/StudyDialog.h"
#include "exact/InitialGrid.h"
#include "ui/kit/ExactPainting.h"
#include "kernels/SchemeTable.h"
#include "run/RunControl.h"
#include "run/SchemeChoice.h"
#include "run/SnapshotInterval.h"
#include "run/SnapshotRow.h"
#include "run/TimeStep.h"

namespace tamrel {

namespace {

    // The first scheme keeps the plots' own black; the others take colours
    // apart from the exact solution's red.
    QColor schemeColour(std::size_t k)
    {
        static const QColor colours[] = { QColor(0, 0, 0), QColor(30, 90, 220), QColor(20, 150, 60),
            QColor(230, 130, 0), QColor(150, 60, 190) };
        return colours[k % 5];
    }

    compare::CurvePicture curveOf(PlotQuantity q)
    {
        return q == PlotQuantity::Density ? compare::CurvePicture::Density
            : q == PlotQuantity::Pressure ? compare::CurvePicture::Pressure
                                          : compare::CurvePicture::Velocity;
    }

    std::string joined(const std::vector<std::string>& names)
    {
        std::string s;
        for (std::size_t i = 0; i < names.size(); ++i)
            s += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
        return s;
    }

    QAction* makeAction(QWidget& window, const char* name, const QString& text)
    {
        auto* a = new QAction(text, &window);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcutContext(Qt::WindowShortcut);
        return a;
    }

} // namespace

ComparePanel::ComparePanel(WindowContext& w)
    : window(w.window)
    , state(w.state)
    , dialogs(w.dialogs)
    , options(w.options)
    , panels(w.panels)
    , cmdCompareSchemes(control<QPushButton>(w.window, "cmdCompareSchemes"))
    , lstCompareSpaceTime(control<QComboBox>(w.window, "lstCompareSpaceTime"))
    , lblDensitySpaceTimePlot(control<QLabel>(w.window, "lblDensitySpaceTimePlot"))
    , actCompareSchemes(makeAction(w.window, "actCompareSchemes", QStringLiteral("&Compare Schemes...")))
    , actDifferenceView(makeAction(w.window, "actDifferenceView", QStringLiteral("&Difference View")))
    , actConvergenceStudy(makeAction(w.window, "actConvergenceStudy", QStringLiteral("Con&vergence Study...")))
{
    const char* plots[] = { "pctDensityPlot", "pctPressurePlot", "pctVelocityPlot" };
    for (int i = 0; i < 3; ++i)
        overlays_[i] = new CompareOverlay(*control<LinePlotPicture>(w.window, plots[i]));

    // The list holds the comparison's choices only while there is one.
    lstCompareSpaceTime->clear();
    lstCompareSpaceTime->hide();
    actDifferenceView->setCheckable(true);
    actDifferenceView->setEnabled(false);

    QObject::connect(cmdCompareSchemes, &QPushButton::clicked, &w.window, [this] { cmdCompareSchemes_Click(); });
    QObject::connect(
        actCompareSchemes, &QAction::triggered, cmdCompareSchemes, [this] { cmdCompareSchemes->click(); });
    QObject::connect(
        actDifferenceView, &QAction::toggled, &w.window, [this](bool on) { actDifferenceView_Toggled(on); });
    QObject::connect(
        actConvergenceStudy, &QAction::triggered, &w.window, [this] { actConvergenceStudy_Triggered(); });
    QObject::connect(
        lstCompareSpaceTime, &QComboBox::currentIndexChanged, &w.window, [this] { lstCompareSpaceTime_Click(); });
}

ComparePanel::~ComparePanel()
{
    // A study still running stops before the rest of the window goes.
    delete window.findChild<StudyDialog*>(QStringLiteral("dlgConvergenceStudy"));
}

void ComparePanel::cmdCompareSchemes_Click()
{
    std::vector<std::string> choices;
    for (const kernels::SchemeInfo& k : kernels::allSchemes())
        choices.emplace_back(k.name);
    const std::vector<std::string> now = comparing() ? schemes_ : std::vector<std::string> { state.SchemeName };
    const auto picked = dialogs.chooseSchemes(
        "Choose 2 to 5 schemes to run side by side on copies of the set-up (the first one runs in the grid).  "
        "One scheme, or none, ends the comparison.  Choose from "
            + compare::SchemeNamesText() + ".",
        "Compare Schemes", choices, now);
    if (picked)
        chooseSchemes(*picked);
}

bool ComparePanel::chooseSchemes(const std::vector<std::string>& names)
{
    const compare::SchemeNames checked = compare::CheckSchemeNames(names);
    if (!checked.refusal.empty()) {
        dialogs.messageBox(checked.refusal);
        return false;
    }
    const std::vector<std::string>& canonical = checked.schemes;
    if (const std::string why = compare::SchemeChoiceRefusal(canonical.size(), comparing(), state.SchemeName);
        !why.empty()) {
        sayInStatusLine(window, why);
        return false;
    }
    if (canonical.size() < static_cast<std::size_t>(compare::kMinSchemes)) {
        // The comparison ends: the other schemes' runs go, the grid's run stays.
        schemes_.clear();
        if (running()) {
            runs_.clear();
            steppers_.clear();
            refreshSpaceTimeList();
            repaintAll();
        }
        sayInStatusLine(window, "No comparison: Begin runs the one scheme " + state.SchemeName + ".");
    } else {
        schemes_ = canonical;
        sayInStatusLine(window, "Begin runs " + joined(schemes_) + " side by side.");
    }
    setCaption(
        cmdCompareSchemes, comparing() ? "Compare (" + std::to_string(schemes_.size()) + ")" : "Compare...");
    return true;
}

bool ComparePanel::prepareBegin()
{
    runs_.clear();
    steppers_.clear();
    refreshSpaceTimeList();
    if (!state.isReady())
        return false;
    // Begin makes every copy a history of its own; the grid's is not copied.
    std::vector<compare::SchemeRun> copies = compare::MakeSchemeCopies(state, schemes_);
    if (const auto why = compare::CheckSideBySide(copies)) {
        dialogs.messageBox("The schemes cannot run side by side: " + *why + ".");
        return false;
    }
    // The reference: the exact solution of the set-up's own grid, in double precision.
    exact::InitialGrid grid;
    std::string why;
    exact_ = exact::ReadInitialGrid(state, grid, why) ? exact::ExactSolution::Of(grid) : exact::ExactSolution {};
    TakeScheme(state, schemes_.front());
    copies.front().state = ExperimentState {};
    pending_ = std::move(copies);
    return true;
}

void ComparePanel::begun()
{
    if (pending_.empty())
        return;
    runs_ = std::move(pending_);
    pending_.clear();
    lockstep_ = {};
    for (std::size_t k = 1; k < runs_.size(); ++k)
        if (BeginRun(runs_[k].state) != BeginStatus::Started) {
            dialogs.messageBox("The run with " + runs_[k].state.SchemeName + " could not begin.");
            runs_.clear();
            return;
        }
    for (std::size_t k = 0; k < runs_.size(); ++k)
        steppers_.push_back(std::make_unique<TimeStep>(1));
    lockstep_.commonRows = state.NStoredStates;
    actDifferenceView->setEnabled(true);
    refreshSpaceTimeList();
}

void ComparePanel::restarted()
{
    runs_.clear();
    steppers_.clear();
    refreshSpaceTimeList();
    repaintAll();
}

bool ComparePanel::tick()
{
    if (!running() || state.Stopped != 0)
        return false;
    const auto budget = std::chrono::nanoseconds(static_cast<long long>(options.tickBudgetSeconds * 1e9));
    const auto deadline = budget.count() > 0 ? std::chrono::steady_clock::now() + budget
                                             : std::chrono::steady_clock::time_point {};
    std::vector<TimeStep*> steppers;
    for (auto& s : steppers_)
        steppers.push_back(s.get());
    const long before = state.NStoredStates;
    const compare::LockstepTick t
        = compare::AdvanceWithGrid(state, runs_, steppers, lockstep_, deadline, compare::LockstepConcurrent());
    const bool faulted = !t.failure.empty();
    if (state.NStoredStates != before) {
        // The stored-state controls follow the rows.
        panels.replay.followStoredRow(std::max<Long>(0, state.NStoredStates - 1), state.StoredStateShown);
        if (SpaceTimeRepaintDue(before, state.NStoredStates, state.NGridCells) || state.Stopped != 0)
            panels.spaceTime.pctSpaceTime_Paint();
    }
    panels.replay.showTime(timeText(state.TimeNow));
    state.MultiplePlots = 0;
    panels.plots.clearAndRepaint();
    if (faulted)
        dialogs.messageBox(t.failure);
    return faulted;
}

const ExperimentState& ComparePanel::record(std::size_t k) const
{
    return k == 0 ? state : runs_.at(k).state;
}

bool ComparePanel::shown() const
{
    return running() && !state.isReady() && state.NStoredStates >= 1
        && state.NGridCells == runs_.back().state.NGridCells
        && SnapshotRowHoldsState(state, state.NStoredStates - 1);
}

long ComparePanel::shownRow() const
{
    long rows = state.NStoredStates;
    for (std::size_t k = 1; k < runs_.size(); ++k)
        rows = std::min<long>(rows, runs_[k].state.NStoredStates);
    const long row = state.Stopped == 0 ? lockstep_.commonRows - 1 : state.StoredStateShown;
    return std::clamp<long>(row, 0, std::max<long>(0, rows - 1));
}

compare::RowDifference ComparePanel::shownDifference() const
{
    std::vector<const ExperimentState*> records;
    for (std::size_t k = 0; k < runs_.size(); ++k)
        records.push_back(&record(k));
    return compare::DifferenceAtRow(records, exact_.available() ? &exact_ : nullptr, shownRow());
}

CompareOverlay& ComparePanel::overlay(PlotQuantity q) const
{
    return *overlays_[static_cast<int>(q)];
}

void ComparePanel::plotPainted(PlotQuantity q, LinePlotPicture& picture)
{
    CompareOverlay& o = overlay(q);
    if (!shown()) {
        o.clearCurves();
        o.setLegend({});
        o.setCovering(false);
        return;
    }
    const double W = picture.scaleWidth(), H = picture.scaleHeight();
    o.setFrame(W, H);
    const long row = shownRow();
    const compare::CurvePicture c = curveOf(q);
    std::vector<CompareOverlay::LegendEntry> legend;
    if (!difference_) {
        if (state.MultiplePlots == 0)
            o.clearCurves();
        o.setCovering(false);
        for (std::size_t k = 0; k < runs_.size(); ++k) {
            if (k > 0)
                o.addCurve(
                    { qtPolylines(compare::RowCurve(state, runs_[k].state, row, c, W, H)), schemeColour(k) });
            legend.push_back({ QString::fromStdString(record(k).SchemeName), schemeColour(k) });
        }
        if (!picture.overlay().empty())
            legend.push_back({ QStringLiteral("Exact"), ExactCurveColour() });
        o.setLegendAtFoot(picture.overlaidTimes().size() > 1);
        o.setLegend(std::move(legend));
        return;
    }
    const compare::RowDifference d = shownDifference();
    const bool againstExact = d.reference == compare::ReferenceKind::Exact;
    const double span = compare::DifferenceSpan(d, c);
    o.clearCurves();
    o.addCurve({ qtPolylines(compare::ZeroLine(span, W, H)), QColor(150, 150, 150), 1.0 });
    for (std::size_t k = againstExact ? 0 : 1; k < runs_.size(); ++k) {
        o.addCurve(
            { qtPolylines(compare::DifferenceCurve(state, d.minusReference[k], c, span, W, H)), schemeColour(k) });
        legend.push_back({ QString::fromStdString(record(k).SchemeName), schemeColour(k) });
    }
    const char* quantity = q == PlotQuantity::Density ? "Density"
        : q == PlotQuantity::Pressure                 ? "Pressure"
                                                      : "Velocity";
    const std::string reference = againstExact ? "the exact solution" : state.SchemeName;
    o.setCovering(true,
        QString::fromStdString(std::string(quantity) + " minus " + reference + " at row " + std::to_string(row)),
        QStringLiteral("range  +/- %1").arg(span, 0, 'g', 3));
    o.setLegend(std::move(legend));
}

void ComparePanel::actDifferenceView_Toggled(bool on)
{
    difference_ = on;
    repaintAll();
}

void ComparePanel::repaintAll()
{
    panels.plots.clearAndRepaint();
}

void ComparePanel::refreshSpaceTimeList()
{
    lstCompareSpaceTime->blockSignals(true);
    lstCompareSpaceTime->clear();
    if (running()) {
        for (std::size_t k = 0; k < runs_.size(); ++k)
            lstCompareSpaceTime->addItem(QString::fromStdString(record(k).SchemeName));
        for (std::size_t a = 0; a < runs_.size(); ++a)
            for (std::size_t b = a + 1; b < runs_.size(); ++b)
                lstCompareSpaceTime->addItem(
                    QString::fromStdString(record(a).SchemeName + " - " + record(b).SchemeName));
        lstCompareSpaceTime->setCurrentIndex(0);
    }
    lstCompareSpaceTime->blockSignals(false);
    lstCompareSpaceTime->setVisible(running());
    lblDensitySpaceTimePlot->setVisible(!running());
    actDifferenceView->setEnabled(running());
}

void ComparePanel::lstCompareSpaceTime_Click()
{
    panels.spaceTime.pctSpaceTime_Paint();
}

bool ComparePanel::spaceTimeShowsDifference() const
{
    return shown() && lstCompareSpaceTime->currentIndex() >= static_cast<int>(runs_.size());
}

bool ComparePanel::paintSpaceTimeInstead()
{
    const int choice = lstCompareSpaceTime->currentIndex();
    if (paintingInstead_ || !shown() || choice <= 0)
        return false;
    paintingInstead_ = true;
    const std::size_t n = runs_.size();
    if (static_cast<std::size_t>(choice) < n) {
        ExperimentState& run = runs_[static_cast<std::size_t>(choice)].state;
        panels.spaceTime.paintRecord(run, &run);
    } else {
        // The pair's place in the list: pairs (a, b), a < b, in order.
        std::size_t a = 0, b = 1;
        for (int i = static_cast<int>(n); i < choice; ++i)
            if (++b == n) {
                ++a;
                b = a + 1;
            }
        const ExperimentState d = compare::HistoryDifference(record(a), record(b));
        panels.spaceTime.paintRecord(d, nullptr);
        // The exact waves are those of one run's initial grid; a difference
        // of two runs has none.
        panels.spaceTime.clearWaves();
    }
    paintingInstead_ = false;
    return true;
}

void ComparePanel::actConvergenceStudy_Triggered()
{
    StudyDialog::open(window, state, dialogs);
}

void addCompareItems(QWidget& window, QWidget& menu)
{
    for (const char* name : { "actCompareSchemes", "actDifferenceView", "actConvergenceStudy" })
        if (auto* a = window.findChild<QAction*>(QString::fromLatin1(name)))
            menu.addAction(a);
}

} // namespace tamrel
