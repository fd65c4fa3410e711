// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/Dialogs.h"

namespace tamrel {

std::optional<FormAnswers> Dialogs::askForm(const Form& form)
{
    FormAnswers answers;
    for (const FormField& f : form.fields) {
        if (f.asked && !f.asked(answers)) {
            answers.emplace_back();
            continue;
        }
        auto answer = inputBox(f.prompt, f.title, f.defaultAnswer, form.position);
        if (answer && f.againDefault && f.check) {
            if (const std::string why = f.check(*answer); !why.empty())
                answer = inputBox(why + "  " + f.prompt, f.title, *f.againDefault, form.position);
        }
        answers.push_back(std::move(answer));
    }
    return answers;
}

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
