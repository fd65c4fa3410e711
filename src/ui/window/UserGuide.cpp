// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/UserGuide.h"

#include <QFile>
#include <QRegularExpression>

namespace tamrel {

QString userGuideFolder()
{
    return QStringLiteral(":/guide");
}

QString userGuideMarkdown(const QString& page)
{
    QFile file(userGuideFolder() + QLatin1Char('/') + page);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("# Tamrel user guide\n\nThe guide is missing from this build.\n");
    return QString::fromUtf8(file.readAll());
}

QStringList userGuidePictures(const QString& markdown)
{
    static const QRegularExpression picture(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
    QStringList names;
    for (auto it = picture.globalMatch(markdown); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

} // namespace tamrel
