// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The discrete Fourier transform of any length n, in O(n log n):
// Cooley-Tukey over the prime factors of n when none exceeds 31 (the grid
// sizes people choose: 100, 400, 5000 = 2^3 5^4), otherwise Bluestein's
// chirp-z form (the transform as a convolution, done with a power-of-two
// transform of at least 2n - 1 points).
//
//   forward:  X_k = sum_j x_j exp(-2 pi i j k / n)
//   inverse:  x_j = (1/n) sum_k X_k exp(+2 pi i j k / n)

#include <complex>
#include <cstddef>
#include <vector>

namespace tamrel::exact {

class Dft {
public:
    explicit Dft(std::size_t n);

    std::size_t size() const { return n_; }
    void forward(std::vector<std::complex<double>>& x) const;
    void inverse(std::vector<std::complex<double>>& x) const;

private:
    // Cooley-Tukey over `factors` for a length whose roots are `roots`
    // (exp(-2 pi i m / length), m < length).
    struct Plan {
        std::size_t length = 0;
        std::vector<std::size_t> factors;
        std::vector<std::complex<double>> roots;
        void run(std::complex<double>* out, const std::complex<double>* in) const;
        void step(std::complex<double>* out, const std::complex<double>* in, std::size_t n, std::size_t stride,
            std::size_t level) const;
    };
    static Plan makePlan(std::size_t length);
    void transform(std::vector<std::complex<double>>& x, bool inverse) const;

    std::size_t n_;
    bool direct_ = true; // Cooley-Tukey on n itself; else Bluestein
    Plan plan_; // of n, or of the convolution's power-of-two length
    std::vector<std::complex<double>> chirp_; // exp(-i pi j^2 / n), j < n
    std::vector<std::complex<double>> kernel_; // transform of the conjugate chirp, wrapped
    mutable std::vector<std::complex<double>> work_, out_;
};

} // namespace tamrel::exact
