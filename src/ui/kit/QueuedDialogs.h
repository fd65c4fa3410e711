// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's dialogs with answers queued ahead: while answers wait, the
// next questions take them instead of asking; otherwise every question goes
// to the dialogs the window was given. Loading a lab sheet answers the
// questions of the scheme, the sound wave and Read Setup this way, so the
// window sets the sheet's problem up through its own buttons.

#include <QObject>
#include <deque>
#include <string>

#include "ui/kit/Dialogs.h"

namespace tamrel {

class QueuedDialogs : public QObject, public Dialogs {
public:
    QueuedDialogs(QObject* parent, Dialogs& inner)
        : QObject(parent)
        , inner_(inner)
    {
    }

    void queueAnswer(std::string a) { answers_.push_back(std::move(a)); }
    void queueFile(std::string path) { files_.push_back(std::move(path)); }
    // Answers a button did not ask for must not answer the user's next question.
    void clearQueue()
    {
        answers_.clear();
        files_.clear();
    }

    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
        const std::string& defaultAnswer, std::optional<ScreenPosTwips> position) override
    {
        if (answers_.empty())
            return inner_.inputBox(prompt, title, defaultAnswer, position);
        std::string a = std::move(answers_.front());
        answers_.pop_front();
        return a;
    }
    // With answers waiting, a form's values take them in order, as its chain
    // of prompts would; otherwise the form is the window's own.
    std::optional<FormAnswers> askForm(const Form& form) override
    {
        if (answers_.empty())
            return inner_.askForm(form);
        return Dialogs::askForm(form);
    }
    std::optional<std::vector<std::string>> chooseSchemes(const std::string& prompt, const std::string& title,
        const std::vector<std::string>& choices, const std::vector<std::string>& chosen) override
    {
        if (answers_.empty())
            return inner_.chooseSchemes(prompt, title, choices, chosen);
        return Dialogs::chooseSchemes(prompt, title, choices, chosen);
    }
    void messageBox(const std::string& text, const std::string& title) override { inner_.messageBox(text, title); }
    using Dialogs::openFileName;
    std::optional<std::string> openFileName(
        const std::string& filter, const std::string& title, const std::string& folder) override
    {
        if (files_.empty())
            return inner_.openFileName(filter, title, folder);
        std::string f = std::move(files_.front());
        files_.pop_front();
        return f;
    }
    std::optional<std::string> saveFileName(const std::string& filter) override
    {
        return inner_.saveFileName(filter);
    }

private:
    Dialogs& inner_;
    std::deque<std::string> answers_;
    std::deque<std::string> files_;
};

} // namespace tamrel
