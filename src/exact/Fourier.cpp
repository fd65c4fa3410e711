// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/Fourier.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tamrel::exact {

namespace {

    using cplx = std::complex<double>;

    constexpr std::size_t kLargestFactor = 31;

    std::vector<std::size_t> primeFactors(std::size_t n)
    {
        std::vector<std::size_t> f;
        for (std::size_t p = 2; p * p <= n; ++p)
            while (n % p == 0) {
                f.push_back(p);
                n /= p;
            }
        if (n > 1)
            f.push_back(n);
        return f;
    }

} // namespace

Dft::Plan Dft::makePlan(std::size_t length)
{
    Plan plan;
    plan.length = length;
    plan.factors = primeFactors(length);
    plan.roots.resize(length);
    for (std::size_t m = 0; m < length; ++m)
        plan.roots[m]
            = std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(m) / static_cast<double>(length));
    return plan;
}

// Decimation in time: the transform of n inputs taken every `stride` from
// `in` is built from p transforms of n/p inputs (p = factors[level]), joined
// by p-point transforms with the twiddles exp(-2 pi i q k / n).
void Dft::Plan::step(cplx* out, const cplx* in, std::size_t n, std::size_t stride, std::size_t level) const
{
    const std::size_t p = factors[level];
    const std::size_t m = n / p;
    if (m == 1) {
        for (std::size_t q = 0; q < p; ++q)
            out[q] = in[q * stride];
    } else {
        for (std::size_t q = 0; q < p; ++q)
            step(out + q * m, in + q * stride, m, stride * p, level + 1);
    }
    const std::size_t twiddleStep = length / n; // exp(-2 pi i / n) = roots[length / n]
    const std::size_t rootStep = length / p; // exp(-2 pi i / p)
    // q k < n, so q k twiddleStep stays below length: no wrap-around.
    auto twiddled = [&](std::size_t q, std::size_t k) { return out[q * m + k] * roots[q * k * twiddleStep]; };
    if (p == 2) {
        for (std::size_t k = 0; k < m; ++k) {
            const cplx a = out[k], b = twiddled(1, k);
            out[k] = a + b;
            out[m + k] = a - b;
        }
        return;
    }
    if (p == 5) {
        // The fifth roots w^r, r = 1..4; w^4 and w^3 are the conjugates of w and w^2.
        const cplx w1 = roots[rootStep], w2 = roots[2 * rootStep];
        for (std::size_t k = 0; k < m; ++k) {
            const cplx a0 = out[k], a1 = twiddled(1, k), a2 = twiddled(2, k), a3 = twiddled(3, k),
                       a4 = twiddled(4, k);
            const cplx s14 = a1 + a4, d14 = a1 - a4, s23 = a2 + a3, d23 = a2 - a3;
            // Real parts of w, w^2 combine the sums, imaginary parts the differences.
            const cplx c1 = a0 + w1.real() * s14 + w2.real() * s23;
            const cplx c2 = a0 + w2.real() * s14 + w1.real() * s23;
            const cplx i1 = cplx(0, 1) * (w1.imag() * d14 + w2.imag() * d23);
            const cplx i2 = cplx(0, 1) * (w2.imag() * d14 - w1.imag() * d23);
            out[k] = a0 + s14 + s23;
            out[m + k] = c1 + i1;
            out[2 * m + k] = c2 + i2;
            out[3 * m + k] = c2 - i2;
            out[4 * m + k] = c1 - i1;
        }
        return;
    }
    cplx t[kLargestFactor];
    for (std::size_t k = 0; k < m; ++k) {
        for (std::size_t q = 0; q < p; ++q)
            t[q] = twiddled(q, k);
        for (std::size_t r = 0; r < p; ++r) {
            cplx sum = t[0];
            for (std::size_t q = 1, qr = r; q < p; ++q, qr = (qr + r) % p)
                sum += t[q] * roots[qr * rootStep];
            out[r * m + k] = sum;
        }
    }
}

void Dft::Plan::run(cplx* out, const cplx* in) const
{
    if (length <= 1) {
        if (length == 1)
            out[0] = in[0];
        return;
    }
    step(out, in, length, 1, 0);
}

Dft::Dft(std::size_t n)
    : n_(n)
{
    if (n_ <= 1)
        return;
    const auto factors = primeFactors(n_);
    direct_ = *std::max_element(factors.begin(), factors.end()) <= kLargestFactor;
    if (direct_) {
        plan_ = makePlan(n_);
        out_.resize(n_);
        return;
    }
    std::size_t m = 1;
    while (m < 2 * n_ - 1)
        m <<= 1;
    plan_ = makePlan(m);
    // j^2 mod 2n keeps the chirp's angle exact for large j.
    chirp_.resize(n_);
    for (std::size_t j = 0; j < n_; ++j) {
        const std::size_t j2 = (j * j) % (2 * n_);
        chirp_[j] = std::polar(1.0, -std::numbers::pi * static_cast<double>(j2) / static_cast<double>(n_));
    }
    std::vector<cplx> b(m, cplx(0, 0));
    b[0] = std::conj(chirp_[0]);
    for (std::size_t j = 1; j < n_; ++j)
        b[j] = b[m - j] = std::conj(chirp_[j]);
    kernel_.resize(m);
    plan_.run(kernel_.data(), b.data());
    work_.resize(m);
    out_.resize(m);
}

void Dft::transform(std::vector<cplx>& x, bool inverse) const
{
    if (n_ <= 1)
        return;
    // The inverse transform is the forward one of the conjugate, conjugated.
    if (inverse)
        for (auto& v : x)
            v = std::conj(v);
    if (direct_) {
        plan_.run(out_.data(), x.data());
        std::copy(out_.begin(), out_.end(), x.begin());
    } else {
        // X_k = chirp_k sum_j (x_j chirp_j) conj(chirp_{k-j}): a convolution,
        // done as a product of transforms (the inverse again by conjugation).
        const std::size_t m = work_.size();
        std::fill(work_.begin(), work_.end(), cplx(0, 0));
        for (std::size_t j = 0; j < n_; ++j)
            work_[j] = x[j] * chirp_[j];
        plan_.run(out_.data(), work_.data());
        for (std::size_t k = 0; k < m; ++k)
            work_[k] = std::conj(out_[k] * kernel_[k]);
        plan_.run(out_.data(), work_.data());
        const double scale = 1.0 / static_cast<double>(m);
        for (std::size_t k = 0; k < n_; ++k)
            x[k] = std::conj(out_[k]) * scale * chirp_[k];
    }
    if (inverse)
        for (auto& v : x)
            v = std::conj(v);
}

void Dft::forward(std::vector<cplx>& x) const
{
    transform(x, false);
}

void Dft::inverse(std::vector<cplx>& x) const
{
    transform(x, true);
    const double scale = 1.0 / static_cast<double>(n_);
    for (auto& v : x)
        v *= scale;
}

} // namespace tamrel::exact
