// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers typed into the lab's prompts. A cancelled or empty answer keeps
// the value before; an answer that is refused says why, so the student is
// never asked again, or left with the old value, in silence.

#include <optional>
#include <string>

namespace tamrel {

// Why `answer` to the prompt `title` is refused as a number ("" when it is a
// number, or when it is empty or cancelled).
std::string NotANumberReason(const std::string& title, const std::optional<std::string>& answer);

// Appends one refusal to a line of them ("" adds nothing).
void AddReason(std::string& line, const std::string& reason);

} // namespace tamrel
