// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "ui/edit/Editor.h"
#include "ui/plots/Plot.h"
#include "ui/kit/Picture.h"
