#pragma once
// A mixer on the virtual output of a simulation, fed by synthetic tones, with what would be
// heard captured; helpers that listen to the capture.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/audio/TcbDSMixer.h"
#include "platform/virtual/MemoryCapture.h"
#include "platform/virtual/Simulation.h"
#include "support/SyntheticSource.h"

namespace pelvano::test {

class EngineFixture : public ::testing::Test {
  protected:
    EngineFixture()
        : sim(core::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}, &heard),
          mixer(std::make_unique<core::TcbDSMixer>(sim.audioServices(tones))) {}

    core::TcbDSMixerChannel& channelWith(const std::string& path, const test::ToneSpec& tone) {
        tones.add(path, tone);
        auto& ch = mixer->AddChannel();
        ch.SetFileName(path);
        return ch;
    }

    // RMS level in dB of full scale of one output channel over [startMs, startMs + lengthMs),
    // counted from the simulation's start.
    double levelDb(double startMs, double lengthMs, int channel = 0) const {
        const auto first = static_cast<std::size_t>(startMs * 44.1);
        const auto count = static_cast<std::size_t>(lengthMs * 44.1);
        double sum = 0.0;
        for (std::size_t i = first; i < first + count && i < heard.frameCount(); ++i) {
            sum += static_cast<double>(heard.sample(i, channel)) * heard.sample(i, channel);
        }
        return 10.0 * std::log10(std::max(sum / static_cast<double>(count), 1e-20));
    }

    double peak(double startMs, double lengthMs, int channel = 0) const {
        const auto first = static_cast<std::size_t>(startMs * 44.1);
        const auto count = static_cast<std::size_t>(lengthMs * 44.1);
        double p = 0.0;
        for (std::size_t i = first; i < first + count && i < heard.frameCount(); ++i) {
            p = std::max(p, std::fabs(static_cast<double>(heard.sample(i, channel))));
        }
        return p;
    }

    platform::MemoryCapture heard;
    test::SyntheticSourceFactory tones;
    platform::Simulation sim;
    std::unique_ptr<core::TcbDSMixer> mixer;
};

// RMS of a sine of the given amplitude, in dB of full scale.
inline double SineDb(double amplitude) {
    return 20.0 * std::log10(amplitude / std::sqrt(2.0));
}

}  // namespace pelvano::test
