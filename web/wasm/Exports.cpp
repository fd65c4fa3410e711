// SPDX-License-Identifier: GPL-3.0-or-later
// The module's exports: plain numbers and pointers into the module's memory,
// so the page's JavaScript needs no generated glue. Strings go in as
// NUL-terminated UTF-8 the page writes into a block from web_alloc, and come
// out as pointers to NUL-terminated text that stays valid until the next
// call on the same lab.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "WebLab.h"
#include "WebViews.h"
#include "kernels/SchemeTable.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/RunStatus.h"
#include "spacetime/SpaceTimeVariables.h"

#define TAMREL_EXPORT(name) extern "C" __attribute__((export_name(#name), visibility("default")))

using tamrel::web::WebLab;
using tamrel::web::WebViews;

namespace {

struct Handle {
    WebLab lab;
    WebViews views;
    std::string text;
};

Handle& of(void* h)
{
    return *static_cast<Handle*>(h);
}

int said(bool acted)
{
    return acted ? 1 : 0;
}

const char* keep(std::string& slot, std::string text)
{
    slot = std::move(text);
    return slot.c_str();
}

std::string staticText;

// Entry i of a list, or nothing when i is outside it.
template <class List> auto entry(const List& list, int i) -> const typename List::value_type*
{
    return i >= 0 && static_cast<std::size_t>(i) < list.size() ? &list[static_cast<std::size_t>(i)] : nullptr;
}

} // namespace

TAMREL_EXPORT(web_alloc) void* web_alloc(unsigned long bytes)
{
    return std::malloc(bytes == 0 ? 1 : bytes);
}
TAMREL_EXPORT(web_free) void web_free(void* p)
{
    std::free(p);
}

TAMREL_EXPORT(web_create) void* web_create()
{
    return new Handle;
}
TAMREL_EXPORT(web_destroy) void web_destroy(void* h)
{
    delete static_cast<Handle*>(h);
}
TAMREL_EXPORT(web_message) const char* web_message(void* h)
{
    return of(h).lab.message().c_str();
}

// --- Lists the page builds its controls from ------------------------------
TAMREL_EXPORT(web_scheme_count) int web_scheme_count()
{
    return static_cast<int>(tamrel::kernels::allSchemes().size());
}
TAMREL_EXPORT(web_scheme_name) const char* web_scheme_name(int i)
{
    const auto* row = entry(tamrel::kernels::allSchemes(), i);
    return keep(staticText, row ? std::string(row->name) : std::string());
}
TAMREL_EXPORT(web_test_count) int web_test_count()
{
    return tamrel::kShockTubeTestCount;
}
TAMREL_EXPORT(web_wave_question) const char* web_wave_question(int i)
{
    const auto* q = entry(tamrel::kSoundWaveQuestions, i);
    return keep(staticText, q ? std::string(q->prompt) : std::string());
}
TAMREL_EXPORT(web_variable_count) int web_variable_count()
{
    return static_cast<int>(tamrel::SpaceTimeVariables().size());
}
TAMREL_EXPORT(web_variable_name) const char* web_variable_name(int i)
{
    const auto* v = entry(tamrel::SpaceTimeVariables(), i);
    return keep(staticText, v ? std::string(v->listText) : std::string());
}
TAMREL_EXPORT(web_wave_default) const char* web_wave_default(void* h, int i)
{
    const auto* q = entry(tamrel::kSoundWaveQuestions, i);
    return keep(of(h).text, q ? tamrel::soundWaveDefaultText(of(h).lab.state(), q->field) : std::string());
}

