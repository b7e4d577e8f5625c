// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/EqResponse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace varnoth {
namespace {

constexpr int kSamples = 513;
constexpr int kCentreSample = 256;
constexpr double kPi = std::numbers::pi;

struct Biquad {
    double a0, a1, a2, b0, b1, b2;
};

Biquad Coefficients(const EqPoint& p) {
    const double w0 = kPi / 2.0;
    const double s = std::sin(w0);
    const double c = std::cos(w0);
    const double A = std::pow(10.0, p.gain / 40.0);
    if (p.type == EQ_TYPE_LOWSHELF || p.type == EQ_TYPE_HIGHSHELF) {
        const double G = std::pow(10.0, p.gain / 20.0);
        const double S = std::clamp(static_cast<double>(p.q), 0.4, 2.0);
        const double slope = S >= 1.0 ? S : 0.7 + (S - 0.4) / 2.0;
        const double alpha = s / 2.0 * std::sqrt((A + 1.0 / A) * (1.0 / slope - 1.0) + 2.0);
        const double K = 2.0 * std::sqrt(A) * alpha;
        if (p.type == EQ_TYPE_LOWSHELF) {
            return {(A + 1) + (A - 1) * c + K,           -2 * ((A - 1) + (A + 1) * c),
                    (A + 1) + (A - 1) * c - K,           G * A * ((A + 1) - (A - 1) * c + K),
                    G * 2 * A * ((A - 1) - (A + 1) * c), G * A * ((A + 1) - (A - 1) * c - K)};
        }
        return {(A + 1) - (A - 1) * c + K,
                2 * ((A - 1) - (A + 1) * c),
                (A + 1) - (A - 1) * c - K,
                G * A * ((A + 1) + (A - 1) * c + K),
                -G * 2 * A * ((A - 1) + (A + 1) * c),
                G * A * ((A + 1) + (A - 1) * c - K)};
    }
    const float qPrime = static_cast<float>(p.q / 0.35714285714285715);
    const double alpha = s / (2.0 * qPrime);
    return {1 + alpha / A, -2 * c, 1 - alpha / A, 1 + alpha * A, -2 * c, 1 - alpha * A};
}

// |H|^2 numerator or denominator polynomial at P = 4 sin^2(w/2), kept strictly positive so that a
// degenerate band yields a finite value rather than an infinity.
double PowerTerm(double x0, double x1, double x2, double P) {
    const double sum = x0 + x1 + x2;
    const double v = sum * sum - P * (x1 * (x0 + x2) + 4 * x0 * x2) + P * P * x0 * x2;
    return std::max(v, 1e-30);
}

double SampleAngle(int k, bool shelf) {
    if (!shelf) {
        return k * kPi / 512.0;
    }
    if (k < 120) {
        return kPi / 512.0;
    }
    if (k <= 256) {
        return (k - 120) / 136.0 * kPi / 2.0;
    }
    if (k <= 392) {
        return kPi / 2.0 + (k - 256) / 136.0 * kPi / 2.0;
    }
    return kPi - kPi / 512.0;
}

// 4 sin^2(w/2) of every sample, for the peaking spacing and for the shelf spacing.
struct SampleTable {
    std::array<double, kSamples> peak;
    std::array<double, kSamples> shelf;
    SampleTable() {
        for (int k = 0; k < kSamples; ++k) {
            const double p = std::sin(SampleAngle(k, false) / 2.0);
            const double s = std::sin(SampleAngle(k, true) / 2.0);
            peak[static_cast<std::size_t>(k)] = 4.0 * p * p;
            shelf[static_cast<std::size_t>(k)] = 4.0 * s * s;
        }
    }
};

const SampleTable& Samples() {
    static const SampleTable table;
    return table;
}

}  // namespace

int EqColumnOf(float freq) {
    const double pos = (std::log10(static_cast<double>(freq)) - 1.0) / 3.4 * kEqColumns;
    if (!(pos > 0.0)) {
        return 0;
    }
    return static_cast<int>(std::min(std::round(pos), static_cast<double>(kEqColumns - 1)));
}

void CalcResponse(EqPoint& point) {
    const bool shelf = point.type == EQ_TYPE_LOWSHELF || point.type == EQ_TYPE_HIGHSHELF;
    const Biquad f = Coefficients(point);
    const std::array<double, kSamples>& powers = shelf ? Samples().shelf : Samples().peak;
    std::array<double, kSamples> samples;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const double P = powers[k];
        double db = 10.0 * std::log10(PowerTerm(f.b0, f.b1, f.b2, P) / PowerTerm(f.a0, f.a1, f.a2, P));
        if (shelf) {
            db -= point.gain;
        }
        samples[k] = db;
    }
    const int e = EqColumnOf(point.freq);
    for (int j = 0; j < kEqColumns; ++j) {
        const int k = kCentreSample + (j - e);
        point.response[static_cast<std::size_t>(j)] =
            static_cast<float>(samples[static_cast<std::size_t>(std::clamp(k, 0, kEqColumns - 1))]);
    }
}

}  // namespace varnoth
