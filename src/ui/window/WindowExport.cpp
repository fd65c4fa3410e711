// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/WindowExport.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <memory>

#include "ui/window/BatchSupport.h"
#include "ui/kit/Controls.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/SpaceTimePicture.h"
#include "common/StagedFile.h"
#include "ui/window/ExportCaption.h"

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

    QSize withCaption(QSize picture)
    {
        return QSize(picture.width(), picture.height() + kCaptionHeight);
    }

    void paintCaptionUnder(QPainter& p, const QSize& picture, const std::string& caption)
    {
        paintCaption(p, QRectF(0, picture.height(), picture.width(), kCaptionHeight), caption);
    }

    // Draws with `paint` into the kind's format at `file`'s temporary path.
    template <class Paint> bool writePicture(const std::string& path, const QSize& size, bool svg, Paint paint)
    {
        if (svg) {
            // The generator reports no failed write of its own, so it draws
            // into memory and the bytes go to the file through a checked write.
            QBuffer bytes;
            bytes.open(QIODevice::WriteOnly);
            QSvgGenerator generator;
            generator.setOutputDevice(&bytes);
            generator.setSize(size);
            generator.setViewBox(QRect(QPoint(0, 0), size));
            generator.setTitle(QStringLiteral("Tamrel"));
            QPainter p;
            if (!p.begin(&generator))
                return false;
            paint(p);
            if (!p.end())
                return false;
            QFile file(QString::fromStdString(path));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return false;
            const bool written = file.write(bytes.data()) == bytes.data().size() && file.flush();
            file.close();
            return written && file.error() == QFileDevice::NoError;
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

ExportChoice exportKindFor(int filterIndex, const std::string& path)
{
    const bool png = endsWith(path, ".png"), svg = endsWith(path, ".svg"), csv = endsWith(path, ".csv");
    const std::string named = "'" + path + "'";
    if (filterIndex < 0 || filterIndex > static_cast<int>(ExportKind::HistoryCsv)) {
        if (svg)
            return { ExportKind::LinePlotsSvg, {} };
        if (csv)
            return { ExportKind::ShownStateCsv, {} };
        if (png)
            return { ExportKind::LinePlotsPng, {} };
        return { std::nullopt, named + " does not end in .png, .svg or .csv, the formats of an export" };
    }
    const auto chosen = static_cast<ExportKind>(filterIndex);
    switch (chosen) {
    case ExportKind::LinePlotsPng:
    case ExportKind::LinePlotsSvg:
    case ExportKind::SpaceTimePng:
    case ExportKind::SpaceTimeSvg: {
        // The picture the filter names, in the format the name says.
        const bool linePlots = chosen == ExportKind::LinePlotsPng || chosen == ExportKind::LinePlotsSvg;
        if (png)
            return { linePlots ? ExportKind::LinePlotsPng : ExportKind::SpaceTimePng, {} };
        if (svg)
            return { linePlots ? ExportKind::LinePlotsSvg : ExportKind::SpaceTimeSvg, {} };
        return { std::nullopt,
            named + " does not end in .png or .svg: "
                + (linePlots ? "the line plots are" : "the space-time picture is") + " saved as PNG or SVG" };
    }
    case ExportKind::ShownStateCsv:
    case ExportKind::HistoryCsv:
        if (csv)
            return { chosen, {} };
        return { std::nullopt,
            named + " does not end in .csv: the "
                + (chosen == ExportKind::HistoryCsv ? "history" : "state on show") + " is saved as CSV" };
    }
    return { std::nullopt, named + ": no such export" };
}

QSize linePlotsPictureSize()
{
    return QSize(kExportPlotWidth, 3 * kExportPlotHeight + 2 * kExportPlotGap);
}

QSize linePlotsExportSize()
{
    return withCaption(linePlotsPictureSize());
}

QSize spaceTimeExportSize(const QWidget& window)
{
    return withCaption(spaceTimeSize(*control<SpaceTimePicture>(window, "pctSpaceTime")));
}

void paintLinePlotsAsShown(const QWidget& window, QPainter& p)
{
    paintLinePlots(window, p, PlotsLook {});
}

std::optional<std::string> writeView(const QWidget& window, const ExperimentState& s, ExportKind kind,
    const std::string& path, const PlotsLook& look)
{
    bool written = false;
    const std::string caption = captionOf(window, s);
    switch (kind) {
    case ExportKind::LinePlotsPng:
    case ExportKind::LinePlotsSvg:
        written = writePicture(path, linePlotsExportSize(), kind == ExportKind::LinePlotsSvg, [&](QPainter& p) {
            paintLinePlots(window, p, look);
            paintCaptionUnder(p, linePlotsPictureSize(), caption);
        });
        break;
    case ExportKind::SpaceTimePng:
    case ExportKind::SpaceTimeSvg: {
        const SpaceTimePicture* picture = control<SpaceTimePicture>(window, "pctSpaceTime");
        if (picture->shownImage().isNull())
            return std::string("the space-time picture is empty: it shows a run once two rows are stored");
        const QSize size = spaceTimeSize(*picture);
        written = writePicture(path, withCaption(size), kind == ExportKind::SpaceTimeSvg, [&](QPainter& p) {
            picture->render(p, QRectF(QPointF(0, 0), size), picture->axesShown());
            paintCaptionUnder(p, size, caption);
        });
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
