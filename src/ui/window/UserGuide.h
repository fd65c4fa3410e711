// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user guide the Help menu (F1) shows: docs/guide.md and its pictures,
// built into the program as resources under ":/guide".

#include <QString>
#include <QStringList>

namespace tamrel {

QString userGuideMarkdown();
// The resource folder the guide's relative picture names are found in.
QString userGuideFolder();
// The pictures the guide's text refers to ("images/x.png").
QStringList userGuidePictures(const QString& markdown);

} // namespace tamrel
