// Rate conversion measured by its spectrum: generated 16-bit tones at −1 dBFS played on a device
// of another rate must come out with no alias or image above the source's own quantisation
// spurs, at the level they went in, and without disturbing the channel's timing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <vector>

#include "core/audio/TcbDSMixer.h"
#include "platform/virtual/MemoryCapture.h"
#include "platform/virtual/Simulation.h"
#include "support/SyntheticSource.h"

namespace pelvano::test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kFftSize = 1 << 15;
const double kAmplitude = std::pow(10.0, -1.0 / 20.0);

// In-place radix-2 FFT.
void Fft(std::vector<std::complex<double>>& x) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2.0 * kPi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1.0;
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto a = x[i + k];
                const auto b = x[i + k + len / 2] * wk;
                x[i + k] = a + b;
                x[i + k + len / 2] = a - b;
                wk *= w;
            }
        }
    }
}

struct Spectrum {
    double toneDb = 0.0;       // the tone's amplitude, dB of full scale
    double worstSpurDb = 0.0;  // the highest bin away from the tone, dB below the tone
    double worstSpurHz = 0.0;
};

// Blackman-Harris window (side lobes below −92 dB); the tone owns the bins of its main lobe.
Spectrum Analyse(const std::vector<double>& samples, double rate, double toneHz) {
    std::vector<std::complex<double>> x(kFftSize);
    double windowSum = 0.0;
    double windowPower = 0.0;
    for (std::size_t i = 0; i < kFftSize; ++i) {
        const double t = 2.0 * kPi * static_cast<double>(i) / static_cast<double>(kFftSize - 1);
        const double w =
            0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        windowSum += w;
        windowPower += w * w;
        x[i] = samples[i] * w;
    }
    Fft(x);
    const double binHz = rate / static_cast<double>(kFftSize);
    const auto toneBin = static_cast<long>(std::lround(toneHz / binHz));
    Spectrum s;
    double tonePower = 0.0;
    double tone = 0.0;
    double spur = 0.0;
    for (long b = 1; b < static_cast<long>(kFftSize / 2); ++b) {
        const double magnitude = 2.0 * std::abs(x[static_cast<std::size_t>(b)]) / windowSum;
        if (std::labs(b - toneBin) <= 6) {
            tone = std::max(tone, magnitude);
            tonePower += std::norm(x[static_cast<std::size_t>(b)]);
        } else if (b > 3 && magnitude > spur) {
            spur = magnitude;
            s.worstSpurHz = static_cast<double>(b) * binHz;
        }
    }
    // The tone's level from the power of its whole main lobe (no scalloping loss).
    s.toneDb = 10.0 * std::log10(4.0 * tonePower / (static_cast<double>(kFftSize) * windowPower));
    s.worstSpurDb = 20.0 * std::log10(spur / tone);
    return s;
}

struct Case {
    std::uint32_t from;
    std::uint32_t to;
    double hz;
};

// What a device at `to` hears of a tone file at `from`, starting 4.5 s into playback (after
// the ring has wrapped and been refilled many times).
std::vector<double> Heard(const Case& c, std::uint16_t channels = 1) {
    platform::MemoryCapture capture;
    platform::Simulation sim(core::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}, &capture, c.to);
    SyntheticSourceFactory tones;
    tones.add("tone.wav", ToneSpec{channels, c.from, 16, c.from * 10, c.hz, kAmplitude});
    core::TcbDSMixer mixer(sim.audioServices(tones));
    auto& ch = mixer.AddChannel();
    ch.SetFileName("tone.wav");
    ch.Play();
    const std::size_t first = c.to * 9 / 2;
    sim.advanceBy(static_cast<std::uint64_t>((first + kFftSize) * 1000 / c.to + 100));
    std::vector<double> out(kFftSize);
    for (std::size_t i = 0; i < kFftSize; ++i) out[i] = capture.sample(first + i, 0);
    return out;
}

