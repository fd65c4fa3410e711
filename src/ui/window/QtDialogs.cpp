// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/QtDialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>
#include <algorithm>

namespace tamrel {

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
    const std::string& defaultAnswer, std::optional<ScreenPosTwips> position)
{
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(defaultAnswer));
    dialog.setInputMode(QInputDialog::TextInput);
    if (position)
        dialog.move(position->left / 15, position->top / 15);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

void QtDialogs::messageBox(const std::string& text, const std::string& title)
{
    QMessageBox::information(parent_, QString::fromStdString(title), QString::fromStdString(text));
}

std::optional<std::vector<std::string>> QtDialogs::chooseSchemes(const std::string& prompt,
    const std::string& title, const std::vector<std::string>& choices, const std::vector<std::string>& chosen)
{
    // One box to tick for each scheme, in the table's order.
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("dlgChooseSchemes"));
    dialog.setWindowTitle(QString::fromStdString(title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(QString::fromStdString(prompt), &dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    std::vector<QCheckBox*> boxes;
    for (const std::string& name : choices) {
        auto* box = new QCheckBox(QString::fromStdString(name), &dialog);
        box->setChecked(std::find(chosen.begin(), chosen.end(), name) != chosen.end());
        layout->addWidget(box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    std::vector<std::string> picked;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]->isChecked())
            picked.push_back(choices[i]);
    return picked;
}

std::string qtFilterFromPipeFilter(const std::string& filter)
{
    // Pairs of "description|pattern": Qt wants the descriptions joined by ";;".
    std::string out;
    std::size_t start = 0;
    int field = 0;
    while (start <= filter.size()) {
        const auto bar = filter.find('|', start);
        const std::string part = filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (field % 2 == 0) {
            if (!out.empty())
                out += ";;";
            out += part;
        }
        ++field;
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return out;
}

std::optional<std::string> QtDialogs::openFileName(
    const std::string& filter, const std::string& title, const std::string& folder)
{
    const QString path = QFileDialog::getOpenFileName(parent_, QString::fromStdString(title),
        QString::fromStdString(folder), QString::fromStdString(qtFilterFromPipeFilter(filter)));
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtDialogs::saveFileName(const std::string& filter)
{
    const QString path = QFileDialog::getSaveFileName(
        parent_, QObject::tr("Write Setup"), QString(), QString::fromStdString(qtFilterFromPipeFilter(filter)));
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

std::optional<Dialogs::SaveChoice> QtDialogs::saveFileOfKind(const std::string& filter)
{
    const QStringList kinds = QString::fromStdString(qtFilterFromPipeFilter(filter)).split(QStringLiteral(";;"));
    QString chosen;
    const QString path = QFileDialog::getSaveFileName(
        parent_, QObject::tr("Export"), QString(), kinds.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return std::nullopt;
    return SaveChoice { path.toStdString(), static_cast<int>(kinds.indexOf(chosen)) };
}

} // namespace tamrel
