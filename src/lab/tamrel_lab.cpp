// SPDX-License-Identifier: GPL-3.0-or-later
// The C face of a lab session: each call catches what the C++ below may
// throw (memory running out) and turns every refusal into -1 and a reason.

#include "lab/tamrel_lab.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "lab/LabSession.h"

using tamrel::lab::GridValues;
using tamrel::lab::LabSession;
using tamrel::lab::Refusal;

struct tamrel_lab {
    explicit tamrel_lab(int threads)
        : session(threads)
    {
    }
    LabSession session;
    std::string error;
};

namespace {

int answer(tamrel_lab* lab, const Refusal& r)
{
    lab->error = r.value_or("");
    return r ? -1 : 0;
}

// Runs `f` and turns an exception or a missing handle into a refusal.
template <class R, class F> R guarded(tamrel_lab* lab, R failed, F f)
{
    if (!lab)
        return failed;
    try {
        return f(*lab);
    } catch (const std::exception& e) {
        lab->error = std::string("The lab ran out of resources: ") + e.what();
    } catch (...) {
        lab->error = "The lab failed.";
    }
    return failed;
}

std::vector<double> arrayOf(const double* p, long n)
{
    if (!p || n <= 0)
        return {};
    return std::vector<double>(p, p + n);
}

const std::vector<double>* fieldOf(const GridValues& g, const char* field)
{
    if (!field)
        return nullptr;
    const std::string f(field);
    if (f == "x")
        return &g.x;
    if (f == "rho")
        return &g.rho;
    if (f == "p")
        return &g.p;
    if (f == "vx")
        return &g.vx;
    if (f == "vy")
        return &g.vy;
    if (f == "smoke")
        return &g.smoke;
    return nullptr;
}

long copyOut(tamrel_lab& lab, const std::vector<double>& v, double* out, long capacity)
{
    if (capacity > 0 && !out) {
        lab.error = "The buffer is missing.";
        return -1;
    }
    const long n = static_cast<long>(v.size());
    if (capacity > 0)
        std::copy_n(v.begin(), std::min(n, capacity), out);
    lab.error.clear();
    return n;
}

long readField(tamrel_lab& lab, const GridValues& g, const char* field, double* out, long capacity)
{
    const std::vector<double>* v = fieldOf(g, field);
    if (!v) {
        lab.error = std::string("No field \"") + (field ? field : "") + "\": x, rho, p, vx, vy or smoke.";
        return -1;
    }
    return copyOut(lab, *v, out, capacity);
}

long tickAnswer(tamrel_lab& lab, const tamrel::lab::TickOutcome& t)
{
    if (t.fault) {
        lab.error = *t.fault;
        return -1;
    }
    lab.error.clear();
    return t.steps;
}

} // namespace

extern "C" {

tamrel_lab* tamrel_lab_create(int threads)
{
    try {
        return new tamrel_lab(threads);
    } catch (...) {
        return nullptr;
    }
}

void tamrel_lab_destroy(tamrel_lab* lab)
{
    delete lab;
}

const char* tamrel_lab_last_error(const tamrel_lab* lab)
{
    return lab ? lab->error.c_str() : "No lab.";
}

int tamrel_lab_load_test(tamrel_lab* lab, int test)
{
    return guarded(lab, -1, [&](tamrel_lab& l) { return answer(&l, l.session.loadTest(test)); });
}

int tamrel_lab_load_sound_wave(tamrel_lab* lab, const double wave[7])
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        if (!wave)
            return answer(&l, std::string("The seven numbers of the wave are missing."));
        for (int k : { 1, 3, 5 })
            if (!std::isfinite(wave[k]) || wave[k] != std::round(wave[k]) || std::fabs(wave[k]) > 1e9)
                return answer(&l, std::string("A wave number is a whole number."));
        tamrel::lab::SoundWaveAsked w;
        w.rPlusAmplitude = wave[0];
        w.rPlusFrequency = static_cast<long>(wave[1]);
        w.rMinusAmplitude = wave[2];
        w.rMinusFrequency = static_cast<long>(wave[3]);
        w.r0Amplitude = wave[4];
        w.r0Frequency = static_cast<long>(wave[5]);
        w.u0 = wave[6];
        return answer(&l, l.session.loadSoundWave(w));
    });
}

int tamrel_lab_load_setup_text(tamrel_lab* lab, const char* text)
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        return answer(&l, text ? l.session.loadSetupText(text) : Refusal("The set-up text is missing."));
    });
}

int tamrel_lab_load_setup_file(tamrel_lab* lab, const char* path)
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        return answer(&l, path ? l.session.loadSetupFile(path) : Refusal("The set-up path is missing."));
    });
}

int tamrel_lab_load_state(tamrel_lab* lab, const double* rho, long n_rho, const double* vx, long n_vx,
    const double* p, long n_p, const double* vy, long n_vy, const double* smoke, long n_smoke, int left_boundary,
    int right_boundary, double gamma)
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        if ((!rho && n_rho > 0) || (!vx && n_vx > 0) || (!p && n_p > 0) || (!vy && n_vy > 0)
            || (!smoke && n_smoke > 0))
            return answer(&l, std::string("An array is missing."));
        tamrel::lab::HandMadeState h;
        h.rho = arrayOf(rho, n_rho);
        h.vx = arrayOf(vx, n_vx);
        h.p = arrayOf(p, n_p);
        h.vy = arrayOf(vy, n_vy);
        h.smoke = arrayOf(smoke, n_smoke);
        h.leftBoundary = left_boundary;
        h.rightBoundary = right_boundary;
        h.gamma = gamma;
        return answer(&l, l.session.loadState(h));
    });
}

int tamrel_lab_set_scheme(tamrel_lab* lab, const char* name)
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        return answer(&l, name ? l.session.setScheme(name) : Refusal("The scheme name is missing."));
    });
}

