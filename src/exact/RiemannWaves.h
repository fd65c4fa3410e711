// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The waves of one Riemann problem, read off its exact solution: which
// kind each family is (shock or rarefaction), their speeds, the contact, and
// the fronts of a vacuum the waves leave between them (Toro ch. 4).
//
// A wave "has strength" when the pressure changes across it by more than a
// relative 1e-9 (and the contact when the density does): a contact alone,
// such as Test 7, has acoustic waves of zero strength, which carry nothing
// and must not end the time an exact solution holds.

#include <vector>

#include "kernels/riemann/ExactRiemann.h"

namespace tamrel::exact {

enum class WaveKind {
    Shock,
    Contact,
    FanHead, // the first characteristic of a rarefaction
    FanTail, // the last one, next to the star state
    FanInside, // a characteristic between head and tail
    VacuumFront, // the edge of a generated vacuum
};

struct Wave {
    WaveKind kind;
    double speed;
    int family; // -1 the left wave, 0 the contact (and vacuum), +1 the right wave
};

struct RiemannWaves {
    bool vacuum = false; // the waves leave a vacuum between them
    bool leftShock = false, rightShock = false;
    bool leftStrength = false, rightStrength = false, contactStrength = false;
    // Left wave: a shock has one speed (both entries); a fan head then tail.
    double left[2] = { 0, 0 };
    // Right wave: a shock has one speed; a fan tail then head.
    double right[2] = { 0, 0 };
    double contact = 0; // star velocity; with a vacuum undefined (NaN)
    double vacuumLeft = 0, vacuumRight = 0; // speeds of the vacuum's edges

    // Slowest and fastest speed of the waves with strength; slowest > fastest
    // when there is none.
    double slowest() const;
    double fastest() const;
    // Every wave with strength, left to right; `fanLines` characteristics
    // evenly spread inside each fan.
    std::vector<Wave> lines(int fanLines) const;
};

// The waves of the Riemann problem (left, right) whose solution `rs` is.
// Both states must have positive density (an invalid or vacuum-state
// solution gives an empty summary).
RiemannWaves WavesOf(const kernels::ExactRiemann& rs, const kernels::FlowState& left,
    const kernels::FlowState& right, double gamma);

} // namespace tamrel::exact
