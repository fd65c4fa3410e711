// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a batch run was asked for, checked as far as the command line alone
// can check it. The values of the grid and run boxes stay as typed: the
// boxes decide whether they take them.

#include <optional>
#include <string>
#include <vector>

namespace tamrel {

struct BatchOptions {
    std::optional<long> cells;
    std::optional<std::string> scheme;
    bool meter = false;
    std::optional<std::string> periods;
    std::optional<std::string> plotsPerUnit;
    std::optional<std::string> courant;
    std::optional<int> test;
    bool soundWave = false;
    std::vector<std::string> wave; // the seven answers A+,k+,A-,k-,A0,k0,u0, or none
    std::optional<std::string> setupFile;
    std::optional<std::string> outFile;
    std::optional<std::string> historyFile;
    std::optional<std::string> spaceTimeFile;
    std::optional<std::string> plotsFile; // the three line plots of the final state (.png or .svg)
    std::optional<std::string> animationFile; // every stored snapshot's plots as an animated GIF
    std::string variable = "Density";
    std::string size = "small";
    bool exact = false; // exact columns and L1 distances
    bool waves = false; // the exact waves on the space-time picture
    std::vector<std::string> schemes; // --schemes: a comparison (batch) or the study's schemes
    bool convergence = false; // --convergence: a study over --schemes and the --cells ladder
    std::vector<long> ladder; // the study's grid sizes
    std::optional<std::string> plotFile; // the study's log-log plot (.png or .svg)
    std::string name = "Batch";
    int threads = 2;
};

} // namespace tamrel
