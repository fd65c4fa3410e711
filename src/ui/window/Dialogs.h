// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every question the lab asks and every message it shows goes through this
// one small interface, so tests and batch runs can script the answers and a
// run can start without blocking on a modal prompt.

#include <optional>
#include <string>
#include <vector>

namespace tamrel {

struct ScreenPosTwips {
    int left = 0;
    int top = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal input box. nullopt when cancelled (callers treat it as an empty answer).
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
        const std::string& defaultAnswer, std::optional<ScreenPosTwips> position = std::nullopt)
        = 0;
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
