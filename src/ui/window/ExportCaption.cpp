// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/ExportCaption.h"

#include <QAbstractButton>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <memory>

#include "app/report/RunCaption.h"
#include "presets/ShockTubeTests.h"
#include "state/ExperimentState.h"
#include "ui/kit/Controls.h"
#include "ui/window/frmTamrel.h"

namespace tamrel {

ProblemTracker::ProblemTracker(QWidget& window, const ExperimentState& state)
    : QObject(&window)
{
    setObjectName(QStringLiteral("problemTracker"));
    for (int t = 1; t <= kShockTubeTestCount; ++t) {
        if (auto* b = findControl<QAbstractButton>(window, "cmdTest" + std::to_string(t)))
            connect(b, &QAbstractButton::clicked, this, [this, t] { name_ = "Test " + std::to_string(t); });
    }
    // A sound wave whose prompts were refused or cancelled leaves the problem as it was.
    if (auto* b = findControl<QAbstractButton>(window, "cmdSoundWave"))
        connect(b, &QAbstractButton::clicked, this, [this, &state] {
            if (state.RiemannPlots != 0)
                name_ = "Sound wave";
        });
    // A set-up file read changes the problem's description under the time box.
    auto* label = findControl<QLabel>(window, "lblStudentID");
    if (auto* b = findControl<QAbstractButton>(window, "cmdReadSetUp"); b && label) {
        auto before = std::make_shared<QString>();
        connect(b, &QAbstractButton::pressed, this, [label, before] { *before = label->text(); });
        connect(b, &QAbstractButton::clicked, this, [this, label, before] {
            if (label->text() != *before)
                name_ = "Set-up file";
        });
    }
}

std::string problemNameOf(const QWidget& window)
{
    const auto* tracker = window.findChild<const ProblemTracker*>(QStringLiteral("problemTracker"));
    return tracker ? tracker->name() : std::string("Default problem");
}

std::string captionOf(const QWidget& window, const ExperimentState& s, std::optional<double> time)
{
    std::vector<std::string> schemes;
    if (const auto* w = dynamic_cast<const frmTamrel*>(&window))
        schemes = w->comparedSchemes();
    report::CaptionFacts facts = report::CaptionFactsOf(s, problemNameOf(window), schemes);
    if (time)
        facts.time = *time;
    return report::CaptionLine(facts);
}

void paintCaption(QPainter& p, const QRectF& area, const std::string& caption)
{
    p.save();
    p.fillRect(area, Qt::white);
    p.setPen(QPen(QColor(170, 170, 170), 1));
    p.drawLine(area.topLeft() + QPointF(0, 0.5), area.topRight() + QPointF(0, 0.5));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(Qt::black);
    const QRectF text = area.adjusted(8, 0, -8, 0);
    // A long name is cut short with an ellipsis rather than cut off unseen.
    const QString line = p.fontMetrics().elidedText(
        QString::fromStdString(caption), Qt::ElideRight, static_cast<int>(text.width()));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, line);
    p.restore();
}

} // namespace tamrel
