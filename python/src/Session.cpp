// SPDX-License-Identifier: GPL-3.0-or-later
// The lab session as the Python class Session: each method is one request
// of the session, and each refusal becomes a ValueError with its reason.

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>
#include <sstream>

#include "Bindings.h"
#include "Results.h"
#include "presets/SoundWave.h"
#include "setupfile/SetupFile.h"

namespace tamrel::python {

namespace {
    // A boundary as a number (1, 2, 4) or by name.
    long boundaryOf(const py::handle& b, const char* side)
    {
        if (py::isinstance<py::str>(b)) {
            const std::string name = b.cast<std::string>();
            if (name == "reflecting")
                return 1;
            if (name == "continuation")
                return 2;
            if (name == "periodic")
                return 4;
            throw py::value_error(std::string("The ") + side + " boundary is \"reflecting\", \"continuation\" or "
                + "\"periodic\" (or 1, 2, 4), not \"" + name + "\".");
        }
        if (py::isinstance<py::bool_>(b) || !py::isinstance<py::int_>(b))
            throw py::type_error(std::string("The ") + side + " boundary is a name or a number.");
        return b.cast<long>();
    }

    // A wave number as the session takes it: a whole number (2 and 2.0 alike).
    long waveNumber(double k, std::size_t question)
    {
        if (!(std::fabs(k) < 1e15) || k != std::trunc(k)) {
            std::ostringstream text;
            text << kSoundWaveQuestions[question].title << ": a wave number must be a whole number, not " << k
                 << ".";
            throw py::value_error(text.str());
        }
        return static_cast<long>(k);
    }

    void loadState(lab::LabSession& s, const py::handle& rho, const py::handle& vx, const py::handle& p,
        const py::handle& vy, const py::handle& smoke, const py::handle& left, const py::handle& right,
        double gamma)
    {
        lab::HandMadeState h;
        h.rho = valuesOf(rho, "rho");
        h.vx = valuesOf(vx, "vx");
        h.p = valuesOf(p, "p");
        h.vy = valuesOf(vy, "vy", true);
        h.smoke = valuesOf(smoke, "smoke", true);
        h.leftBoundary = boundaryOf(left, "left");
        h.rightBoundary = boundaryOf(right, "right");
        h.gamma = gamma;
        check(s.loadState(h));
    }

    // Begin when Ready (a refusal is a ValueError), then run to the stop
    // time; a run that fails or halts on the way is a RunError. The ticks
    // are the session's own run to the end, one at a time, so that Ctrl+C
    // (any signal handler that raises) stops between two of them and leaves
    // a run that run() takes up again where it stopped.
    void runToEnd(lab::LabSession& s)
    {
        if (s.ready())
            check(s.begin());
        while (s.running() && !s.faulted()) {
            if (const lab::TickOutcome t = s.tick(); t.fault)
                throw RunFault(*t.fault);
            if (PyErr_CheckSignals() != 0)
                throw py::error_already_set();
        }
        // Stopped: what is left is the check that the run reached its end.
        if (auto why = s.runToEnd())
            throw RunFault(*why);
    }

    Exact exactOf(const lab::LabSession& s)
    {
        const lab::ExactValues e = s.exact();
        if (!e.valid) {
            std::ostringstream why;
            why << "No exact solution at time " << s.time() << (e.note.empty() ? "" : ": ") << e.note << ".";
            throw py::value_error(why.str());
        }
        return { s.time(), copyOf(e.rho), copyOf(e.p), copyOf(e.vx), e.l1Rho, e.l1Vx, e.l1P };
    }

    py::list compare(const lab::LabSession& s, const std::vector<std::string>& schemes, bool lockstep)
    {
        std::vector<lab::SchemeResult> results;
        const lab::Refusal why = s.compareSchemes(schemes, lockstep, results);
        // Refused before any run: a ValueError. A run that failed on the way
        // is in its row (finished, failure).
        if (why && results.empty())
            throw py::value_error(*why);
        py::list out;
        for (const lab::SchemeResult& r : results)
            out.append(SchemeRun { r.scheme, r.finished, r.failure, r.snapshots, r.acceptedSteps,
                stateOf(r.grid, r.time, r.cycles, r.scheme) });
        return out;
    }

