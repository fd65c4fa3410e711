// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Answers.h"

#include "common/Format.h"

namespace tamrel {

std::string NotANumberReason(const std::string& title, const std::optional<std::string>& answer)
{
    if (!answer || answer->empty() || parseNumber(*answer))
        return {};
    return title + ": \"" + *answer + "\" is not a number; the value before is kept.";
}

void AddReason(std::string& line, const std::string& reason)
{
    if (reason.empty())
        return;
    if (!line.empty())
        line += "  ";
    line += reason;
}

} // namespace tamrel
