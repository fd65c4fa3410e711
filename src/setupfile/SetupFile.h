// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The set-up text file: thirteen keyed parameters, the optional keys TStop,
// MnBdry and MxBdry (any order, each once; a file without them reads as it
// always did), an empty line, the table header and the table of selected
// cells with its two end entries.
//
//   NDifferenceScheme        3
//   NGridCells               100
//   ...                      (keys at column 1, values at column 25)
//   NSelected                6
//   TStop                    0.2
//   MnBdry                   2
//   MxBdry                   2
//
//   MSelected          X                        Rho                      P                        VX
//    0             -1E-07                    1                        1000                     0
//   ...
//
// Header words stand at columns 1, 20, 45, 70, 95; the row numbers at columns
// 1, 15, 40, 65, 90. Every number is a sign place ("-" or a blank), its
// digits (whole numbers in full, others to 15 significant digits) and one
// blank. Lines end with CR LF.
//
// Reading accepts any blank space: fields are separated by blanks or a comma.
// Keys and header are checked word for word; everything read goes into a
// SetupData, and the state changes only when the whole file passed
// (CommitSetup).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/ExperimentState.h"

namespace tamrel {

// Everything a set-up file holds. The table vectors have NSelected + 2
// elements, entries 0..NSelected+1.
struct SetupData {
    Long NDifferenceScheme = 0;
    Long NGridCells = 0;
    double SoundSpeed0 = 0;
    double CourantNumber = 0;
    double RhoMax = 0, RhoMin = 0;
    double PMax = 0, PMin = 0;
    double VXMax = 0, VXMin = 0;
    double Periods = 0;
    Long NPlotsPerPeriod = 0;
    Long NSelected = 0;
    // Optional keys after NSelected (files written before them read without):
    // the problem's stop time and the two boundary types.
    std::optional<double> TStop;
    std::optional<Long> MnBdry, MxBdry;
    std::vector<Long> MSelected;
    std::vector<double> XSelected, RhoSelected, PSelected, VXSelected;
    bool operator==(const SetupData&) const = default;
};

enum class SetupReadStatus {
    Ok, // `data` holds the whole file
    SilentFailure, // a file that cannot be opened: no message
    Rejected, // a wrong key, separator line, header or value, a file that ends
              // early or a field that is no number: show `message`
};

struct SetupReadResult {
    SetupReadStatus status = SetupReadStatus::SilentFailure;
    std::string message; // for Rejected: the message box text, lines joined by CR LF
    int line = 0; // for Rejected: the line it is about, from 1 (0: the file as a whole)
    SetupData data; // for Ok
};

// The closing lines of every rejection message.
inline constexpr std::string_view kSetupRejectTail = "You screwed up.   This input file will be ignored.";

// The whole file for the current state.
std::string WriteSetupText(const ExperimentState& s);

// Creates (or replaces) the file and writes the set-up; false when the file
// cannot be created or written, and then a file already there is unchanged.
bool WriteSetupFile(const ExperimentState& s, const std::string& path);

SetupReadResult ReadSetupText(std::string_view text);
// A path that is no regular file (a folder, a FIFO, a device) is Rejected
// with a message that says what it is, without waiting on it.
SetupReadResult ReadSetupFile(const std::string& path);

// The range checks beyond the file's own layout: NGridCells in 6..5000,
// positive SoundSpeed0, Periods and NPlotsPerPeriod, a Courant number in
// (0, 1), a history (Periods x NPlotsPerPeriod rows) of at least one row
// within the memory limit, NSelected in 0..NGridCells, and a table of
// NSelected + 2 entries: entry 0 at cell 0, entries 1..NSelected strictly
// increasing within 1..N, the last entry at cell N + 1, every density and
// pressure above 0, and every value within what the single-precision
// history stores and the 32-bit schemes compute (densities and pressures
// from 1E-30 to 1E+30, speeds up to 1E+30, energies and their fluxes below
// 1E+36). Returns the rejection message, or "" when all hold.
std::string CheckSetupData(const SetupData& d);

// The commit step of Read Setup: NSelected, the table entries (the table
// resized to 0..NGridCells+2 of the file's grid, keeping the rest), then the
// eleven parameters and NGridCells; the stop time a file names becomes the
// problem's own (ProblemTStop, kept at any grid size; without it the run
// lasts Periods time units) and the boundary types it names are taken (without
// them the types in force stay). The problem starts afresh: TimeNow = 0
// and Stopped = 1, so that the rebuild that follows replays every entry.
// Refuses (false, nothing changed) data that fails CheckSetupData. The
// window then runs RebuildGridState.
bool CommitSetup(ExperimentState& s, const SetupData& d);

} // namespace tamrel
