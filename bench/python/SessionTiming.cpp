// SPDX-License-Identifier: GPL-3.0-or-later
// A 400-cell Test 1 run through the lab session with no interpreter in
// between: the C++ half of bench/python-cost. Prints the seconds of each run.
//
//   tamrel_session_timing [RUNS] [CELLS] [TEST]

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "lab/LabSession.h"

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const long cells = argc > 2 ? std::atol(argv[2]) : 400;
    const int test = argc > 3 ? std::atoi(argv[3]) : 1;
    for (int k = 0; k < runs; ++k) {
        const auto start = std::chrono::steady_clock::now();
        tamrel::lab::LabSession s;
        // The order run_test sets them in: the grid size, then the problem.
        if (auto why = s.setGridCells(cells); why || (why = s.loadTest(test)) || (why = s.runToEnd())) {
            std::fprintf(stderr, "%s\n", why->c_str());
            return 1;
        }
        // The final state handed back, as run_test hands it to Python.
        const tamrel::lab::GridValues grid = s.grid();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%.9f %.17g\n", took.count(), grid.rho[grid.rho.size() / 2]);
    }
    return 0;
}
