// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Riemann explorer shows of one Riemann problem: the two wave
// curves in the pressure-velocity plane, the star state where they cross,
// the kind and speeds of the waves and when they reach the ends of the grid,
// or, when the curves do not meet, the vacuum that forms.
//
// The left state reaches the star region through its wave curve
//     u = uL - fL(p),
// the right state through
//     u = uR + fR(p),
// each a rarefaction branch for p <= pK (isentropic, Toro eq 4.7) and a
// shock branch above (Rankine-Hugoniot, Toro eq 4.6). The star state is
// their crossing. At p = 0 the left curve ends at uL + 2cL/(gamma-1) and the
// right one at uR - 2cR/(gamma-1); when the first lies below the second the
// curves never meet and a vacuum opens between the waves (Toro sec 4.6.3).

#include <string>
#include <utility>
#include <vector>

#include "exact/RiemannWaves.h"
#include "kernels/riemann/ExactRiemann.h"

namespace tamrel::exact {

struct WaveCurveBranch {
    bool shock; // drawn differently from a rarefaction branch
    std::vector<std::pair<double, double>> points; // (u, p)
};

// Where and when a wave first meets an end of the grid.
struct EndArrival {
    int end = 0; // -1 the left end, +1 the right end, 0 never
    double time = 0;
};

struct RiemannExploration {
    bool ok = false;
    std::string reason; // why not, naming the state and the quantity
    kernels::FlowState left, right;
    double gamma = 1.4;
    double x0 = 0, xLeft = 0, xRight = 1; // jump and grid ends

    bool vacuum = false;
    double pStar = 0, uStar = 0, rhoStarLeft = 0, rhoStarRight = 0;
    RiemannWaves waves;
    // First arrival at an end: the left wave (a fan's head), the contact (or
    // the vacuum's left edge) and the right wave (a fan's head).
    EndArrival leftArrival, contactArrival, rightArrival;

    // Wave curves, each branch from p = 0 (rarefaction) or pK (shock) up to pTop.
    std::vector<WaveCurveBranch> leftCurve, rightCurve;
    // A frame for the curves: p from 0 to pTop; u around both states and the
    // star velocity, or (with a vacuum) around the curves' ends at p = 0.
    double pTop = 0, uLow = 0, uHigh = 0;

    // "left" / "right" wave kinds as words.
    const char* leftWaveName() const { return waves.leftShock && !vacuum ? "shock" : "rarefaction"; }
    const char* rightWaveName() const { return waves.rightShock && !vacuum ? "shock" : "rarefaction"; }
};

// u on the left (sign -1) or right (+1) wave curve of state K at pressure p.
double WaveCurveVelocity(const kernels::FlowState& K, double gamma, int side, double p);

// The exploration of the problem (left | right) with the jump at x0 on the
// grid xLeft..xRight. A state whose density or pressure is not positive and
// finite, or gamma <= 1, gives ok = false and a reason; so does a solution
// that cannot be carried in double precision (a star state or a wave speed
// that is not finite), naming the range the explorer solves.
RiemannExploration ExploreRiemann(const kernels::FlowState& left, const kernels::FlowState& right, double gamma,
    double x0 = 0.5, double xLeft = 0.0, double xRight = 1.0, int curvePoints = 96);

// The exploration as one line of key=value pairs: p_star= u_star=
// rho_star_left= rho_star_right= left_wave= left_speeds= right_wave=
// right_speeds= contact_speed= vacuum= (a fan's speeds head,tail; with a
// vacuum the star values are 0, u_star and contact_speed nan, and
// vacuum_speeds= gives the vacuum's two edges).
std::string RiemannKeyValues(const RiemannExploration& r);

// The explorer's table: one (label, text) row each for the two states, the
// star pressure, velocity and densities, the three waves with their kind and
// speeds, the times they reach the ends of the grid, and the vacuum.
std::vector<std::pair<std::string, std::string>> ExplorerRows(const RiemannExploration& r);

// The range of densities and pressures the explorer solves: within it every
// quantity of the solution (star state, wave speeds, pressure ratios across
// the waves) stays a finite double.
inline constexpr double kExplorerSmallest = 1e-100;
inline constexpr double kExplorerLargest = 1e100;

// "rhoL,uL,pL,rhoR,uR,pR[,gamma]": false with a message naming what is
// wrong (a value that is not a number, a non-positive density or pressure,
// a density or pressure outside kExplorerSmallest..kExplorerLargest or a
// velocity larger than kExplorerLargest).
bool ParseRiemannStates(const std::string& text, kernels::FlowState& left, kernels::FlowState& right,
    double& gamma, std::string& error);

} // namespace tamrel::exact
