#include "app/ui/WindowExport.h"

#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <memory>

#include "app/ui/BatchSupport.h"
#include "app/ui/Controls.h"
#include "app/ui/LinePlotPicture.h"
#include "app/ui/SpaceTimePicture.h"
#include "common/StagedFile.h"

namespace tamrel {

namespace {

    bool endsWith(std::string name, const std::string& tail)
    {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
    }

    const char* const kPlotNames[] = { "pctDensityPlot", "pctPressurePlot", "pctVelocityPlot" };

    void paintLinePlots(const QWidget& window, QPainter& p, const PlotsLook& look)
    {
        p.fillRect(QRect(QPoint(0, 0), linePlotsExportSize()), Qt::white);
        int top = 0;
        for (const char* name : kPlotNames) {
            const LinePlotPicture* plot = control<LinePlotPicture>(window, name);
            const QRectF area(0, top, kExportPlotWidth, kExportPlotHeight);
            plot->render(p, area, look.asShown ? plot->axesShown() : look.axes, look.asShown || look.exact);
            // A light frame keeps the three plots apart.
            p.setPen(QPen(QColor(170, 170, 170), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
            top += kExportPlotHeight + kExportPlotGap;
        }
    }

    QSize spaceTimeSize(const SpaceTimePicture& picture)
    {
        return QSize(std::max(1, picture.scaleWidth()), std::max(1, picture.scaleHeight()));
    }

    // Draws with `paint` into the kind's format at `file`'s temporary path.
    template <class Paint> bool writePicture(const std::string& path, const QSize& size, bool svg, Paint paint)
    {
        if (svg) {
            QSvgGenerator generator;
            generator.setFileName(QString::fromStdString(path));
            generator.setSize(size);
            generator.setViewBox(QRect(QPoint(0, 0), size));
            generator.setTitle(QStringLiteral("Tamrel"));
            QPainter p;
            if (!p.begin(&generator))
                return false;
            paint(p);
            return p.end();
        }
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            paint(p);
        }
        return image.save(QString::fromStdString(path), "PNG");
    }

} // namespace

const char* exportFilter()
{
    return "Line plots as PNG (*.png)|*.png|Line plots as SVG (*.svg)|*.svg|"
           "Space-time picture as PNG (*.png)|*.png|Space-time picture as SVG (*.svg)|*.svg|"
           "State on show as CSV (*.csv)|*.csv|Whole history as CSV (*.csv)|*.csv";
}

ExportKind exportKindFor(int filterIndex, const std::string& path)
{
    if (filterIndex >= 0 && filterIndex <= static_cast<int>(ExportKind::HistoryCsv))
        return static_cast<ExportKind>(filterIndex);
    if (endsWith(path, ".svg"))
        return ExportKind::LinePlotsSvg;
    if (endsWith(path, ".csv"))
        return ExportKind::ShownStateCsv;
    return ExportKind::LinePlotsPng;
}

QSize linePlotsExportSize()
{
    return QSize(kExportPlotWidth, 3 * kExportPlotHeight + 2 * kExportPlotGap);
}

std::optional<std::string> writeView(const QWidget& window, const ExperimentState& s, ExportKind kind,
    const std::string& path, const PlotsLook& look)
{
    bool written = false;
    switch (kind) {
    case ExportKind::LinePlotsPng:
    case ExportKind::LinePlotsSvg:
        written = writePicture(path, linePlotsExportSize(), kind == ExportKind::LinePlotsSvg,
            [&](QPainter& p) { paintLinePlots(window, p, look); });
        break;
    case ExportKind::SpaceTimePng:
    case ExportKind::SpaceTimeSvg: {
        const SpaceTimePicture* picture = control<SpaceTimePicture>(window, "pctSpaceTime");
        if (picture->shownImage().isNull())
            return std::string("the space-time picture is empty: it shows a run once two rows are stored");
        const QSize size = spaceTimeSize(*picture);
        written = writePicture(path, size, kind == ExportKind::SpaceTimeSvg,
            [&](QPainter& p) { picture->render(p, QRectF(QPointF(0, 0), size), picture->axesShown()); });
        break;
    }
    case ExportKind::ShownStateCsv:
        written = batch::writeFinalState(s, path, nullptr);
        break;
    case ExportKind::HistoryCsv:
        written = batch::writeHistory(s, path, nullptr);
        break;
    }
    if (!written)
        return "cannot write '" + path + "'";
    return std::nullopt;
}

std::optional<std::string> exportView(
    const QWidget& window, const ExperimentState& s, ExportKind kind, const std::string& path)
{
    StagedFile file(path);
    if (!file.ok())
        return file.error();
    if (auto failure = writeView(window, s, kind, file.temporaryPath()))
        return failure->starts_with("cannot write") ? "cannot write '" + path + "'" : *failure;
    if (!file.commit())
        return file.error();
    return std::nullopt;
}

} // namespace tamrel
