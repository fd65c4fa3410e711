// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A form of several values in one dialog ("dlgForm"): each value under its
// prompt, a list to pick from where the form offers choices, and the reason
// a value is refused in red beside it. OK is refused while any value (or
// the values together) is refused; a value the form does not ask after the
// ones before it is greyed out. Cancel answers nothing.

#include <QDialog>
#include <vector>

#include "ui/kit/Dialogs.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace tamrel {

class FormDialog : public QDialog {
    Q_OBJECT
public:
    FormDialog(const Form& form, QWidget* parent = nullptr);
    // The values as they stand (nullopt for a field not asked).
    FormAnswers values() const;
    // Whether OK takes the values now.
    bool acceptable() const;

private:
    void refresh();
    std::string valueOf(std::size_t k) const;

    const Form& form_;
    std::vector<QLineEdit*> boxes_; // null where a list is shown
    std::vector<QComboBox*> lists_; // null where a box is shown
    std::vector<QLabel*> reasons_;
    QLabel* formReason_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

} // namespace tamrel
