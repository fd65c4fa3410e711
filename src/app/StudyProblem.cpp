// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StudyProblem.h"

#include <algorithm>
#include <cmath>

#include "app/BatchFiles.h"
#include "app/BatchSession.h"
#include "compare/Difference.h"
#include "lab/LabSession.h"
#include "presets/ShockTubeTests.h"
#include "run/SnapshotRow.h"

namespace tamrel {

namespace {

    // Cells 1..N of two records agree (within float rounding: a record past
    // its start holds its initial grid only in history row 0). The
    // transverse velocity counts: Test 2 is Test 1 with a shear.
    bool sameGrid(const ExperimentState& s, const ExperimentState& set)
    {
        const long n = s.NGridCells;
        if (set.NGridCells != n || set.Gamma != s.Gamma)
            return false;
        auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b)); };
        if (s.isReady()) {
            for (long i = 1; i <= n; ++i)
                if (s.Rho[i] != set.Rho[i] || s.P[i] != set.P[i] || s.VX[i] != set.VX[i] || s.VY[i] != set.VY[i])
                    return false;
            return true;
        }
        const compare::CellValues row0 = compare::StoredRowValues(s, 0);
        if (row0.rho.size() != static_cast<std::size_t>(n))
            return false;
        for (long i = 1; i <= n; ++i) {
            const auto k = static_cast<std::size_t>(i - 1);
            if (!near(row0.rho[k], set.Rho[i]) || !near(row0.p[k], set.P[i]) || !near(row0.vx[k], set.VX[i])
                || !near(StoredPlainValue(s, StoredField::VY, i), set.VY[i]))
                return false;
        }
        return true;
    }

    // The candidate set up on the record's grid size and scheme, in a
    // session of its own and compared there (a copy of a record at 5000 cells
    // costs more than setting one up). The run length and the rest leave the
    // initial cells as they are, so the check leaves them out.
    bool holds(const ExperimentState& s, BatchOptions candidate)
    {
        candidate.periods.reset();
        candidate.plotsPerUnit.reset();
        candidate.courant.reset();
        candidate.scheme = s.SchemeName;
        candidate.cells = s.NGridCells;
        candidate.meter = false;
        lab::LabSession session(1);
        return !batch::setUpSession(session, candidate) && sameGrid(s, session.record());
    }

} // namespace

std::optional<BatchOptions> StudyProblemOf(const ExperimentState& s, std::string& why)
{
    using batch::num17;
    BatchOptions o;
    o.name = s.StudentName.empty() ? "Study" : s.StudentName;
    o.periods = num17(s.Periods);
    o.plotsPerUnit = std::to_string(s.NPlotsPerPeriod);
    o.courant = num17(s.CourantNumber);
    if (s.RiemannPlots != 0) {
        o.soundWave = true;
        o.wave = { num17(s.RPlusAmplitude), std::to_string(s.RPlusFrequency), num17(s.RMinusAmplitude),
            std::to_string(s.RMinusFrequency), num17(s.R0Amplitude), std::to_string(s.R0Frequency), num17(s.U0) };
        if (holds(s, o))
            return o;
    } else {
        for (int t = 1; t <= kShockTubeTestCount; ++t) {
            o.test = t;
            if (holds(s, o))
                return o;
        }
    }
    why = "the problem loaded now is neither one of the eight tests nor a sound wave (a set-up file or an edited "
          "grid cannot be set up again at other resolutions, so it has no exact reference there)";
    return std::nullopt;
}

} // namespace tamrel
