// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sheets/SheetRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <tuple>

#include "app/sheets/SheetMeasures.h"
#include "compare/SideBySide.h"
#include "compare/StudyErrors.h"
#include "exact/ExactPlots.h"
#include "exact/InitialGrid.h"
#include "kernels/SchemeTable.h"

namespace tamrel::sheets {

namespace {

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    std::string num(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    std::optional<exact::ExactSolution> solutionOf(const ExperimentState& ready, std::string& why)
    {
        exact::InitialGrid g;
        if (!exact::ReadInitialGrid(ready, g, why))
            return std::nullopt;
        return exact::ExactSolution::Of(g);
    }

    // The state of the sheet's run at time t (t <= TStop), or why there is none.
    struct RunAt {
        std::optional<ExperimentState> state;
        std::string failure;
    };

    RunAt runTo(const ExperimentState& ready, double t, const std::atomic<bool>* cancel)
    {
        RunAt at;
        if (t == 0) {
            at.state = ready;
            return at;
        }
        compare::SchemeRun run;
        run.state = ready;
        // A run stopped at t: its steps are those of the whole run up to the
        // last one, which the time step shortens to end on t.
        run.state.TStop = std::min(t, ready.TStop);
        compare::RunToEnd(run, cancel);
        if (run.finished)
            at.state = std::move(run.state);
        else if (cancel && cancel->load())
            at.failure = "cancelled";
        else
            at.failure = run.failure.empty() ? "the run did not reach t=" + num(t) : run.failure;
        return at;
    }

    bool within(double measured, double expected, double tolerance)
    {
        return std::isfinite(measured) && std::abs(measured - expected) <= tolerance;
    }

} // namespace

std::vector<std::string> SchemesToRun(const LabSheet& sheet)
{
    std::vector<std::string> schemes { sheet.scheme };
    for (const Check& c : sheet.checks)
        if (c.kind != CheckKind::Order && !c.scheme.empty()
            && std::find(schemes.begin(), schemes.end(), c.scheme) == schemes.end())
            schemes.push_back(c.scheme);
    return schemes;
}

std::optional<SheetRefusal> CheckAgainstProblem(const LabSheet& sheet, const ReadyRecords& records)
{
    for (const Check& c : sheet.checks) {
        const auto found = records.find(c.kind == CheckKind::Order || c.scheme.empty() ? sheet.scheme : c.scheme);
        if (found == records.end())
            return SheetRefusal { c.key + ".scheme", "the problem was not set up for this scheme" };
        const ExperimentState& ready = found->second;
        std::string why;
        const std::optional<exact::ExactSolution> sol = solutionOf(ready, why);
        const bool twoFluid = kernels::twoFluidScheme(ready.SchemeName);
        const long n = ready.NGridCells;
        const std::string twoFluidNote
            = "the fluid-2 fraction needs the two-fluid scheme Mixtal32, not " + ready.SchemeName;
        auto refuse = [&](const std::string& field, const std::string& reason) {
            return SheetRefusal { c.key + (field.empty() ? "" : "." + field), reason };
        };
        auto exactRefusal = [&](const char* what) -> std::optional<SheetRefusal> {
            if (!sol)
                return refuse(
                    "", std::string(what) + " needs the exact solution, and there is no initial grid: " + why);
            if (auto r = compare::StudyReferenceRefusal(ready, *sol))
                return refuse("", std::string(what) + " needs the exact solution, and " + *r);
            return std::nullopt;
        };
        switch (c.kind) {
        case CheckKind::L1:
            if (auto r = exactRefusal("an L1 error"))
                return r;
            break;
        case CheckKind::Value:
            if (!(c.x >= ready.X[1] && c.x <= ready.X[n + 1]))
                return refuse("x",
                    "x=" + num(c.x) + " lies outside the grid, " + num(ready.X[1]) + " to " + num(ready.X[n + 1]));
            if (c.time && !(*c.time >= 0 && *c.time <= ready.TStop))
                return refuse("t", "t=" + num(*c.time) + " lies outside the run, 0 to TStop=" + num(ready.TStop));
            if (c.variable == Variable::Fraction && !twoFluid)
                return refuse("variable", twoFluidNote);
            break;
        case CheckKind::Front:
        case CheckKind::Width:
            if (c.wave == Wave::Interface) {
                if (c.kind == CheckKind::Width)
                    return refuse("wave", "the width is measured on a shock or the contact");
                if (!twoFluid)
                    return refuse("wave", twoFluidNote);
                break;
            }
            if (!sol)
                return refuse("wave", "a front needs the exact solution, and there is no initial grid: " + why);
            if (!FindExactFront(*sol, c.wave, ready.TStop, why))
                return refuse("wave", why);
            if (!sol->validAt(ready.TStop))
                return refuse("",
                    "the exact solution holds only until t=" + num(sol->validUntil())
                        + ", before TStop=" + num(ready.TStop));
            break;
        case CheckKind::Volume:
            if (!twoFluid)
                return refuse("kind", twoFluidNote);
            break;
        case CheckKind::Order:
            if (auto r = compare::CheckStudyRequest(c.schemes, c.cells))
                return refuse("", *r);
            if (auto r = exactRefusal("a convergence ladder"))
                return r;
            break;
        }
    }
    return std::nullopt;
}

namespace {

