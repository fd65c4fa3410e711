// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a file given to the window on its command line is: a lab sheet or a
// set-up file. A file manager hands over whatever its user double-clicked,
// saved under any name, so the contents decide before the name does.

#include <string>
#include <string_view>

namespace tamrel {

enum class OpenedFileKind { LabSheet, Setup };

// A sheet is a JSON object: its first character that is not blank (after a
// byte-order mark) is '{'. A file that is empty or unreadable goes by its name:
// ".json" is a sheet, anything else a set-up, whose reader then says what is
// wrong with it.
OpenedFileKind openedFileKind(std::string_view head, std::string_view name);

// The same for a file on disk, reading at most its first few kilobytes.
OpenedFileKind openedFileKind(const std::string& path);

} // namespace tamrel