int tamrel_lab_set(tamrel_lab* lab, const char* parameter, double value)
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        const std::string name = parameter ? parameter : "";
        auto whole = [&](const char* what) -> Refusal {
            if (!std::isfinite(value) || value != std::round(value) || std::fabs(value) > 1e9)
                return std::string(what) + " is a whole number.";
            return std::nullopt;
        };
        if (name == "cells") {
            if (auto r = whole("The grid size"))
                return answer(&l, r);
            return answer(&l, l.session.setGridCells(static_cast<long>(value)));
        }
        if (name == "periods")
            return answer(&l, l.session.setPeriods(value));
        if (name == "plots_per_unit")
            return answer(&l, l.session.setPlotsPerUnit(value));
        if (name == "courant")
            return answer(&l, l.session.setCourant(value));
        if (name == "difcon" || name == "shkjmp" || name == "wavhaf")
            return answer(&l, l.session.setShockConstant(name, value));
        if (name == "smoke_streams")
            return answer(&l, l.session.setSmokeStreams(value));
        if (name == "log_plots") {
            if (value != 0 && value != 1)
                return answer(&l, std::string("Log plots are 0 (off) or 1 (on)."));
            return answer(&l, l.session.setLogPlots(value == 1));
        }
        if (name == "meter") {
            if (value != 0 && value != 1)
                return answer(&l, std::string("The meter is 0 (off) or 1 (on)."));
            return answer(&l, l.session.setScheme(l.session.scheme(), value == 1));
        }
        return answer(&l,
            "No parameter \"" + name
                + "\": cells, periods, plots_per_unit, courant, meter, difcon, shkjmp, wavhaf, smoke_streams or "
                  "log_plots.");
    });
}

int tamrel_lab_begin(tamrel_lab* lab)
{
    return guarded(lab, -1, [&](tamrel_lab& l) { return answer(&l, l.session.begin()); });
}

long tamrel_lab_tick(tamrel_lab* lab)
{
    return guarded(lab, -1L, [&](tamrel_lab& l) { return tickAnswer(l, l.session.tick()); });
}

long tamrel_lab_step(tamrel_lab* lab)
{
    return guarded(lab, -1L, [&](tamrel_lab& l) { return tickAnswer(l, l.session.step()); });
}

int tamrel_lab_pause(tamrel_lab* lab)
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        l.session.pause();
        return answer(&l, std::nullopt);
    });
}

int tamrel_lab_continue(tamrel_lab* lab)
{
    return guarded(lab, -1, [&](tamrel_lab& l) { return answer(&l, l.session.continueRun()); });
}

int tamrel_lab_restart(tamrel_lab* lab)
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        l.session.restart();
        return answer(&l, std::nullopt);
    });
}

int tamrel_lab_run_to_end(tamrel_lab* lab)
{
    return guarded(lab, -1, [&](tamrel_lab& l) { return answer(&l, l.session.runToEnd()); });
}

double tamrel_lab_time(const tamrel_lab* lab)
{
    return lab ? lab->session.time() : NAN;
}

long tamrel_lab_cycle(const tamrel_lab* lab)
{
    return lab ? lab->session.cycle() : -1;
}

long tamrel_lab_cells(const tamrel_lab* lab)
{
    return lab ? lab->session.cells() : -1;
}

int tamrel_lab_running(const tamrel_lab* lab)
{
    return lab && lab->session.running() ? 1 : 0;
}

long tamrel_lab_stored_rows(const tamrel_lab* lab)
{
    return lab ? lab->session.storedRows() : -1;
}

long tamrel_lab_read(tamrel_lab* lab, const char* field, double* out, long capacity)
{
    return guarded(lab, -1L, [&](tamrel_lab& l) { return readField(l, l.session.grid(), field, out, capacity); });
}

long tamrel_lab_read_snapshot(tamrel_lab* lab, long row, const char* field, double* out, long capacity)
{
    return guarded(lab, -1L, [&](tamrel_lab& l) -> long {
        const auto g = l.session.snapshot(row);
        if (!g) {
            l.error = "No stored row " + std::to_string(row) + ": the rows are 0 to "
                + std::to_string(l.session.storedRows() - 1) + ".";
            return -1;
        }
        return readField(l, *g, field, out, capacity);
    });
}

long tamrel_lab_snapshot_times(tamrel_lab* lab, double* out, long capacity)
{
    return guarded(lab, -1L, [&](tamrel_lab& l) { return copyOut(l, l.session.snapshotTimes(), out, capacity); });
}

long tamrel_lab_read_exact(tamrel_lab* lab, const char* field, double* out, long capacity)
{
    return guarded(lab, -1L, [&](tamrel_lab& l) -> long {
        const tamrel::lab::ExactValues e = l.session.exact();
        if (!e.valid) {
            l.error = e.note;
            return -1;
        }
        const std::string f = field ? field : "";
        const std::vector<double>* v = f == "rho" ? &e.rho : f == "p" ? &e.p : f == "vx" ? &e.vx : nullptr;
        if (!v) {
            l.error = "No exact field \"" + f + "\": rho, p or vx.";
            return -1;
        }
        return copyOut(l, *v, out, capacity);
    });
}

int tamrel_lab_exact_l1(tamrel_lab* lab, double l1[3])
{
    return guarded(lab, -1, [&](tamrel_lab& l) {
        const tamrel::lab::ExactValues e = l.session.exact();
        if (!e.valid)
            return answer(&l, e.note);
        if (l1) {
            l1[0] = e.l1Rho;
            l1[1] = e.l1Vx;
            l1[2] = e.l1P;
        }
        return answer(&l, std::nullopt);
    });
}

} // extern "C"
