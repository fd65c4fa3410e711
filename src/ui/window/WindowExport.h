// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving what the window shows: the three line plots (one picture, density
// above pressure above velocity) and the space-time picture, each as PNG or
// SVG with a caption line under it (name, problem, scheme, time, grid
// size), and the state on show or the whole history as CSV in the batch
// format. A file is written in full or not at all: an unwritable path is
// refused before anything is drawn, and the target is replaced only once
// its content is complete.

#include <QSize>
#include <optional>
#include <string>

class QPainter;
class QWidget;

namespace tamrel {

struct ExperimentState;

enum class ExportKind { LinePlotsPng, LinePlotsSvg, SpaceTimePng, SpaceTimeSvg, ShownStateCsv, HistoryCsv };

// The save dialog's filter, one entry per kind in the order above.
const char* exportFilter();
// What the dialog's choice and the typed name ask for together: the
// picture or table the filter names, in the format the name's extension
// says (a PNG filter with "x.svg" saves an SVG). Without a filter (index
// -1) the name alone decides: .png and .svg the line plots, .csv the state
// on show. A name whose extension is not one of the chosen kind's formats
// is refused, with the reason, rather than given bytes of another format.
struct ExportChoice {
    std::optional<ExportKind> kind;
    std::string refusal; // when there is no kind
};
ExportChoice exportKindFor(int filterIndex, const std::string& path);

// Each of the three plots in an exported picture, in pixels (SVG: units),
// and the white gap between them.
inline constexpr int kExportPlotWidth = 900;
inline constexpr int kExportPlotHeight = 383;
inline constexpr int kExportPlotGap = 12;
// The three plots alone, and with the caption line under them (an exported picture).
QSize linePlotsPictureSize();
QSize linePlotsExportSize();
// The space-time picture as exported, with its caption line.
QSize spaceTimeExportSize(const QWidget& window);
// The three plots as the window shows them, into linePlotsPictureSize().
void paintLinePlotsAsShown(const QWidget& window, QPainter& p);

// How the line plots are drawn: as the window shows them (its Axes switch
// and exact overlay), or as given (a batch run's --plots: axes, and the
// exact solution only with --exact).
struct PlotsLook {
    bool asShown = true;
    bool axes = true;
    bool exact = false;
};

// Writes `kind` of `window` straight into `path` (a staged file's
// temporary path); nothing, or why not.
std::optional<std::string> writeView(const QWidget& window, const ExperimentState& s, ExportKind kind,
    const std::string& path, const PlotsLook& look = {});

// Writes `kind` of `window` to `path`; nothing, or why not (and then the
// target is as it was).
std::optional<std::string> exportView(
    const QWidget& window, const ExperimentState& s, ExportKind kind, const std::string& path);

} // namespace tamrel
