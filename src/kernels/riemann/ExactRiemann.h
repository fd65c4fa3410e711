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
// is linear in S and density and pressure are powers of it (Toro eq 4.56).
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

    // The state at S = (x - x0)/t.
    FlowState sample(double s) const;
    // The state at x and time t for an initial jump at x0 (t <= 0: the
    // initial data, the right state on the jump itself).
    FlowState at(double x, double x0, double t) const;
    // Averages of rho, u, p, uy over the cells between consecutive edges
    // (edges.size() - 1 cells) at time t, for an initial jump at x0.
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
    // Integral of rho, u, p, uy over [a, b] within one segment.
    FlowState integrate(const Segment& seg, double a, double b) const;

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
