// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/plots/Plot.h"
#include "ui/kit/Picture.h"
#include "ui/window/Panels.h"
#include "common/Thing.h"
#include <QWidget>
#include "ui/edit/Editor.h"
#include "ui/window/MainWindow.h"
