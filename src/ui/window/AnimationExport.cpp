// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/AnimationExport.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "common/StagedFile.h"
#include "run/SnapshotRow.h"
#include "state/ExperimentState.h"
#include "ui/kit/Controls.h"
#include "ui/window/ExportCaption.h"
#include "ui/window/GifWriter.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/SpaceTimePicture.h"
#include "ui/window/frmTamrel.h"

namespace tamrel {

namespace {

    // A frame's three plots, smaller than an exported picture's: a long
    // run's frames add up.
    constexpr int kPlotWidth = 600;
    constexpr int kPlotHeight = 255;
    constexpr int kGap = 6;
    const char* const kPlotNames[] = { "pctDensityPlot", "pctPressurePlot", "pctVelocityPlot" };

    struct Layout {
        QSize frame;
        QRect spaceTime; // empty without the space-time picture
        int captionTop = 0;
    };

    Layout layoutFor(const SpaceTimePicture& picture, bool withSpaceTime)
    {
        Layout l;
        int height = 3 * kPlotHeight + 2 * kGap;
        int width = kPlotWidth;
        if (withSpaceTime) {
            const QSize size(std::max(1, picture.scaleWidth()), std::max(1, picture.scaleHeight()));
            width = std::max(width, size.width());
            l.spaceTime = QRect(QPoint((width - size.width()) / 2, height + kGap), size);
            height = l.spaceTime.bottom() + 1;
        }
        l.captionTop = height;
        l.frame = QSize(width, height + kCaptionHeight);
        return l;
    }

