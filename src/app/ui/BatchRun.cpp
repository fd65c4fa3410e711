#include "app/ui/BatchRun.h"

#include <QComboBox>
#include <QLineEdit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "app/ui/ScriptedDialogs.h"
#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "run/TimeStep.h"
#include "setupfile/SetupFile.h"

namespace tamrel {

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "tamrel: %s\n", message.c_str());
    return 2;
}

std::string num17(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::vector<std::string> splitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::stringstream ss(text);
    std::string item;
    while (std::getline(ss, item, ','))
        parts.push_back(item);
    return parts;
}

double storedValue(const ExperimentState& s, const BoundedArray<float>& a, long k, bool logged)
{
    const double v = a[k];
    return logged && s.LogPlots != 0 ? std::pow(10.0, v) : v;
}

// The first line of both files: where the run ended.
void writeRunLine(std::ostream& out, const ExperimentState& s)
{
    out << "# time=" << num17(s.TimeNow) << " scheme=" << s.SchemeName << " cells=" << s.NGridCells
        << " cycles=" << s.NCycle << " snapshots=" << s.NStoredStates << "\n";
}

bool writeFinalState(const ExperimentState& s, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    if (!out)
        return false;
    const long n = s.NGridCells;
    writeRunLine(out, s);
    out << "cell,x,rho,p,vx,vy,smoke\n";
    for (long i = 1; i <= n; ++i)
        out << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ',' << num17(s.Rho[i]) << ',' << num17(s.P[i]) << ','
            << num17(s.VX[i]) << ',' << num17(s.VY[i]) << ',' << num17(s.FSmoke[i]) << "\n";
    return static_cast<bool>(out);
}

bool writeHistory(const ExperimentState& s, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    if (!out)
        return false;
    const long n = s.NGridCells;
    writeRunLine(out, s);
    out << "row,time,cell,x,rho,p,vx,vy,smoke\n";
    for (long r = 0; r < s.NStoredStates; ++r) {
        const long o = r * (n + 2);
        if (o + n + 1 > s.NSTValues)
            break;
        const double t = s.StoredTime.contains(r) ? s.StoredTime[r] : 0.0;
        for (long i = 1; i <= n; ++i) {
            const long k = o + i;
            out << r << ',' << num17(t) << ',' << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ','
                << num17(storedValue(s, s.STRho, k, true)) << ',' << num17(storedValue(s, s.STP, k, true)) << ','
                << num17(s.STVX[k]) << ',' << num17(s.STVY[k]) << ',' << num17(s.STFSmoke[k]) << "\n";
        }
    }
    return static_cast<bool>(out);
}

} // namespace