// --- Boxes and buttons: 1 acted, 0 refused (web_message says why) ---------
TAMREL_EXPORT(web_set_cells) int web_set_cells(void* h, const char* text)
{
    return said(of(h).lab.setCells(text));
}
TAMREL_EXPORT(web_set_courant) int web_set_courant(void* h, const char* text)
{
    return said(of(h).lab.setCourant(text));
}
TAMREL_EXPORT(web_set_scheme) int web_set_scheme(void* h, const char* name)
{
    return said(of(h).lab.setScheme(name));
}
TAMREL_EXPORT(web_load_test) int web_load_test(void* h, int number)
{
    return said(of(h).lab.loadTest(number));
}
// `answers`: the seven answers, each ended by a NUL.
TAMREL_EXPORT(web_load_sound_wave) int web_load_sound_wave(void* h, const char* answers)
{
    std::string a[7];
    for (auto& one : a) {
        one = answers;
        answers += one.size() + 1;
    }
    return said(of(h).lab.loadSoundWave(a));
}
TAMREL_EXPORT(web_begin) int web_begin(void* h)
{
    return said(of(h).lab.begin());
}
TAMREL_EXPORT(web_pause) int web_pause(void* h)
{
    return said(of(h).lab.pause());
}
TAMREL_EXPORT(web_continue) int web_continue(void* h)
{
    return said(of(h).lab.resume());
}
TAMREL_EXPORT(web_restart) int web_restart(void* h)
{
    return said(of(h).lab.restart());
}
// 0 running, 1 stopped (halted or finished), 2 faulted (web_message says why).
TAMREL_EXPORT(web_tick) int web_tick(void* h, double budgetMs)
{
    return static_cast<int>(of(h).lab.tick(budgetMs));
}

// --- What the page shows ----------------------------------------------------
TAMREL_EXPORT(web_cells) int web_cells(void* h)
{
    return of(h).lab.state().NGridCells;
}
TAMREL_EXPORT(web_time) double web_time(void* h)
{
    return of(h).lab.state().TimeNow;
}
TAMREL_EXPORT(web_stop_time) double web_stop_time(void* h)
{
    return of(h).lab.state().TStop;
}
TAMREL_EXPORT(web_cycle) int web_cycle(void* h)
{
    return of(h).lab.state().NCycle;
}
TAMREL_EXPORT(web_steps) double web_steps(void* h)
{
    return static_cast<double>(of(h).lab.acceptedSteps());
}
TAMREL_EXPORT(web_courant) double web_courant(void* h)
{
    return of(h).lab.state().CourantNumber;
}
TAMREL_EXPORT(web_snapshots) int web_snapshots(void* h)
{
    return of(h).lab.state().NStoredStates;
}
TAMREL_EXPORT(web_phase) int web_phase(void* h)
{
    return static_cast<int>(tamrel::PhaseOf(of(h).lab.state()));
}
TAMREL_EXPORT(web_sound_view) int web_sound_view(void* h)
{
    return of(h).lab.state().RiemannPlots;
}
TAMREL_EXPORT(web_scheme) const char* web_scheme(void* h)
{
    return of(h).lab.state().SchemeName.c_str();
}
TAMREL_EXPORT(web_status) const char* web_status(void* h)
{
    return keep(of(h).text, tamrel::RunStatusText(of(h).lab.state()));
}

// The three plots: 7 blocks of N doubles (cell centres, the three plotted
// quantities, their exact values or NaN where there are none), then each
// plot's y-range (minimum, maximum).
TAMREL_EXPORT(web_plots) const double* web_plots(void* h)
{
    return of(h).views.plots(of(h).lab.state());
}
// The exact solution's readout line under the plots.
TAMREL_EXPORT(web_readout) const char* web_readout(void* h)
{
    return of(h).views.readout().c_str();
}
// The space-time picture of `variable` (a list text), W x H RGBA pixels, top
// row first; null when there is nothing to draw yet.
TAMREL_EXPORT(web_spacetime) const unsigned char* web_spacetime(void* h, const char* variable, int W, int H)
{
    return of(h).views.spaceTime(of(h).lab.state(), variable, W, H);
}
TAMREL_EXPORT(web_spacetime_min) double web_spacetime_min(void* h)
{
    return of(h).views.spaceTimeRange()[0];
}
TAMREL_EXPORT(web_spacetime_max) double web_spacetime_max(void* h)
{
    return of(h).views.spaceTimeRange()[1];
}
// The final state as a batch run's --out writes it.
TAMREL_EXPORT(web_csv) const char* web_csv(void* h)
{
    return keep(of(h).text, tamrel::web::FinalStateCsv(of(h).lab.state()));
}
