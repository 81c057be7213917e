#include "core/audio/SincKernel.h"

#include <algorithm>
#include <cmath>

namespace pelvano::core {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Stop-band attenuation the window is designed for, dB.
constexpr double kAttenuationDb = 95.0;
// The flat band ends at 18 kHz of a 44.1 kHz source; the stop band starts at the lower Nyquist.
constexpr double kPassFraction = 18000.0 / 22050.0;

double BesselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < 60; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
        if (term < sum * 1e-17) break;
    }
    return sum;
}

}  // namespace

SincKernel::SincKernel(std::uint32_t sourceRate, std::uint32_t deviceRate)
    : sourceRate_(sourceRate) {
    // Frequencies in cycles per source frame.
    const double nyquist = 0.5 * std::min(1.0, static_cast<double>(deviceRate) / sourceRate);
    const double pass = nyquist * kPassFraction;
    const double cutoff = 0.5 * (pass + nyquist);
    const double transition = nyquist - pass;
    const double beta = 0.1102 * (kAttenuationDb - 8.7);
    const double length = (kAttenuationDb - 7.95) / (2.285 * 2.0 * kPi * transition) + 1.0;
    halfTaps_ = std::clamp(static_cast<int>(std::ceil(length / 2.0)), 2, kMaxHalfTaps);
    const int n = taps();
    const double span = halfTaps_;
    const double i0Beta = BesselI0(beta);

    std::vector<double> table(static_cast<std::size_t>(kPhases + 1) * n);
    for (int phase = 0; phase <= kPhases; ++phase) {
        const double f = static_cast<double>(phase) / kPhases;
        double* row = &table[static_cast<std::size_t>(phase) * n];
        double sum = 0.0;
        for (int k = 0; k < n; ++k) {
            // Distance of tap k's frame from the position.
            const double t = static_cast<double>(k - halfTaps_ + 1) - f;
            const double x = 2.0 * kPi * cutoff * t;
            const double sinc = t == 0.0 ? 1.0 : std::sin(x) / x;
            const double r = t / span;
            const double window =
                r * r < 1.0 ? BesselI0(beta * std::sqrt(1.0 - r * r)) / i0Beta : 0.0;
            row[k] = 2.0 * cutoff * sinc * window;
            sum += row[k];
        }
        // Unity gain at DC in every phase, so that a constant level stays exactly constant.
        for (int k = 0; k < n; ++k) row[k] /= sum;
    }
    span_ = (n + kLanes - 1) / kLanes * kLanes;
    for (int channels = 1; channels <= 2; ++channels) {
        Table& t = channels == 1 ? mono_ : stereo_;
        t.weights.assign(static_cast<std::size_t>(kPhases) * rowLength(channels), 0.0f);
        t.slopes.assign(t.weights.size(), 0.0f);
        for (int phase = 0; phase < kPhases; ++phase) {
            const double* w = &table[static_cast<std::size_t>(phase) * n];
            const double* next = w + n;
            float* weights = &t.weights[row(static_cast<std::uint32_t>(phase), channels)];
            float* slopes = &t.slopes[row(static_cast<std::uint32_t>(phase), channels)];
            for (int k = 0; k < n; ++k) {
                for (int c = 0; c < channels; ++c) {
                    weights[k * channels + c] = static_cast<float>(w[k]);
                    slopes[k * channels + c] = static_cast<float>(next[k] - w[k]);
                }
            }
        }
    }
}

}  // namespace pelvano::core
