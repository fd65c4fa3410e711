// SPDX-License-Identifier: GPL-3.0-or-later
#include "Results.h"

#include <pybind11/stl.h>

#include "Bindings.h"
#include "kernels/SchemeTable.h"

namespace tamrel::python {

State stateOf(const lab::GridValues& g, double time, long cycles, const std::string& scheme)
{
    State s;
    s.time = time;
    s.cycles = cycles;
    s.scheme = scheme;
    s.x = copyOf(g.x);
    s.rho = copyOf(g.rho);
    s.p = copyOf(g.p);
    s.vx = copyOf(g.vx);
    s.vy = copyOf(g.vy);
    s.smoke = copyOf(g.smoke);
    return s;
}

State currentState(const lab::LabSession& session)
{
    State s = stateOf(session.grid(), session.time(), session.cycle(), session.scheme());
    if (!kernels::twoFluidScheme(session.scheme()))
        return s;
    const ExperimentState& r = session.record();
    auto cells = [&](const BoundedArray<double>& a) {
        std::vector<double> v;
        for (long i = 1; i <= r.NGridCells; ++i)
            v.push_back(a[i]);
        return py::object(copyOf(v));
    };
    s.rho1 = cells(r.Rho1);
    s.p1 = cells(r.P1);
    s.rho2 = cells(r.Rho2);
    s.p2 = cells(r.P2);
    s.ffrac = cells(r.FFrac);
    return s;
}

Snapshots snapshotsOf(const lab::LabSession& session)
{
    const std::vector<double> times = session.snapshotTimes();
    std::vector<lab::GridValues> rows;
    for (long row = 0; row < static_cast<long>(times.size()); ++row)
        if (auto g = session.snapshot(row))
            rows.push_back(std::move(*g));
    const std::size_t n = static_cast<std::size_t>(session.cells());
    auto field = [&](std::vector<double> lab::GridValues::*f) {
        std::vector<const std::vector<double>*> of;
        for (const lab::GridValues& g : rows)
            of.push_back(&(g.*f));
        return rowsOf(of, n);
    };
    Snapshots s;
    s.times = copyOf(std::vector<double>(times.begin(), times.begin() + static_cast<long>(rows.size())));
    s.x = copyOf(session.grid().x);
    s.rho = field(&lab::GridValues::rho);
    s.p = field(&lab::GridValues::p);
    s.vx = field(&lab::GridValues::vx);
    s.vy = field(&lab::GridValues::vy);
    s.smoke = field(&lab::GridValues::smoke);
    return s;
}

Study studyOf(const compare::StudyResult& r)
{
    Study s;
    const bool wave = r.kind == compare::StudyKind::SoundWave;
    s.kind = wave ? "sound wave" : "riemann";
    s.errorNames = wave ? py::make_tuple("R+", "R-", "entropy") : py::make_tuple("rho", "vx", "p");
    std::vector<double> cells, order, seconds, rate;
    std::vector<std::vector<double>> errors;
    s.floored = py::array_t<bool>(static_cast<py::ssize_t>(r.rows.size()));
    bool* floored = s.floored.mutable_data();
    for (const compare::StudyRow& row : r.rows) {
        s.schemes.append(row.scheme);
        cells.push_back(static_cast<double>(row.cells));
        errors.push_back({ row.errors.begin(), row.errors.end() });
        order.push_back(row.order);
        *floored++ = row.floored;
        seconds.push_back(row.seconds);
        rate.push_back(row.cellUpdatesPerSecond);
        if (!s.fittedOrders.contains(row.scheme))
            s.fittedOrders[py::str(row.scheme)] = r.fittedOrder(row.scheme);
    }
    s.cells = copyOf(cells);
    std::vector<const std::vector<double>*> rows;
    for (const auto& e : errors)
        rows.push_back(&e);
    s.errors = rowsOf(rows, 3);
    s.order = copyOf(order);
    s.seconds = copyOf(seconds);
    s.cellUpdatesPerSecond = copyOf(rate);
    return s;
}

void bindResults(py::module_& m)
{
    py::class_<State>(m, "State",
        "A state of the grid, cells 1..N: numpy arrays of its own (changing them changes no run).\n\n"
        "x is the cell centres; rho, p, vx, vy the density, pressure and velocities; smoke the\n"
        "smoke fraction. For a two-fluid scheme rho1, p1, rho2, p2 and ffrac (the fraction of\n"
        "fluid 2) hold the two fluids; for the other schemes they are None.")
        .def_readonly("time", &State::time, "The time of the state.")
        .def_readonly("cycles", &State::cycles, "Steps taken to reach it.")
        .def_readonly("scheme", &State::scheme, "The scheme that ran.")
        .def_readonly("x", &State::x, "Cell centres.")
        .def_readonly("rho", &State::rho, "Density.")
        .def_readonly("p", &State::p, "Pressure.")
        .def_readonly("vx", &State::vx, "Velocity along the grid.")
        .def_readonly("vy", &State::vy, "Transverse velocity.")
        .def_readonly("smoke", &State::smoke, "Smoke fraction.")
        .def_readonly("rho1", &State::rho1, "Density of fluid 1 (two-fluid schemes), else None.")
        .def_readonly("p1", &State::p1, "Pressure of fluid 1 (two-fluid schemes), else None.")
        .def_readonly("rho2", &State::rho2, "Density of fluid 2 (two-fluid schemes), else None.")
        .def_readonly("p2", &State::p2, "Pressure of fluid 2 (two-fluid schemes), else None.")
        .def_readonly("ffrac", &State::ffrac, "Volume fraction of fluid 2 (two-fluid schemes), else None.")
        .def("__repr__", [](const State& s) {
            return "<tamrel.State " + s.scheme + " cells=" + std::to_string(s.x.size()) + " time="
                + py::repr(py::float_(s.time)).cast<std::string>() + " cycles=" + std::to_string(s.cycles) + ">";
        });

    py::class_<Snapshots>(m, "Snapshots",
        "The stored history of a run: one row per snapshot, one column per cell.\n\n"
        "times has one entry per row; x the cell centres; rho, p, vx, vy and smoke are 2-D\n"
        "arrays of shape (rows, cells), copies of the history. The history keeps its values in\n"
        "single precision, as the window's plots read them; state() gives the current grid in full.")
        .def_readonly("times", &Snapshots::times, "Time of each row.")
        .def_readonly("x", &Snapshots::x, "Cell centres.")
        .def_readonly("rho", &Snapshots::rho, "Density, rows x cells.")
        .def_readonly("p", &Snapshots::p, "Pressure, rows x cells.")
        .def_readonly("vx", &Snapshots::vx, "Velocity, rows x cells.")
        .def_readonly("vy", &Snapshots::vy, "Transverse velocity, rows x cells.")
        .def_readonly("smoke", &Snapshots::smoke, "Smoke fraction, rows x cells.");

    py::class_<Exact>(m, "Exact",
        "The exact solution of a run's initial grid at the time in force, as cell averages,\n"
        "and the L1 distances (sum of |grid - exact| times the cell width) of the grid from it.")
        .def_readonly("time", &Exact::time, "The time of the solution.")
        .def_readonly("rho", &Exact::rho, "Exact density of each cell.")
        .def_readonly("p", &Exact::p, "Exact pressure of each cell.")
        .def_readonly("vx", &Exact::vx, "Exact velocity of each cell.")
        .def_readonly("l1_rho", &Exact::l1Rho, "L1 distance of the grid's density.")
        .def_readonly("l1_vx", &Exact::l1Vx, "L1 distance of the grid's velocity.")
        .def_readonly("l1_p", &Exact::l1P, "L1 distance of the grid's pressure.");

    py::class_<lab::TickOutcome>(m, "TickOutcome", "What one tick or one step did.")
        .def_readonly("steps", &lab::TickOutcome::steps, "Accepted steps.")
        .def_readonly("rows_stored", &lab::TickOutcome::rowsStored, "Snapshot rows stored.")
        .def_readonly(
            "ended", &lab::TickOutcome::ended, "The run has stopped: its end, a full history or a fault.")
        .def_readonly("fault", &lab::TickOutcome::fault, "Why a step failed or the history filled, else None.")
        .def("__repr__", [](const lab::TickOutcome& t) {
            return "<tamrel.TickOutcome steps=" + std::to_string(t.steps)
                + " rows_stored=" + std::to_string(t.rowsStored) + (t.ended ? " ended" : "")
                + (t.fault ? " fault=" + *t.fault : "") + ">";
        });

    py::class_<lab::MeterReading>(m, "Meter", "The flop meter's reading.")
        .def_readonly("on", &lab::MeterReading::on, "The meter is on (set_scheme(..., meter=True)).")
        .def_readonly("mflop_rate", &lab::MeterReading::mflopRate, "Millions of operations per second.")
        .def_readonly("mflops_total", &lab::MeterReading::mflopsTotal, "Millions of operations counted.")
        .def_readonly("seconds", &lab::MeterReading::seconds, "Seconds the counted steps took.")
        .def_readonly("flops_per_cell", &lab::MeterReading::flopsPerCell,
            "Operations of the last step's kernel per cell update.");

    py::class_<SchemeRun>(m, "SchemeRun", "One scheme's run of a side-by-side comparison.")
        .def_readonly("scheme", &SchemeRun::scheme, "The scheme.")
        .def_readonly("finished", &SchemeRun::finished, "It reached its stop time.")
        .def_readonly("failure", &SchemeRun::failure, "Why it did not ('' when it did).")
        .def_readonly("snapshots", &SchemeRun::snapshots, "Snapshot rows stored.")
        .def_readonly("accepted_steps", &SchemeRun::acceptedSteps, "Steps accepted.")
        .def_readonly("state", &SchemeRun::state, "Its final state (a State).");

    py::class_<Study>(m, "Study",
        "A convergence study as arrays, one entry per run: by scheme (in the order asked),\n"
        "then by cells.\n\n"
        "errors has one row per run and three columns, named by error_names: the L1 errors\n"
        "of rho, vx, p for a Riemann problem, or of the invariants R+, R- and the entropy for a\n"
        "sound wave. order is the local order from the run before (NaN for a scheme's first);\n"
        "floored marks errors at the rounding floor of the scheme's precision, left out of the\n"
        "fitted orders.")
        .def_readonly("kind", &Study::kind, "'riemann' or 'sound wave'.")
        .def_readonly("error_names", &Study::errorNames, "The names of the three error columns.")
        .def_readonly("schemes", &Study::schemes, "The scheme of each run.")
        .def_readonly("cells", &Study::cells, "The grid size of each run.")
        .def_readonly("errors", &Study::errors, "L1 errors, runs x 3.")
        .def_readonly("order", &Study::order, "Local order of convergence.")
        .def_readonly("floored", &Study::floored, "The error lies at the rounding floor.")
        .def_readonly("seconds", &Study::seconds, "Seconds each run took.")
        .def_readonly("cell_updates_per_second", &Study::cellUpdatesPerSecond, "Speed of each run.")
        .def_readonly("fitted_orders", &Study::fittedOrders,
            "Each scheme's order fitted over its runs above the floor: {scheme: order}.")
        .def(
            "rows_of",
            [](const Study& s, const std::string& scheme) {
                std::vector<long> rows;
                for (std::size_t i = 0; i < s.schemes.size(); ++i)
                    if (kernels::sameSchemeName(s.schemes[i].cast<std::string>(), scheme))
                        rows.push_back(static_cast<long>(i));
                if (rows.empty())
                    throw py::value_error("No runs of \"" + scheme + "\" in this study.");
                return py::array_t<long>(static_cast<py::ssize_t>(rows.size()), rows.data());
            },
            py::arg("scheme"), "The row numbers of one scheme's runs, to index cells, errors and order with.");
}

} // namespace tamrel::python
