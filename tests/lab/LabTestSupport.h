// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs of the real program's batch mode, read back, for comparing a lab
// session's numbers with the window's.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lab/LabSession.h"

namespace tamrel::lab::testing {

// The final state a batch run wrote (--out), cells 1..N, and its run line.
struct BatchResult {
    int status = -1;
    std::string runLine;
    std::string summary; // the line printed on stdout
    GridValues grid;
};

inline std::vector<double>& column(GridValues& g, int k)
{
    std::vector<double>* cols[] = { &g.x, &g.rho, &g.p, &g.vx, &g.vy, &g.smoke };
    return *cols[k];
}

#ifdef TAMREL_BINARY
inline constexpr bool kHaveBatch = true;
#else
inline constexpr bool kHaveBatch = false;
#endif

// `args` are the batch's options after --batch; --out is added.
inline BatchResult runBatch(const std::string& args)
{
    BatchResult r;
#ifdef TAMREL_BINARY
    const auto dir = std::filesystem::temp_directory_path()
        / ("tamrel-lab-" + std::to_string(::getpid()) + "-" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    const std::string out = (dir / "final.csv").string();
    const std::string command = std::string(TAMREL_BINARY) + " --batch " + args + " --out " + out + " 2>&1";
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[4096];
        while (std::fgets(buf, sizeof buf, pipe))
            r.summary += buf;
        r.status = ::pclose(pipe);
    }
    std::ifstream in(out);
    std::string line;
    std::getline(in, r.runLine);
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        std::stringstream row(line);
        std::string field;
        std::getline(row, field, ','); // the cell number
        for (int k = 0; k < 6 && std::getline(row, field, ','); ++k)
            column(r.grid, k).push_back(std::strtod(field.c_str(), nullptr));
    }
    std::filesystem::remove_all(dir);
#else
    (void)args;
#endif
    return r;
}

// The run line a batch writes for a session's record.
inline std::string runLineOf(const LabSession& s)
{
    char t[64];
    std::snprintf(t, sizeof t, "%.17g", s.time());
    const ExperimentState& r = s.record();
    return "# time=" + std::string(t) + " scheme=" + r.SchemeName + " cells=" + std::to_string(r.NGridCells)
        + " cycles=" + std::to_string(r.NCycle) + " snapshots=" + std::to_string(r.NStoredStates);
}

} // namespace tamrel::lab::testing
