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
    weights_.resize(static_cast<std::size_t>(kPhases) * n);
    slopes_.resize(weights_.size());
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        weights_[i] = static_cast<float>(table[i]);
        slopes_[i] = static_cast<float>(table[i + n] - table[i]);
    }
}

}  // namespace pelvano::core