    Study study(const lab::LabSession& s, const std::vector<std::string>& schemes, const std::vector<long>& cells,
        int threads)
    {
        if (threads < 1)
            throw py::value_error("A study runs on at least 1 thread.");
        compare::StudyResult result;
        if (auto why = s.convergenceStudy(schemes, cells, result, threads)) {
            if (!result.failure.empty())
                throw RunFault(*why);
            throw py::value_error(*why);
        }
        return studyOf(result);
    }
} // namespace

void bindSession(py::module_& m)
{
    using lab::LabSession;
    py::class_<LabSession>(m, "Session",
        "A lab session: one problem, its scheme and boxes, and its run, without a window.\n\n"
        "Every request goes through the rules the window's controls use, in their order, so a\n"
        "session's run is the window's run (and the batch run's) bit for bit. Problems, the\n"
        "scheme and the boxes are set before a run begins (restart() goes back); set the grid\n"
        "size and the scheme before loading a problem, as the window's boxes are filled first.\n"
        "A refused request raises ValueError with the lab's one-line reason and changes nothing.")
        .def(py::init([](int threads) {
            if (threads != 1 && threads != 2)
                throw py::value_error("A session runs on 1 or 2 threads, not " + std::to_string(threads) + ".");
            return std::make_unique<LabSession>(threads);
        }),
            py::arg("threads") = 1,
            "A session with the lab's default problem. threads: 1, or 2 to share each step (the numbers are\n"
            "the same).")

        // --- Problems ---
        .def(
            "load_test", [](LabSession& s, int test) { check(s.loadTest(test)); }, py::arg("test"),
            "Load the shock-tube test of that number (from 1) on the grid size in force.")
        .def(
            "load_sound_wave",
            [](LabSession& s, double a1, double k1, double a2, double k2, double a3, double k3, double u0) {
                check(
                    s.loadSoundWave({ a1, waveNumber(k1, 1), a2, waveNumber(k2, 3), a3, waveNumber(k3, 5), u0 }));
            },
            py::arg("rplus_amplitude") = 1.0, py::arg("rplus_wave_number") = 1, py::arg("rminus_amplitude") = 0.0,
            py::arg("rminus_wave_number") = 1, py::arg("r0_amplitude") = 0.0, py::arg("r0_wave_number") = 1,
            py::arg("u0") = -1.0,
            "Load the periodic sound wave: the amplitudes and whole wave numbers of the R+ and R-\n"
            "acoustic waves and the R0 entropy wave, and the mean velocity u0 (the window's defaults).")
        .def(
            "load_setup_file",
            [](LabSession& s, const std::filesystem::path& path) { check(s.loadSetupFile(path.string())); },
            py::arg("path"), "Load a set-up file (a str or a path).")
        .def(
            "load_setup_text", [](LabSession& s, const std::string& text) { check(s.loadSetupText(text)); },
            py::arg("text"), "Load a set-up from the text of a set-up file.")
        .def("load_state", &loadState, py::arg("rho"), py::arg("vx"), py::arg("p"), py::arg("vy") = py::none(),
            py::arg("smoke") = py::none(), py::arg("left_boundary") = "reflecting",
            py::arg("right_boundary") = "reflecting", py::arg("gamma") = 1.4,
            "Load a state made by hand: density, velocity and pressure of cells 1..N (any sequences of\n"
            "numbers of one length N, within the lab's grid sizes), vy and smoke optional (0). The\n"
            "boundaries are \"reflecting\", \"continuation\" or \"periodic\" (or 1, 2, 4; periodic on both\n"
            "ends or neither); gamma the ratio of specific heats. The cells span 0..1. The arrays are\n"
            "copied: changing them later changes nothing in the session.")

        // --- Scheme and boxes ---
        .def(
            "set_scheme",
            [](LabSession& s, const std::string& name, std::optional<bool> meter) {
                check(s.setScheme(name, meter));
            },
            py::arg("name"), py::arg("meter") = py::none(),
            "Choose the scheme by name (any letter case; tamrel.SCHEMES lists them), and turn the\n"
            "flop meter on or off when meter is given.")
        .def(
            "set_cells", [](LabSession& s, long n) { check(s.setGridCells(n)); }, py::arg("cells"),
            "Set the grid size (tamrel.MIN_CELLS..tamrel.MAX_CELLS); the loaded problem is laid out again.")
        .def(
            "set_periods", [](LabSession& s, double v) { check(s.setPeriods(v)); }, py::arg("periods"),
            "Set the run length in time units (a test brings its own stop time).")
        .def(
            "set_plots_per_unit", [](LabSession& s, double v) { check(s.setPlotsPerUnit(v)); }, py::arg("rate"),
            "Set the snapshots stored per time unit.")
        .def(
            "set_courant", [](LabSession& s, double v) { check(s.setCourant(v)); }, py::arg("courant"),
            "Set the Courant number.")
        .def(
            "set_shock_constant",
            [](LabSession& s, const std::string& name, double v) { check(s.setShockConstant(name, v)); },
            py::arg("name"), py::arg("value"), "Set a shock constant: \"difcon\", \"shkjmp\" or \"wavhaf\".")
        .def(
            "set_smoke_streams", [](LabSession& s, double v) { check(s.setSmokeStreams(v)); }, py::arg("streams"),
            "Set the smoke streams a problem loaded afterwards lays out.")
        .def(
            "set_log_plots", [](LabSession& s, bool v) { check(s.setLogPlots(v)); }, py::arg("logs"),
            "Store the history for log plots (or not).")

        // --- The run ---
        .def(
            "begin", [](LabSession& s) { check(s.begin()); }, "Begin the run (the Begin button).")
        .def("tick", py::overload_cast<>(&LabSession::tick),
            "One metronome tick: the steps of one tick. Returns a TickOutcome.")
        .def("step", &LabSession::step, "One step. Returns a TickOutcome.")
        .def("pause", &LabSession::pause, "Pause the run.")
        .def(
            "continue_run", [](LabSession& s) { check(s.continueRun()); }, "Continue a paused run.")
        .def("restart", &LabSession::restart, "Back to the start of the run: the problem stays loaded.")
        .def("run", &runToEnd,
            "Begin when ready and run to the stop time. A refused Begin raises ValueError; a run that\n"
            "fails or halts before its stop time raises tamrel.RunError. Interrupted (Ctrl+C), the run\n"
            "stops between two ticks, and run() goes on from there.")

        // --- Readings ---
        .def_property_readonly("time", &LabSession::time, "The time of the run.")
        .def_property_readonly("cycle", &LabSession::cycle, "Steps taken.")
        .def_property_readonly("cells", &LabSession::cells, "The grid size.")
        .def_property_readonly("running", &LabSession::running, "A run is going on (not paused or stopped).")
        .def_property_readonly("ready", &LabSession::ready, "No run has begun: problems and boxes may be set.")
        .def_property_readonly("faulted", &LabSession::faulted, "The last run stopped on a fault.")
        .def_property_readonly("accepted_steps", &LabSession::acceptedSteps, "Steps accepted so far.")
        .def_property_readonly("scheme", &LabSession::scheme, "The scheme's name.")
        .def_property_readonly("stored_rows", &LabSession::storedRows, "Snapshot rows stored.")
        .def_property_readonly(
            "plots_per_unit", [](const LabSession& s) { return s.record().NPlotsPerPeriod; },
            "Snapshots stored per time unit.")
        .def_property_readonly(
            "stop_time", [](const LabSession& s) { return s.record().TStop; },
            "The stop time of the run (known once it begins).")
        .def(
            "setup_text", [](const LabSession& s) { return WriteSetupText(s.record()); },
            "The loaded problem and boxes as the text of a set-up file (write it to a file to load it\n"
            "again, here or in the window).")
        .def("state", &currentState, "The current state of cells 1..N as a State of numpy copies.")
        .def("snapshots", &snapshotsOf, "The stored snapshots as 2-D arrays with their times (a Snapshots).")
        .def("exact", &exactOf,
            "The exact solution of the run's initial grid at the time in force, with the L1 distances of\n"
            "the grid from it (an Exact). ValueError, with the reason, where the lab has none.")
        .def_property_readonly("meter", &LabSession::meter, "The flop meter's reading (a Meter).")

        // --- Several schemes ---
        .def("compare", &compare, py::arg("schemes"), py::arg("lockstep") = false,
            "Run the loaded problem (before its run begins) by 2 to 5 schemes side by side, each to its\n"
            "end, concurrently or in lockstep a snapshot row at a time. Returns a list of SchemeRun;\n"
            "a run that failed says so in its row.")
        .def("convergence_study", &study, py::arg("schemes"), py::arg("cells"), py::arg("threads") = 1,
            "A convergence study of the loaded problem: every scheme at every grid size (6..5000),\n"
            "each set up as this session was. Returns a Study of arrays. A refused request raises\n"
            "ValueError; a run that fails raises tamrel.RunError.");
}

} // namespace tamrel::python
