// SPDX-License-Identifier: GPL-3.0-or-later
inline constexpr int kShockTubeTestCount = 3;
