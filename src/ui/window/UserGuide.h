// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user guide the Help menu (F1) shows: docs/guide.md and its pictures,
// built into the program as resources under ":/guide".

#include <QString>
#include <QStringList>

namespace tamrel {

// A page of the guide's folder: "guide.md", or "lab-sheets.md" (the format
// of a lab sheet, for teachers).
QString userGuideMarkdown(const QString& page = QStringLiteral("guide.md"));
// The resource folder the guide's relative picture names are found in.
QString userGuideFolder();
// The pictures the guide's text refers to ("images/x.png").
QStringList userGuidePictures(const QString& markdown);

} // namespace tamrel
