// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A student's answers to a lab sheet's questions, as a small JSON file:
//   { "sheet": "shock-tube-waves.json", "answers": ["the fan, ...", "0.73", ""] }
// one text for each question in order. The sheet window keeps them in the
// application's data folder, one file per sheet, so the same sheet opened
// again shows them; `tamrel --check SHEET --answers FILE` grades such a file.

#include <optional>
#include <string>
#include <vector>

namespace tamrel {

// The answers in `path`; nothing, and `why` (a sentence), when the file
// cannot be read or is not an answers file. `sheet`, when given, receives
// the sheet the file names ("" when it names none).
std::optional<std::vector<std::string>> ReadSheetAnswers(
    const std::string& path, std::string& why, std::string* sheet = nullptr);

// Writes `answers` to `path` (its folder made when missing), naming the
// sheet's file; false, and `why`, when it cannot.
bool WriteSheetAnswers(const std::string& path, const std::string& sheetFile,
    const std::vector<std::string>& answers, std::string& why);

// Where the window keeps the answers to the sheet in `sheetFile`: in the
// application's data folder, "answers/NAME-HASH.json", NAME the sheet's file
// name and HASH from its full path, so two sheets of one name in two folders
// keep answers of their own.
std::string SavedAnswersPath(const std::string& sheetFile);

} // namespace tamrel
