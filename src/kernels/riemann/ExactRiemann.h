// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact solution of the Riemann problem of the ideal gas in double
// precision (Toro, "Riemann Solvers and Numerical Methods for Fluid
// Dynamics", ch. 4): the reference against which schemes are measured and
// the curve the window overlays on a two-state problem.
//
// The solution depends on x and t only through S = (x - x0)/t. It is held as
// a sequence of pieces in S (constant states, rarefaction fans, vacuum), so
// that point values and exact cell averages come from the same description.
// Cell averages integrate the fans in closed form: in a fan the sound speed
// is linear in S, density and pressure are powers of it (Toro eq 4.56) and
// the velocity is linear in it (the fan's Riemann invariant).
//
// A cell average is what a finite-volume cell holds: the averages of mass,
// momentum and energy over the cell. Its velocity and pressure are those of
// the averaged conserved quantities (u = <rho u>/<rho>, p from <E> less the
// kinetic energy of <rho u>), not the averages of u and p, which differ in a
// cell that a shock or a fan cuts. In a cell of vacuum alone u is the average
// of S (the vacuum's u), and uy is averaged with the mass.
//
// Zero (or negative) density on a side is a vacuum state (Toro sec 4.6.1-2);
// waves that separate faster than sound can follow leave a generated vacuum
// (Toro sec 4.6.3). In a vacuum rho = p = 0 and u is taken as S, which keeps
// the velocity continuous at the vacuum fronts. The transverse velocity uy is
// a passive scalar carried with the contact. A non-finite input or gamma <= 1
// makes the solution invalid: samples and averages are then NaN.

#include <span>
#include <vector>

#include "kernels/riemann/ExactRiemannCore.h"

namespace tamrel::kernels {

struct FlowState {
    double rho = 0;
    double u = 0;
    double p = 0;
    double uy = 0;
};

// Integrals (or averages) of the conserved quantities over part of a line:
// mass, momentum, energy p/(gamma-1) + rho u^2/2, transverse momentum
// rho uy, and the plain integral of u (a vacuum's velocity).
struct ConservedSums {
    double mass = 0, momentum = 0, energy = 0, transverse = 0, velocity = 0;

    ConservedSums& operator+=(const ConservedSums& o)
    {
        mass += o.mass;
        momentum += o.momentum;
        energy += o.energy;
        transverse += o.transverse;
        velocity += o.velocity;
        return *this;
    }
};

// The sums of a constant state w over a width.
ConservedSums conservedOver(const FlowState& w, double width, double gamma);
// The state a cell of this width holds when the sums lie in it.
FlowState stateOfSums(const ConservedSums& sums, double width, double gamma);

class ExactRiemann {
public:
    ExactRiemann(const FlowState& left, const FlowState& right, double gamma);

    bool valid() const { return valid_; }
    bool vacuumGenerated() const { return star_.vacuum && !leftVacuum_ && !rightVacuum_; }
    bool leftVacuum() const { return leftVacuum_; }
    bool rightVacuum() const { return rightVacuum_; }
    // Star region (meaningful when no vacuum is involved).
    double starPressure() const { return star_.p; }
    double starVelocity() const { return star_.u; }
    double starDensityLeft() const { return rhoStarL_; }
    double starDensityRight() const { return rhoStarR_; }
    int iterations() const { return star_.iterations; }
    // Whether the star pressure solves the pressure equation to the solver's
    // accuracy (always, for states within the range the lab produces).
    bool converged() const { return star_.vacuum || star_.converged; }

    // The state at S = (x - x0)/t.
    FlowState sample(double s) const;
    // The state at x and time t for an initial jump at x0 (t <= 0: the
    // initial data, the right state on the jump itself).
    FlowState at(double x, double x0, double t) const;
    // Cell averages over the cells between consecutive edges (edges.size() - 1
    // cells) at time t, for an initial jump at x0: the density and the
    // velocity and pressure of the averaged conserved quantities.
    std::vector<FlowState> cellAverages(double x0, double t, std::span<const double> edges) const;

private:
    enum class Piece { Constant, LeftFan, RightFan, Vacuum };
    struct Segment {
        double lo, hi; // range of S
        Piece piece;
        FlowState w; // the state of a constant piece; uy of the others
    };

    void buildSegments();
    void addSegment(double lo, double hi, Piece piece, const FlowState& w);
    FlowState evaluate(const Segment& seg, double s) const;
    // Integrals of the conserved quantities over [a, b] of S within one segment.
    ConservedSums integrate(const Segment& seg, double a, double b) const;

    FlowState left_, right_;
    riemann::GasConstants<double> g_ {};
    riemann::GasState<double> L_ {}, R_ {};
    riemann::StarSolution<double> star_ {};
    double rhoStarL_ = 0, rhoStarR_ = 0;
    bool valid_ = true;
    bool leftVacuum_ = false, rightVacuum_ = false;
    std::vector<Segment> segments_;
};

} // namespace tamrel::kernels
