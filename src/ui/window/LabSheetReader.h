// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a lab sheet, a small JSON file (docs/lab-sheets.md), with Qt's JSON
// reader. Everything the file alone can settle is checked here, each refusal
// naming the key it is about: an unknown key, a missing or doubled problem,
// a value of the wrong kind or out of its range, a tolerance that is not a
// positive number, a set-up file that cannot be read. Whether the problem
// can answer the checks is settled once it is set up (app/sheets/SheetRun.h).

#include <QByteArray>
#include <optional>
#include <string>

#include "app/sheets/LabSheet.h"

namespace tamrel {

struct LabSheetRead {
    std::optional<sheets::LabSheet> sheet;
    sheets::SheetRefusal refusal; // when there is no sheet
};

// The longest file read as a lab sheet; the sheets that ship are a few KiB.
inline constexpr qsizetype kMaxLabSheetBytes = 1 << 20;

// The sheet in file `path`, which must be a regular file of at most
// kMaxLabSheetBytes; a set-up file it names is found beside it.
LabSheetRead ReadLabSheet(const std::string& path);

// The bytes of a regular file of at most kMaxLabSheetBytes (a sheet, or a
// student's answers to one); nothing, and `why`, otherwise.
std::optional<QByteArray> ReadSheetSizedFile(const std::string& path, std::string& why);

// The sheet in `json`, as if read from `path`.
LabSheetRead ParseLabSheet(const QByteArray& json, const std::string& path);

} // namespace tamrel
