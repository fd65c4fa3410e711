// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every question the lab asks and every message it shows goes through this
// one small interface, so tests and batch runs can script the answers and a
// run can start without blocking on a modal prompt.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tamrel {

struct ScreenPosTwips {
    int left = 0;
    int top = 0;
};

// One value of a form: asked with `prompt` (the label), `title` naming it
// (the title of the one-line prompt that asks it alone), `defaultAnswer`
// filled in. With `choices` the value is picked from a list (each choice's
// value and the text shown for it). `check` says why a value is refused
// ("" when it is taken); `asked` says whether the value is asked at all
// after the answers before it (unset: always). A value whose check refuses
// it may be asked once more, with the reason before the prompt, when
// `againDefault` is set (the chain of prompts only: a form refuses OK).
struct FormField {
    // A field is made from its prompt, title and default; the rest is set
    // after, where a field has it.
    FormField(std::string prompt_, std::string title_, std::string defaultAnswer_)
        : prompt(std::move(prompt_))
        , title(std::move(title_))
        , defaultAnswer(std::move(defaultAnswer_))
    {
    }

    std::string prompt;
    std::string title;
    std::string defaultAnswer;
    struct Choice {
        std::string value;
        std::string text;
    };
    std::vector<Choice> choices;
    std::function<std::string(const std::string&)> check;
    std::function<bool(const std::vector<std::optional<std::string>>& before)> asked;
    std::optional<std::string> againDefault;
};

struct Form {
    std::string title;
    std::vector<FormField> fields;
    // Why the values together are refused ("" when they are taken); shown
    // under the fields.
    std::function<std::string(const std::vector<std::optional<std::string>>&)> check;
    std::optional<ScreenPosTwips> position;
};

// A form's answers, one for each field; nullopt for a field not asked or
// whose prompt was cancelled.
using FormAnswers = std::vector<std::optional<std::string>>;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal input box. nullopt when cancelled (callers treat it as an empty answer).
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
        const std::string& defaultAnswer, std::optional<ScreenPosTwips> position = std::nullopt)
        = 0;
    // Every value of `form` at once; nullopt when the whole form was
    // cancelled (nothing is to change). Without a form of its own, the
    // values are asked one by one with input boxes, in order, as a chain of
    // prompts asks them: a cancelled prompt then answers its value alone.
    virtual std::optional<FormAnswers> askForm(const Form& form);
    // A modal message box with an OK button.
    virtual void messageBox(const std::string& text, const std::string& title = "Tamrel") = 0;
    // Picks some of `choices` (the schemes to compare), `chosen` ticked at
    // first; nullopt when cancelled. Without a dialog of its own, an input
    // box takes the names separated by commas.
    virtual std::optional<std::vector<std::string>> chooseSchemes(const std::string& prompt,
        const std::string& title, const std::vector<std::string>& choices, const std::vector<std::string>& chosen);
    // File dialogs with a filter such as "All Files (*.*)|*.*|Text Files (*.txt)|*.txt";
    // nullopt when cancelled.
    // The open dialog is titled `title` and starts in `folder` ("": where the
    // dialog would start of itself).
    virtual std::optional<std::string> openFileName(
        const std::string& filter, const std::string& title, const std::string& folder)
        = 0;
    // Read Setup's open dialog.
    std::optional<std::string> openFileName(const std::string& filter)
    {
        return openFileName(filter, "Read Setup", "");
    }
    virtual std::optional<std::string> saveFileName(const std::string& filter) = 0;
    // A save dialog whose filter offers several kinds of file: the path and
    // the position of the kind chosen in the filter (0 for the first), or -1
    // when the dialog cannot tell (the caller then goes by the name).
    struct SaveChoice {
        std::string path;
        int kind = -1;
    };
    virtual std::optional<SaveChoice> saveFileOfKind(const std::string& filter)
    {
        auto path = saveFileName(filter);
        if (!path)
            return std::nullopt;
        return SaveChoice { *path, -1 };
    }
};

} // namespace tamrel
