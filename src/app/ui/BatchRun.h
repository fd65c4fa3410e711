#pragma once
// A run without a visible window, through the same set-up procedures,
// handlers and tick as the window: the window class is created offscreen and
// driven with scripted dialog answers.

#include <optional>
#include <string>

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
    std::optional<std::string> wave; // "A+,k+,A-,k-,A0,k0,u0"
    std::optional<std::string> setupFile;
    std::optional<std::string> outFile;
    std::optional<std::string> historyFile;
    std::optional<std::string> spaceTimeFile;
    std::string variable = "Density";
    std::string size = "small";
    std::string name = "Batch";
    int threads = 2;
};

// Returns the process exit status: 0 a finished run, 1 a run that failed
// (non-finite state), 2 bad arguments (nothing run).
int runBatch(const BatchOptions& options);

} // namespace tamrel
