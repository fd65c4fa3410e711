// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/SheetAnswers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include "ui/window/LabSheetReader.h"

namespace tamrel {

std::optional<std::vector<std::string>> ReadSheetAnswers(
    const std::string& path, std::string& why, std::string* sheet)
{
    const std::optional<QByteArray> bytes = ReadSheetSizedFile(path, why);
    if (!bytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        why = "not JSON: " + error.errorString().toStdString() + " at character " + std::to_string(error.offset);
        return std::nullopt;
    }
    const QJsonValue list = doc.object().value(QLatin1String("answers"));
    if (!doc.isObject() || !list.isArray()) {
        why = "an answers file is one JSON object with a list \"answers\", { \"answers\": [ ... ] }";
        return std::nullopt;
    }
    if (sheet)
        *sheet = doc.object().value(QLatin1String("sheet")).toString().toStdString();
    std::vector<std::string> answers;
    const QJsonArray a = list.toArray();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QJsonValue v = a.at(i);
        if (v.isDouble()) {
            // A number written by hand counts as the text it reads as.
            answers.push_back(QString::number(v.toDouble(), 'g', 17).toStdString());
        } else if (v.isString() || v.isNull()) {
            answers.push_back(v.toString().toStdString());
        } else {
            why = "answers[" + std::to_string(i) + "]: must be a text, a number or null";
            return std::nullopt;
        }
    }
    return answers;
}

bool WriteSheetAnswers(const std::string& path, const std::string& sheetFile,
    const std::vector<std::string>& answers, std::string& why)
{
    const QString file = QString::fromStdString(path);
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        why = "cannot make the folder " + QFileInfo(file).absolutePath().toStdString();
        return false;
    }
    QJsonArray list;
    for (const std::string& a : answers)
        list.append(QString::fromStdString(a));
    QJsonObject o;
    o.insert(QLatin1String("sheet"), QString::fromStdString(sheetFile));
    o.insert(QLatin1String("answers"), list);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(o).toJson()) < 0 || !out.commit()) {
        why = out.errorString().toStdString();
        return false;
    }
    return true;
}

std::string SavedAnswersPath(const std::string& sheetFile)
{
    const QFileInfo sheet(QString::fromStdString(sheetFile));
    const QString full
        = sheet.canonicalFilePath().isEmpty() ? sheet.absoluteFilePath() : sheet.canonicalFilePath();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha256).toHex().left(12));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder)
        .filePath(QStringLiteral("answers/") + sheet.completeBaseName() + QLatin1Char('-') + hash
            + QStringLiteral(".json"))
        .toStdString();
}

} // namespace tamrel
