// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/FormDialog.h"
#include "ui/kit/QtDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tamrel {

namespace {
    QLabel* reasonLabel(QWidget* parent, const QString& name)
    {
        auto* l = new QLabel(parent);
        l->setObjectName(name);
        l->setWordWrap(true);
        l->setStyleSheet(QStringLiteral("color: #b00000"));
        l->hide();
        return l;
    }
} // namespace

FormDialog::FormDialog(const Form& form, QWidget* parent)
    : QDialog(parent)
    , form_(form)
{
    setObjectName(QStringLiteral("dlgForm"));
    setWindowTitle(QString::fromStdString(form.title));
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    for (std::size_t k = 0; k < form.fields.size(); ++k) {
        const FormField& f = form.fields[k];
        const int row = static_cast<int>(2 * k);
        auto* prompt = new QLabel(QString::fromStdString(f.prompt), this);
        prompt->setWordWrap(true);
        prompt->setToolTip(QString::fromStdString(f.title));
        prompt->setMinimumWidth(320);
        grid->addWidget(prompt, row, 0);
        QLineEdit* box = nullptr;
        QComboBox* list = nullptr;
        QWidget* editor = nullptr;
        if (f.choices.empty()) {
            box = new QLineEdit(QString::fromStdString(f.defaultAnswer), this);
            box->setObjectName(QStringLiteral("txtForm%1").arg(k));
            connect(box, &QLineEdit::textChanged, this, [this] { refresh(); });
            editor = box;
        } else {
            list = new QComboBox(this);
            list->setObjectName(QStringLiteral("cboForm%1").arg(k));
            for (const FormField::Choice& c : f.choices)
                list->addItem(QString::fromStdString(c.text), QString::fromStdString(c.value));
            const int chosen = list->findData(QString::fromStdString(f.defaultAnswer));
            list->setCurrentIndex(std::max(0, chosen));
            connect(list, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
            editor = list;
        }
        prompt->setBuddy(editor);
        grid->addWidget(editor, row, 1);
        auto* reason = reasonLabel(this, QStringLiteral("lblFormReason%1").arg(k));
        grid->addWidget(reason, row + 1, 0, 1, 2);
        boxes_.push_back(box);
        lists_.push_back(list);
        reasons_.push_back(reason);
    }
    formReason_ = reasonLabel(this, QStringLiteral("lblFormReason"));
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
        if (acceptable())
            accept();
    });
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(formReason_);
    layout->addWidget(buttons_);
    refresh();
}

std::string FormDialog::valueOf(std::size_t k) const
{
    if (lists_[k])
        return lists_[k]->currentData().toString().toStdString();
    return boxes_[k]->text().toStdString();
}

FormAnswers FormDialog::values() const
{
    FormAnswers out;
    for (std::size_t k = 0; k < form_.fields.size(); ++k) {
        const FormField& f = form_.fields[k];
        if (f.asked && !f.asked(out))
            out.emplace_back();
        else
            out.emplace_back(valueOf(k));
    }
    return out;
}

bool FormDialog::acceptable() const
{
    const FormAnswers v = values();
    for (std::size_t k = 0; k < form_.fields.size(); ++k)
        if (v[k] && form_.fields[k].check && !form_.fields[k].check(*v[k]).empty())
            return false;
    return !form_.check || form_.check(v).empty();
}

void FormDialog::refresh()
{
    const FormAnswers v = values();
    bool ok = true;
    for (std::size_t k = 0; k < form_.fields.size(); ++k) {
        QWidget* editor = lists_[k] ? static_cast<QWidget*>(lists_[k]) : boxes_[k];
        editor->setEnabled(v[k].has_value());
        const std::string why = v[k] && form_.fields[k].check ? form_.fields[k].check(*v[k]) : std::string();
        reasons_[k]->setText(QString::fromStdString(why));
        reasons_[k]->setVisible(!why.empty());
        ok = ok && why.empty();
    }
    // The values together, once each one is taken on its own.
    const std::string why = ok && form_.check ? form_.check(v) : std::string();
    formReason_->setText(QString::fromStdString(why));
    formReason_->setVisible(!why.empty());
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(ok && why.empty());
}

std::optional<FormAnswers> QtDialogs::askForm(const Form& form)
{
    FormDialog dialog(form, parent_);
    if (form.position)
        dialog.move(form.position->left / 15, form.position->top / 15);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

} // namespace tamrel
