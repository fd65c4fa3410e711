// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact solution of the linearised gas dynamics on a periodic grid, for
// small disturbances of a uniform state (the sound-wave experiment).
//
// About the mean state (rho0, u0, p0) with sound speed c0 and impedance
// Z0 = rho0 c0 the disturbances split into three fields, each carried
// unchanged at its own speed:
//   w+ = du + dp/Z0         at u0 + c0
//   w- = du - dp/Z0         at u0 - c0
//   e  = drho - dp/c0^2     at u0          (the entropy wave)
// and come back as du = (w+ + w-)/2, dp = Z0 (w+ - w-)/2, drho = e + dp/c0^2.
//
// The grid holds cell averages. They are read as the cell averages of the
// one trigonometric polynomial of lowest degree that has them (a sinusoid
// with a whole number of wavelengths on the grid, as the sound-wave set-up
// builds, is such a polynomial). Averaging over a cell and shifting are both
// diagonal in Fourier space, so the cell averages at time t are the initial
// ones with each Fourier mode k of a field turned by exp(-i k s t): exact for
// such data, whatever the shift. For an even N the shortest mode (k = N/2)
// has no sense of direction on the grid and is carried as its real part.
//
// The linear solution is offered while every relative amplitude, |drho|/rho0,
// |dp|/p0 and |du|/c0, stays below 1e-2.
//
// A sound-wave set-up has only a few modes above rounding (its sinusoids and
// their faint harmonics from the set-up's pressure integration): modes whose
// sum of amplitudes stays below 1e-15 of the state are dropped, and when few
// remain the averages are summed mode by mode instead of by a transform.

#include <complex>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "exact/Fourier.h"
#include "exact/InitialGrid.h"

namespace tamrel::exact {

class LinearWaves {
public:
    static constexpr double kAmplitudeLimit = 1e-2;

    // The linear solution of a periodic grid of equal cells, or nothing with
    // a one-line reason.
    static std::optional<LinearWaves> Of(const InitialGrid& g, std::string& why);

    double amplitude() const { return amplitude_; } // largest relative amplitude
    double meanVelocity() const { return u0_; }
    double soundSpeed() const { return c0_; }

    // Cell averages of cells 1..N at time t.
    void cellAverages(double t, std::vector<double>& rho, std::vector<double>& u, std::vector<double>& p) const;

private:
    static constexpr std::size_t kSparseModes = 48;

    LinearWaves() = default;
    void keepModes();

    double rho0_ = 0, u0_ = 0, p0_ = 0, c0_ = 0;
    double amplitude_ = 0;
    double length_ = 0; // of the grid
    std::shared_ptr<const Dft> dft_;
    std::vector<std::complex<double>> plus_, minus_, entropy_; // spectra of w+, w-, e
    std::vector<std::size_t> modes_; // the modes k <= N/2 kept, when summed one by one
    bool sparse_ = false;
    std::shared_ptr<const std::vector<std::complex<double>>> roots_; // exp(2 pi i m / N)
};

} // namespace tamrel::exact
