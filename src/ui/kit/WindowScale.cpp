// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/WindowScale.h"

#include <QFont>
#include <QFontInfo>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "ui/kit/Twips.h"

namespace tamrel {

namespace {
    const char* const kScaleProperty = "tamrelLayoutScale";
    const char* const kTwipsProperty = "tamrelTwips";
    const char* const kFontProperty = "tamrelFontPixels";
    const char* const kBarFontProperty = "tamrelBarFontPixels";

    int scaled(int twips, double s)
    {
        return static_cast<int>(std::lround(twips * s / kTwipsPerPixel));
    }

    void place(QWidget& control, const QRect& twips, double s)
    {
        control.setGeometry(scaledTwipsRect(twips, s));
    }

    void scaleFont(QWidget& control, double s)
    {
        const QVariant pixels = control.property(kFontProperty);
        if (!pixels.isValid())
            return;
        QFont f = control.font();
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels.toInt() * s))));
        control.setFont(f);
    }
} // namespace

QRect scaledTwipsRect(const QRect& t, double s)
{
    if (s == 1.0)
        return twipsRect(t.x(), t.y(), t.width(), t.height());
    return QRect(scaled(t.x(), s), scaled(t.y(), s), scaled(t.width(), s), scaled(t.height(), s));
}

QSize scaledClientSize(double s)
{
    return scaledTwipsRect(QRect(0, 0, kClientWidthTwips, kClientHeightTwips), s).size();
}

double layoutScale(const QWidget& control)
{
    for (const QWidget* w = &control; w; w = w->parentWidget()) {
        const QVariant v = w->property(kScaleProperty);
        if (v.isValid())
            return v.toDouble();
    }
    return 1.0;
}

void placeInTwips(QWidget& control, const QRect& twips)
{
    control.setProperty(kTwipsProperty, twips);
    place(control, twips, layoutScale(control));
}

void setDesignedFont(QWidget& control, const QFont& font)
{
    control.setProperty(kFontProperty, font.pixelSize());
    control.setFont(font);
    scaleFont(control, layoutScale(control));
}

void applyLayoutScale(QWidget& client, double s)
{
    client.setProperty(kScaleProperty, s);
    for (QWidget* w : client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant twips = w->property(kTwipsProperty);
        if (twips.isValid())
            place(*w, twips.toRect(), s);
        scaleFont(*w, s);
    }
}

double scaleBarFont(QWidget& bar, double s)
{
    if (!bar.property(kBarFontProperty).isValid())
        bar.setProperty(kBarFontProperty, QFontInfo(bar.font()).pixelSize());
    const int designed = std::max(1, bar.property(kBarFontProperty).toInt());
    const int pixels = std::max<int>(std::min(kLegibleBarPixels, designed), std::lround(designed * s));
    if (QFontInfo(bar.font()).pixelSize() != pixels) {
        QFont f = bar.font();
        f.setPixelSize(pixels);
        bar.setFont(f);
    }
    return double(pixels) / designed;
}

double fittingScale(const QSize& available)
{
    const double sx = available.width() * double(kTwipsPerPixel) / kClientWidthTwips;
    const double sy = available.height() * double(kTwipsPerPixel) / kClientHeightTwips;
    return std::max(kMinimumLayoutScale, std::min(sx, sy));
}

} // namespace tamrel
