// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/SpaceTimeWithWaves.h"

#include <QPainter>

#include "exact/ExactSolution.h"
#include "exact/InitialGrid.h"
#include "ui/kit/ExactPainting.h"
#include "ui/window/frmTamrel.h"

namespace tamrel {

QImage SpaceTimeImageWithWaves(const frmTamrel& w)
{
    QImage image = w.spaceTimeImage().convertToFormat(QImage::Format_RGB32);
    exact::InitialGrid grid;
    std::string why;
    if (!exact::ReadInitialGrid(w.record(), grid, why))
        return image;
    const auto lines
        = exact::SpaceTimeWaves(w.record(), exact::ExactSolution::Of(grid), image.width(), image.height());
    QPainter painter(&image);
    PaintWavePattern(painter, lines);
    return image;
}

bool SaveSpaceTimeWithWaves(const frmTamrel& w, const std::string& path)
{
    return SpaceTimeImageWithWaves(w).save(QString::fromStdString(path), "PNG");
}

} // namespace tamrel