int runBatch(const BatchOptions& o)
{
    // Check everything that can be checked before anything runs.
    if (o.scheme && !kernels::findScheme(*o.scheme))
        return fail("unknown scheme '" + *o.scheme + "' (choose Orvane, Orvane32, Lentor32, Mixtal32 or Sorvi)");
    static const char* const kVariables[] = {"Density", "Pressure", "Velocity", "R+", "R-", "R0 (Entropy)", "VY", "FSmoke"};
    bool knownVariable = false;
    for (const char* v : kVariables)
        knownVariable = knownVariable || o.variable == v;
    if (!knownVariable)
        return fail("unknown space-time variable '" + o.variable + "'");
    std::vector<std::string> waveAnswers;
    if (o.wave) {
        waveAnswers = splitCommas(*o.wave);
        if (waveAnswers.size() != 7)
            return fail("--wave needs seven comma-separated values: A+,k+,A-,k-,A0,k0,u0");
        for (const auto& a : waveAnswers)
            if (!parseNumber(a))
                return fail("--wave value '" + a + "' is not a number");
    }
    const std::pair<const std::optional<std::string>*, const char*> numbers[] = {
        {&o.periods, "--periods"}, {&o.plotsPerUnit, "--plots-per-unit"}, {&o.courant, "--courant"}};
    for (const auto& [value, option] : numbers)
        if (*value && !parseNumber(**value))
            return fail(std::string(option) + " '" + **value + "' is not a number");
    if (o.setupFile) {
        const SetupReadResult read = ReadSetupFile(*o.setupFile);
        if (read.status == SetupReadStatus::Rejected)
            return fail("set-up file rejected: " + read.message);
        if (read.status != SetupReadStatus::Ok) {
            if (!std::ifstream(*o.setupFile))
                return fail("cannot open set-up file '" + *o.setupFile + "'");
            return fail("'" + *o.setupFile + "' is not a complete set-up file");
        }
    }

    ScriptedDialogs dialogs;
    WindowOptions options;
    options.studentName = o.name;
    options.tickBudgetSeconds = 0; // every tick runs its full count of steps
    options.threads = o.threads;
    frmTamrel w(dialogs, options);
    ExperimentState& s = w.state;

    if (o.cells) {
        w.setText(w.txtNGridCells, std::to_string(*o.cells));
        if (s.NGridCells != *o.cells)
            return fail("--cells " + std::to_string(*o.cells) + " was refused");
    }
    if (o.scheme || o.meter) {
        dialogs.answer(o.scheme.value_or(s.SchemeName));
        dialogs.answer(o.meter ? "1" : "0");
        w.cmdNumericalScheme_Click();
    }
    // The boxes ignore a value they refuse; a batch says so instead of
    // running with the value it had.
    if (o.periods) {
        w.setText(w.txtNPeriods, *o.periods);
        if (s.Periods != *parseNumber(*o.periods))
            return fail("--periods " + *o.periods
                + " was refused (above 0, and the snapshots it needs must fit in the history)");
    }
    if (o.plotsPerUnit) {
        w.setText(w.txtNPlotsPerPeriod, *o.plotsPerUnit);
        if (s.NPlotsPerPeriod != roundToLong(*parseNumber(*o.plotsPerUnit)))
            return fail("--plots-per-unit " + *o.plotsPerUnit
                + " was refused (at least 1, and the snapshots it needs must fit in the history)");
    }
    if (o.courant) {
        w.setText(w.txtCourantNumber, *o.courant);
        if (s.CourantNumber != *parseNumber(*o.courant))
            return fail("--courant " + *o.courant + " was refused (it must lie above 0 and below 1)");
    }

    if (o.test) {
        w.cmdTest_Click(*o.test);
    } else if (o.soundWave) {
        for (const auto& a : waveAnswers)
            dialogs.answer(a);
        w.cmdSoundWave_Click();
    } else if (o.setupFile) {
        dialogs.answerFile(*o.setupFile);
        w.cmdReadSetUp_Click();
        if (!dialogs.messages.empty())
            return fail("set-up file rejected: " + dialogs.messages.back());
    }

    // The output files are opened before the run, so a path that cannot be
    // written stops the batch before it runs rather than after.
    for (const auto* path : {&o.outFile, &o.historyFile, &o.spaceTimeFile})
        if (*path && !std::ofstream(**path, std::ios::binary))
            return fail("cannot write '" + **path + "'");

    const auto start = std::chrono::steady_clock::now();
    w.cmdBegin_Click();
    if (s.Stopped != 0) {
        if (!dialogs.messages.empty())
            return fail(dialogs.messages.back());
        return fail("the run could not begin");
    }
    while (s.Stopped == 0 && !w.runFaulted())
        w.tmrMetronome_Timer();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (w.runFaulted()) {
        std::fprintf(stderr, "tamrel: %s\n", dialogs.messages.empty() ? "the run failed" : dialogs.messages.back().c_str());
        if (o.outFile)
            writeFinalState(s, *o.outFile);
        return 1;
    }

    if (o.spaceTimeFile) {
        w.lstGrayVariable->setCurrentText(QString::fromStdString(o.variable));
        if (o.size == "big")
            w.pctSpaceTime_DblClick();
        else
            w.pctSpaceTime_Click();
        if (!w.saveSpaceTimePng(*o.spaceTimeFile))
            return fail("cannot write '" + *o.spaceTimeFile + "'");
    }
    if (o.outFile && !writeFinalState(s, *o.outFile))
        return fail("cannot write '" + *o.outFile + "'");
    if (o.historyFile && !writeHistory(s, *o.historyFile))
        return fail("cannot write '" + *o.historyFile + "'");

    const double updates = static_cast<double>(w.acceptedSteps) * s.NGridCells;
    std::printf("time=%s cycles=%d snapshots=%d seconds=%.6f cell_updates_per_second=%.0f", num17(s.TimeNow).c_str(),
        s.NCycle, s.NStoredStates, seconds, seconds > 0 ? updates / seconds : 0.0);
    if (o.meter) {
        const auto& c = w.stepper->lastCounts();
        const double d = static_cast<double>(w.stepper->lastRepetitions()) * s.NGridCells;
        std::printf(" mflops=%.3f flops_per_cell=%.0f", s.MflopRate, d > 0 ? static_cast<double>(c[0]) / d : 0.0);
    }
    std::printf("\n");
    return 0;
}

} // namespace tamrel