    // The order check: the ladder's runs, each scheme's fitted order.
    void measureOrder(const Check& c, CheckResult& r, const compare::PrepareStudyRun& prepare, int threads,
        const std::atomic<bool>* cancel, const compare::StudyProgress& progress)
    {
        const compare::StudyResult study
            = compare::RunConvergenceStudy(c.schemes, c.cells, prepare, threads, cancel, progress);
        if (study.cancelled) {
            r.note = "cancelled";
            return;
        }
        if (!study.failure.empty()) {
            r.note = study.failure;
            return;
        }
        std::vector<std::string> names;
        for (const compare::StudyRow& row : study.rows)
            if (std::find(names.begin(), names.end(), row.scheme) == names.end())
                names.push_back(row.scheme);
        r.pass = !names.empty();
        for (const std::string& name : names) {
            const double q = study.fittedOrder(name);
            r.note += (r.note.empty() ? "" : ", ") + name + " " + num(q);
            if (!(q >= c.minOrder))
                r.pass = false;
            if (!(q >= r.measured)) // the lowest order, NaN first
                r.measured = q;
        }
    }

    // A check measured on the run `s` of the problem `ready`.
    void measureOnRun(const Check& c, CheckResult& r, const ExperimentState& ready, const ExperimentState& s)
    {
        std::string why;
        const exact::ExactSolution sol = solutionOf(ready, why).value_or(exact::ExactSolution {});
        if (s.NGridCells > 0)
            r.cellWidth = (s.X[s.NGridCells + 1] - s.X[1]) / static_cast<double>(s.NGridCells);
        switch (c.kind) {
        case CheckKind::L1:
            r.measured = exact::L1FromExact(s, sol.cellAverages(s.TimeNow)).rho;
            r.pass = std::isfinite(r.measured) && r.measured <= c.tolerance;
            break;
        case CheckKind::Value:
            if (const auto v = CellValueAt(s, c.x, c.variable))
                r.measured = *v;
            r.pass = within(r.measured, c.expected, c.tolerance);
            break;
        case CheckKind::Front:
            if (const auto x = MeasureFront(s, sol, c.wave, c.expected, r.note))
                r.measured = *x;
            if (c.wave != Wave::Interface) {
                const auto start = FindExactFront(sol, c.wave, 0, why);
                const auto end = FindExactFront(sol, c.wave, s.TimeNow, why);
                if (start && end)
                    r.direction = (end->position > start->position) - (end->position < start->position);
            }
            r.pass = within(r.measured, c.expected, c.tolerance);
            break;
        case CheckKind::Width:
            if (const auto w = MeasureWidth(s, sol, c.wave, r.note)) {
                r.measured = *w;
                r.note = num(*w / r.cellWidth) + " cells";
            }
            r.pass = c.widthExpected ? within(r.measured, c.expected, c.tolerance)
                                     : std::isfinite(r.measured) && r.measured <= c.tolerance;
            break;
        case CheckKind::Volume:
            r.measured = Fluid2Volume(s);
            r.pass = within(r.measured, c.expected, c.tolerance);
            break;
        case CheckKind::Order:
            break;
        }
    }

} // namespace

std::vector<CheckResult> RunSheetChecks(const LabSheet& sheet, const ReadyRecords& records,
    const compare::PrepareStudyRun& prepare, int threads, const std::atomic<bool>* cancel,
    const SheetProgress& progress)
{
    std::vector<CheckResult> results(sheet.checks.size());
    // The checks on one scheme's run to one time share that run; the runs
    // are made one after the other and each is dropped once its checks are
    // measured, so a sheet of many times needs no more memory than one run.
    struct Need {
        std::string scheme;
        double t;
        std::size_t check;
    };
    std::vector<Need> needs;
    std::vector<std::size_t> orders;
    int total = 0;
    for (std::size_t i = 0; i < sheet.checks.size(); ++i) {
        const Check& c = sheet.checks[i];
        CheckResult& r = results[i];
        r.check = &c;
        r.measured = kNaN;
        if (c.kind == CheckKind::Order) {
            orders.push_back(i);
            total += static_cast<int>(c.schemes.size() * c.cells.size());
            continue;
        }
        const std::string scheme = c.scheme.empty() ? sheet.scheme : c.scheme;
        const auto record = records.find(scheme);
        if (record == records.end()) {
            r.note = "the problem was not set up for " + scheme;
            continue;
        }
        needs.push_back({ scheme, c.kind == CheckKind::Value && c.time ? *c.time : record->second.TStop, i });
    }
    std::stable_sort(needs.begin(), needs.end(),
        [](const Need& a, const Need& b) { return std::tie(a.scheme, a.t) < std::tie(b.scheme, b.t); });
    for (std::size_t k = 0; k < needs.size(); ++k)
        total += k == 0 || needs[k].scheme != needs[k - 1].scheme || needs[k].t != needs[k - 1].t;

    int done = 0;
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    for (std::size_t i : orders) {
        if (cancelled()) {
            results[i].note = "cancelled";
            continue;
        }
        const int before = done;
        measureOrder(sheet.checks[i], results[i], prepare, threads, cancel, [&](int runs, int) {
            done = before + runs;
            if (progress)
                progress(done, total);
        });
        done = before + static_cast<int>(sheet.checks[i].schemes.size() * sheet.checks[i].cells.size());
    }
    for (std::size_t first = 0; first < needs.size();) {
        std::size_t last = first;
        while (last < needs.size() && needs[last].scheme == needs[first].scheme && needs[last].t == needs[first].t)
            ++last;
        const ExperimentState& ready = records.at(needs[first].scheme);
        const RunAt at = cancelled() ? RunAt { std::nullopt, "cancelled" } : runTo(ready, needs[first].t, cancel);
        for (std::size_t k = first; k < last; ++k) {
            const Check& c = sheet.checks[needs[k].check];
            CheckResult& r = results[needs[k].check];
            if (at.state)
                measureOnRun(c, r, ready, *at.state);
            else
                r.note = at.failure;
        }
        first = last;
        if (progress && !cancelled())
            progress(++done, total);
    }
    return results;
}

std::string DescribeCheck(const Check& c, bool values)
{
    const std::string within = num(c.expected) + " within " + num(c.tolerance);
    const std::string by = c.scheme.empty() ? "" : " (" + c.scheme + ")";
    if (!values) {
        const std::string full = DescribeCheck(c, true);
        return full.substr(0, full.rfind(": "));
    }
    switch (c.kind) {
    case CheckKind::L1:
        return "L1 density error against the exact solution at TStop" + by + ": at most " + num(c.tolerance);
    case CheckKind::Value:
        return std::string(variableName(c.variable)) + " in the cell at x=" + num(c.x)
            + " at t=" + (c.time ? num(*c.time) : std::string("TStop")) + by + ": " + within;
    case CheckKind::Front:
        return "position of the " + std::string(waveName(c.wave)) + " at TStop" + by + ": " + within;
    case CheckKind::Width:
        return "width in x of the " + std::string(waveName(c.wave)) + " at TStop" + by + ": "
            + (c.widthExpected ? within : "at most " + num(c.tolerance));
    case CheckKind::Volume:
        return "fluid-2 volume at TStop" + by + ": " + within;
    case CheckKind::Order: {
        std::string schemes, cells;
        for (const std::string& s : c.schemes)
            schemes += (schemes.empty() ? "" : ", ") + s;
        for (long n : c.cells)
            cells += (cells.empty() ? "" : ", ") + std::to_string(n);
        return "fitted order of " + schemes + " on " + cells + " cells: at least " + num(c.minOrder);
    }
    }
    return {};
}

std::string CheckLine(const CheckResult& r)
{
    const Check& c = *r.check;
    std::string line = std::string(r.pass ? "PASS" : "FAIL") + "  " + c.name + "  measured=" + num(r.measured);
    switch (c.kind) {
    case CheckKind::L1:
        line += "  tolerance=" + num(c.tolerance) + " (at most)";
        break;
    case CheckKind::Width:
        line += c.widthExpected ? "  expected=" + num(c.expected) + "  tolerance=" + num(c.tolerance)
                                : "  tolerance=" + num(c.tolerance) + " (at most)";
        break;
    case CheckKind::Order:
        line += "  minimum=" + num(c.minOrder);
        break;
    default:
        line += "  expected=" + num(c.expected) + "  tolerance=" + num(c.tolerance);
        break;
    }
    if (!r.note.empty())
        line += "  (" + r.note + ")";
    return line;
}

} // namespace tamrel::sheets
