// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialogs as the window shows them: QInputDialog, QMessageBox, QFileDialog.

#include "ui/kit/Dialogs.h"

class QWidget;

namespace tamrel {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr)
        : parent_(parent)
    {
    }
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
        const std::string& defaultAnswer, std::optional<ScreenPosTwips> position) override;
    // The form as one dialog (ui/window/FormDialog.h).
    std::optional<FormAnswers> askForm(const Form& form) override;
    void messageBox(const std::string& text, const std::string& title) override;
    std::optional<std::vector<std::string>> chooseSchemes(const std::string& prompt, const std::string& title,
        const std::vector<std::string>& choices, const std::vector<std::string>& chosen) override;
    using Dialogs::openFileName;
    std::optional<std::string> openFileName(
        const std::string& filter, const std::string& title, const std::string& folder) override;
    std::optional<std::string> saveFileName(const std::string& filter) override;
    std::optional<SaveChoice> saveFileOfKind(const std::string& filter) override;

private:
    QWidget* parent_;
};

// "All Files (*.*)|*.*|Text Files (*.txt)|*.txt" -> "All Files (*.*);;Text Files (*.txt)".
std::string qtFilterFromPipeFilter(const std::string& filter);

} // namespace tamrel