    QImage drawFrame(const QWidget& window, const SpaceTimePicture& picture, const Layout& l,
        const AnimationChoice& choice, double time, double topTime, const std::string& caption)
    {
        QImage image(l.frame, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        int top = 0;
        for (const char* name : kPlotNames) {
            const LinePlotPicture* plot = control<LinePlotPicture>(window, name);
            const QRectF area((l.frame.width() - kPlotWidth) / 2, top, kPlotWidth, kPlotHeight);
            plot->render(p, area, choice.asShown ? plot->axesShown() : true, choice.asShown || choice.exact);
            top += kPlotHeight + kGap;
        }
        if (!l.spaceTime.isEmpty()) {
            picture.render(p, QRectF(l.spaceTime), picture.axesShown());
            // The frame's time across the picture (time 0 at its foot).
            if (topTime > 0) {
                const double y
                    = l.spaceTime.bottom() - std::clamp(time / topTime, 0.0, 1.0) * (l.spaceTime.height() - 1);
                p.setPen(QPen(QColor(230, 40, 40), 2));
                p.drawLine(QPointF(l.spaceTime.left(), y), QPointF(l.spaceTime.right(), y));
            }
        }
        paintCaption(p, QRectF(0, l.captionTop, l.frame.width(), kCaptionHeight), caption);
        return image;
    }

    // The palette: the most common colours of the sample frames (the
    // pictures' own colours; smoothed edges between them are rarer).
    std::vector<GifWriter::Rgb> paletteOf(const std::vector<QImage>& samples)
    {
        std::map<QRgb, long> counts;
        for (const QImage& image : samples)
            for (int y = 0; y < image.height(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    ++counts[line[x] & 0xffffffu];
            }
        std::vector<std::pair<long, QRgb>> byCount;
        for (const auto& [colour, n] : counts)
            byCount.emplace_back(n, colour);
        std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
        std::vector<GifWriter::Rgb> palette;
        for (const auto& [n, colour] : byCount) {
            if (palette.size() == GifWriter::kTransparent)
                break;
            palette.push_back({ static_cast<std::uint8_t>(qRed(colour)), static_cast<std::uint8_t>(qGreen(colour)),
                static_cast<std::uint8_t>(qBlue(colour)) });
        }
        if (palette.empty())
            palette.push_back({ 255, 255, 255 });
        return palette;
    }

    class Quantiser {
    public:
        explicit Quantiser(const std::vector<GifWriter::Rgb>& palette)
            : palette_(palette)
        {
        }
        std::vector<std::uint8_t> indices(const QImage& image)
        {
            std::vector<std::uint8_t> out(static_cast<std::size_t>(image.width()) * image.height());
            std::size_t i = 0;
            for (int y = 0; y < image.height(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    out[i++] = index(line[x] & 0xffffffu);
            }
            return out;
        }

    private:
        std::uint8_t index(QRgb colour)
        {
            const auto found = cache_.constFind(colour);
            if (found != cache_.constEnd())
                return *found;
            int best = 0;
            long bestDistance = -1;
            for (std::size_t k = 0; k < palette_.size(); ++k) {
                const long dr = qRed(colour) - palette_[k][0], dg = qGreen(colour) - palette_[k][1],
                           db = qBlue(colour) - palette_[k][2];
                const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (bestDistance < 0 || d < bestDistance) {
                    bestDistance = d;
                    best = static_cast<int>(k);
                }
            }
            cache_.insert(colour, static_cast<std::uint8_t>(best));
            return static_cast<std::uint8_t>(best);
        }
        const std::vector<GifWriter::Rgb>& palette_;
        QHash<QRgb, std::uint8_t> cache_;
    };

    // Shows stored row `row` as the replay bar does.
    void showRow(QScrollBar& bar, long row)
    {
        if (bar.maximum() < row)
            bar.setMaximum(static_cast<int>(row));
        bar.setValue(static_cast<int>(row));
    }

} // namespace

std::optional<std::string> exportAnimation(QWidget& window, const ExperimentState& s, const std::string& path,
    const AnimationChoice& choice, const AnimationProgress& progress)
{
    if (s.Stopped == 0)
        return std::string("a run is going on: pause it or let it finish first");
    if (!(choice.framesPerSecond >= kMinFramesPerSecond && choice.framesPerSecond <= kMaxFramesPerSecond))
        return std::string("the frame rate must lie between 0.5 and 50 frames per second");
    std::vector<long> rows;
    for (long row = 0; row < s.NStoredStates; ++row)
        if (s.StoredTime.contains(row) && SnapshotRowHoldsState(s, row))
            rows.push_back(row);
    if (rows.size() < 2)
        return std::string("the run has fewer than two stored snapshots: begin a run first");
    const auto* picture = control<SpaceTimePicture>(window, "pctSpaceTime");
    if (choice.spaceTime && picture->shownImage().isNull())
        return std::string("the space-time picture is empty: it shows a run once two rows are stored");
    StagedFile file(path);
    if (!file.ok())
        return file.error();

    auto* bar = control<QScrollBar>(window, "vsbStoredStateNumber");
    const int shownBefore = bar->value();
    const Layout layout = layoutFor(*picture, choice.spaceTime);
    const double topTime = picture->axes().tmax > 0 ? picture->axes().tmax : s.StoredTime[rows.back()];
    auto frameOf = [&](long row) {
        showRow(*bar, row);
        const double time = s.StoredTime[row];
        return drawFrame(window, *picture, layout, choice, time, topTime, captionOf(window, s, time));
    };

    std::optional<std::string> failure;
    std::optional<std::vector<std::uint8_t>> bytes;
    auto replay = [&] {
        // The palette from the first, a middle and the last frame.
        std::vector<QImage> samples;
        for (std::size_t k : { std::size_t { 0 }, rows.size() / 2, rows.size() - 1 })
            samples.push_back(frameOf(rows[k]));
        const std::vector<GifWriter::Rgb> palette = paletteOf(samples);
        samples.clear();
        Quantiser quantiser(palette);
        GifWriter gif(layout.frame.width(), layout.frame.height(), palette);
        const int centiseconds = std::max(2, static_cast<int>(std::lround(100 / choice.framesPerSecond)));
        for (std::size_t k = 0; k < rows.size() && !failure; ++k) {
            if (!gif.addFrame(quantiser.indices(frameOf(rows[k])), centiseconds))
                failure = "cannot encode the animation: " + gif.error();
            else if (progress && !progress(static_cast<int>(k + 1), static_cast<int>(rows.size())))
                failure = "cancelled";
        }
        if (!failure && !(bytes = gif.finish()))
            failure = "cannot encode the animation: " + gif.error();
        // The replay goes back to the snapshot shown before.
        if (bar->value() != shownBefore)
            bar->setValue(shownBefore);
    };
    if (auto* w = dynamic_cast<frmTamrel*>(&window))
        w->keepingGrid(replay);
    else
        replay();
    if (failure)
        return failure;
    QFile out(QString::fromStdString(file.temporaryPath()));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<qint64>(bytes->size()))
            != static_cast<qint64>(bytes->size())
        || !out.flush())
        return "cannot write '" + path + "'";
    out.close();
    if (out.error() != QFileDevice::NoError)
        return "cannot write '" + path + "'";
    if (!file.commit())
        return file.error();
    return std::nullopt;
}

} // namespace tamrel
