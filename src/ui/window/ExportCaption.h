// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an exported picture, a report or an animation says it shows: the
// problem last set up (followed from the buttons that set one up) and the
// caption line built from it and the record.

#include <QObject>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QRectF;
class QWidget;

namespace tamrel {

struct ExperimentState;

// A child of the window that keeps the name of the problem last set up:
// "Test N" after a test's button, "Sound wave" after a sound wave was set up,
// "Set-up file" after a set-up file was read.
class ProblemTracker : public QObject {
public:
    ProblemTracker(QWidget& window, const ExperimentState& state);
    const std::string& name() const { return name_; }

private:
    std::string name_ = "Default problem";
};

// The problem `window` shows ("Default problem" when it keeps no tracker).
std::string problemNameOf(const QWidget& window);

// The caption line of what `window` shows: the student's name, the problem,
// the scheme (or the schemes of a comparison), the time and the grid size.
// `time` stands for the record's time (a stored snapshot's, in an animation).
std::string captionOf(const QWidget& window, const ExperimentState& s, std::optional<double> time = std::nullopt);

// Height of the caption strip under an exported picture.
inline constexpr int kCaptionHeight = 26;
// Draws `caption` into `area` (white, a thin rule above, the text left aligned).
void paintCaption(QPainter& p, const QRectF& area, const std::string& caption);

} // namespace tamrel
