// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialogs answered from a script: for tests and for batch runs. Every
// question asked is recorded, so a test can check prompts, titles, defaults.

#include <deque>
#include <string>
#include <vector>

#include "ui/kit/Dialogs.h"

namespace tamrel {

class ScriptedDialogs : public Dialogs {
public:
    struct Asked {
        std::string prompt, title, defaultAnswer;
    };

    // Queue the answer to the next input box; nullopt answers as a cancel.
    void answer(std::optional<std::string> a) { answers_.push_back(std::move(a)); }
    void answerFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    // With no queued answer the default is accepted (like pressing OK).
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
        const std::string& defaultAnswer, std::optional<ScreenPosTwips>) override
    {
        asked.push_back({ prompt, title, defaultAnswer });
        if (answers_.empty())
            return defaultAnswer;
        auto a = answers_.front();
        answers_.pop_front();
        return a;
    }
    // A form is answered from the queue of answers, value by value in the
    // order of its chain of prompts (Dialogs::askForm), unless cancelForm()
    // queued a Cancel of the whole form.
    void cancelForm() { ++formCancels_; }
    std::optional<FormAnswers> askForm(const Form& form) override
    {
        forms.push_back(form.title);
        if (formCancels_ > 0) {
            --formCancels_;
            return std::nullopt;
        }
        return Dialogs::askForm(form);
    }
    void messageBox(const std::string& text, const std::string&) override { messages.push_back(text); }
    // Each open dialog asked for, as it was asked.
    struct Opened {
        std::string filter, title, folder;
    };
    using Dialogs::openFileName;
    std::optional<std::string> openFileName(
        const std::string& filter, const std::string& title, const std::string& folder) override
    {
        opened.push_back({ filter, title, folder });
        return nextFile();
    }
    std::optional<std::string> saveFileName(const std::string&) override { return nextFile(); }
    // The kind queued with answerKind, or -1 (by the name) when none is.
    void answerKind(int kind) { kinds_.push_back(kind); }
    std::optional<SaveChoice> saveFileOfKind(const std::string&) override
    {
        auto path = nextFile();
        int kind = -1;
        if (!kinds_.empty()) {
            kind = kinds_.front();
            kinds_.pop_front();
        }
        if (!path)
            return std::nullopt;
        return SaveChoice { *path, kind };
    }

    std::size_t pendingAnswers() const { return answers_.size(); }

    std::vector<Asked> asked;
    std::vector<std::string> messages;
    std::vector<Opened> opened;
    std::vector<std::string> forms; // the title of each form asked

private:
    std::optional<std::string> nextFile()
    {
        if (files_.empty())
            return std::nullopt;
        auto f = files_.front();
        files_.pop_front();
        return f;
    }
    std::deque<std::optional<std::string>> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<int> kinds_;
    int formCancels_ = 0;
};

} // namespace tamrel