// The source's own spectrum: the same 16-bit tone as the file holds it.
std::vector<double> Source(const Case& c) {
    const ToneSpec tone{1, c.from, 16, c.from * 10, c.hz, kAmplitude};
    std::vector<double> out(kFftSize);
    for (std::size_t i = 0; i < kFftSize; ++i) {
        out[i] = std::lround(ToneValue(tone, static_cast<std::int64_t>(i)) * 32767.0) / 32768.0;
    }
    return out;
}

TEST(ResamplingTest, NoAliasOrImageRisesAboveTheSourcesOwnSpurs) {
    for (const Case& c :
         {Case{44100, 48000, 1000}, Case{44100, 48000, 9000}, Case{44100, 48000, 15000},
          Case{48000, 44100, 1000}, Case{48000, 44100, 9000}, Case{48000, 44100, 15000},
          Case{22050, 44100, 1000}, Case{22050, 44100, 9000}}) {
        const Spectrum source = Analyse(Source(c), c.from, c.hz);
        const Spectrum heard = Analyse(Heard(c), c.to, c.hz);
        std::printf(
            "%5u -> %5u Hz, %5.0f Hz tone: worst spur %6.1f dB at %5.0f Hz (source %6.1f dB)\n",
            c.from, c.to, c.hz, heard.worstSpurDb, heard.worstSpurHz, source.worstSpurDb);
        EXPECT_LT(heard.worstSpurDb, std::max(source.worstSpurDb, -80.0) + 1.0)
            << c.from << " -> " << c.to << ", " << c.hz << " Hz: spur at " << heard.worstSpurHz;
        EXPECT_NEAR(heard.toneDb, source.toneDb, 0.1) << c.from << " -> " << c.to << ", " << c.hz;
    }
}

TEST(ResamplingTest, ThePassBandIsFlatTo18kHz) {
    for (const Case& c : {Case{44100, 48000, 18000}, Case{48000, 44100, 18000},
                          Case{44100, 48000, 100}, Case{48000, 44100, 12000}}) {
        const Spectrum heard = Analyse(Heard(c, 2), c.to, c.hz);
        EXPECT_NEAR(heard.toneDb, -1.0, 0.1) << c.from << " -> " << c.to << ", " << c.hz << " Hz";
    }
}

TEST(ResamplingTest, PositionLengthAndEndStayExactToTheMillisecond) {
    platform::MemoryCapture capture;
    platform::Simulation sim(core::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}, &capture, 48000);
    SyntheticSourceFactory tones;
    // 7.5 s of a constant level at 44.1 kHz: its end shows where the last frame was heard.
    tones.add("level.wav", ToneSpec{2, 44100, 16, 44100 * 15 / 2, 0.0, 0.5});
    core::TcbDSMixer mixer(sim.audioServices(tones));
    auto& ch = mixer.AddChannel();
    bool ended = false;
    ch.OnEnd = [&](core::TcbDSMixerChannel&) { ended = true; };
    ch.SetFileName("level.wav");
    EXPECT_EQ(ch.Length(), 7500);
    ch.Play();
    sim.advanceBy(3000);
    EXPECT_EQ(ch.Position(), 3000);
    sim.advanceBy(2500);
    EXPECT_EQ(ch.Position(), 5500);
    EXPECT_TRUE(sim.runUntil([&] { return ended; }, 3000));
    // The level holds (DC passes at unity) until the last frame, then falls within the filter's
    // reach (under 1.5 ms).
    EXPECT_NEAR(capture.sample(48000 * 7, 0), 0.5, 1e-4);
    EXPECT_NEAR(capture.sample(48000 * 15 / 2 - 80, 0), 0.5, 1e-3);
    EXPECT_NEAR(capture.sample(48000 * 15 / 2 + 80, 0), 0.0, 1e-3);
    // The first frames hear nothing from the end of the ring, only the start of the file.
    EXPECT_NEAR(capture.sample(80, 1), 0.5, 1e-3);
    EXPECT_LT(std::fabs(capture.sample(0, 1)), 0.5);
}

}  // namespace
}  // namespace pelvano::test
