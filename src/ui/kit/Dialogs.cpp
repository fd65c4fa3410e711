// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/Dialogs.h"

namespace tamrel {

std::optional<std::vector<std::string>> Dialogs::chooseSchemes(const std::string& prompt, const std::string& title,
    const std::vector<std::string>&, const std::vector<std::string>& chosen)
{
    std::string given;
    for (const std::string& name : chosen)
        given += (given.empty() ? "" : ", ") + name;
    const auto answer = inputBox(prompt, title, given);
    if (!answer)
        return std::nullopt;
    std::vector<std::string> names;
    std::string name;
    for (char c : *answer + ",") {
        if (c == ',' || c == ' ' || c == ';') {
            if (!name.empty())
                names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    return names;
}

} // namespace tamrel
