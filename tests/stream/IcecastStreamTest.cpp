// The station on the internet through a real Icecast server: the station plays in real time
// (the null sound card) and streams its mix; a listener records the mount. The recording
// decodes and its level follows the mix, the server's title follows the items on air, and
// when the server goes away and comes back the stream resumes by itself while the sound card
// keeps being fed.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>

#include "IcecastServer.h"
#include "StreamListener.h"
#include "TimedOutput.h"
#include "core/playout/StationFixture.h"
#include "core/schedule/StreamSettings.h"
#include "core/stream/TeeSoundOutput.h"
#include "platform/clock/SystemClock.h"
#include "platform/loop/RealtimeLoop.h"
#include "platform/stream/StreamOutput.h"
#include "platform/virtual/PacedOutput.h"
#include "support/EncodedTone.h"

namespace pelvano::test {
namespace {

constexpr const char* kMount = "/pelvano.mp3";

// RMS of channel 0 of 16-bit interleaved PCM, in windows of the given number of frames.
std::vector<double> windowLevels(const std::string& pcm, int channels, std::size_t window) {
    const auto* s = reinterpret_cast<const std::int16_t*>(pcm.data());
    const std::size_t frames = pcm.size() / 2 / static_cast<std::size_t>(channels);
    std::vector<double> levels;
    for (std::size_t start = 0; start + window <= frames; start += window) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i) {
            const double v = s[i * static_cast<std::size_t>(channels)] / 32768.0;
            sum += v * v;
        }
        levels.push_back(std::sqrt(sum / static_cast<double>(window)));
    }
    return levels;
}

// The steady levels of a recording in order, each as a share of the loudest one: a quarter
// second counts as the nearest expected share (within 20 %) when the next one agrees, so a
// window across a change is no level of its own.
std::vector<double> plateaus(const std::vector<double>& levels, const std::vector<double>& shares) {
    const double loudest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    const auto shareOf = [&](double level) {
        for (double share : shares) {
            if (loudest > 0 && std::fabs(level / loudest - share) < 0.2 * share) return share;
        }
        return -1.0;
    };
    std::vector<double> seen;
    for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
        const double share = shareOf(levels[i]);
        if (share < 0 || shareOf(levels[i + 1]) != share) continue;
        if (seen.empty() || seen.back() != share) seen.push_back(share);
    }
    return seen;
}

class IcecastStreamTest : public StationFixture {
  protected:
    IcecastStreamTest() : StationFixture({}, false) {}
    void TearDown() override { station.reset(); }

    void SetUp() override {
        if (!server.start()) GTEST_SKIP() << "icecast2 could not be started";
        setKey("chkManOper", "NO");
        setKey("chkSectCycle", "NO");
        setKey("spIN", "0");
        setKey("spOut", "0");
        setKey("spOver", "0");
        streamTo(kMount, "mp3");
    }

    void streamTo(const std::string& mount, const std::string& format) {
        core::StreamSettings s;
        s.Enabled = true;
        s.Port = server.port();
        s.Mount = mount;
        s.Format = format;
        s.Password = server.password();
        s.Name = "Pelvano test";
        ASSERT_TRUE(core::SaveStreamSettings(paths.settingsFile(), s));
    }

    core::LocalDateTime inSeconds(int seconds) const {
        const core::LocalDateTime now = clock.now();
        return core::LocalDateTime::fromDayNumber(now.dayNumber(),
                                                  now.secondsOfDay() + 1 + seconds);
    }

    // Runs the station, its stream configured from the settings file, until done() holds or
    // maxSeconds have passed; onTick runs every 50 ms on the station's thread.
    void runStation(const std::function<void()>& onTick, const std::function<bool()>& done,
                    int maxSeconds) {
        core::StationPorts ports;
        ports.paths = paths;
        ports.clock = &clock;
        ports.timers = &loop.timers();
        ports.pump = &loop;
        ports.audio.output = &tee;
        ports.audio.sources = &tones;
        ports.audio.clock = &clock;
        ports.audio.events = &loop;
        ports.nowPlaying = &stream;
        station = std::make_unique<core::Station>(ports);
        station->logWindow().setView(&logView);
        ASSERT_EQ(station->start(), core::StartupOutcome::Running);
        stream.configure(core::LoadStreamSettings(paths.settingsFile()));
        std::atomic<bool> stop{false};
        auto watch = loop.timers().createTimer();
        watch->setInterval(50);
        const std::int64_t endUs = clock.tickUs() + maxSeconds * 1000000LL;
        watch->setOnTimer([&] {
            onTick();
            if (done() || clock.tickUs() >= endUs) stop = true;
        });
        watch->setEnabled(true);
        loop.run(stop);
    }

    // The play-process log's lines as UTF-8.
    struct LogLines final : core::PlayLogView {
        void appendLine(const std::string& gbkLine) override {
            lines.push_back(core::GbkToUtf8(gbkLine));
        }
        void clear() override {}
        std::vector<std::string> lines;
    };

    std::vector<std::string> streamLines() const {
        std::vector<std::string> out;
        for (const std::string& l : logView.lines)
            if (l.find("网络直播") != std::string::npos) out.push_back(l);
        return out;
    }

    IcecastServer server;
    platform::SystemClock clock;
    platform::RealtimeLoop loop{clock, [](const std::string& e) { ADD_FAILURE() << e; }};
    LogLines logView;
    platform::StreamOutput stream{
        loop, [this](const std::string& line) { station->log().LogLine(core::Utf8ToGbk(line)); }};
    platform::PacedOutput card{core::Utf8ToGbk("无声输出"), nullptr};
    TimedOutput timedCard{card};
    core::TeeSoundOutput tee{timedCard, stream.ring()};
};

TEST_F(IcecastStreamTest, ListenersHearTheMixWithItsTitlesAndTheStreamSurvivesAServerRestart) {
    addSound("one.wav", 5, 0.1, 440);
    addSound("two.wav", 5, 0.5, 660);
    addSound("three.wav", 60, 0.25, 550);
    const core::LocalDateTime t0 = inSeconds(2);
    writeSchedule({{"one.wav", core::NowHms(t0), "", "", "", "第一首"},
                   {"two.wav", "", "", "", "", "第二首"},
                   {"three.wav", "", "", "", "", "第三首"}});
    const std::string first = dir.file("first.mp3");
    const std::string second = dir.file("second.mp3");
    std::unique_ptr<StreamListener> listener1, listener2;
    std::vector<std::string> titles;
    const std::int64_t t0Us = clock.tickUsAt(t0);
    const auto since = [&] { return (clock.tickUs() - t0Us) / 1000; };  // ms from t0
    std::uint64_t callbacksAtStop = 0, callbacksAtRestart = 0;
    std::int64_t stoppedAtMs = 0, restartedAtMs = 0;
    bool restarted = false;
    runStation(
        [&] {
            const auto c = stream.counters();
            if (!listener1 && c.connected)
                listener1 = std::make_unique<StreamListener>(server.url(kMount), 14, first);
            if (server.running() && !restarted) {
                const std::string title = server.titleOf(kMount);
                if (!title.empty() && (titles.empty() || titles.back() != title))
                    titles.push_back(title);
            }
            if (since() >= 13000 && server.running() && !restarted) {
                listener1->wait();
                server.stop();
                callbacksAtStop = timedCard.callbacks();
                stoppedAtMs = since();
            }
            if (since() >= 15000 && !server.running() && !restarted) {
                callbacksAtRestart = timedCard.callbacks();
                restartedAtMs = since();
                ASSERT_TRUE(server.start());
                restarted = true;
            }
            if (restarted && !listener2 && c.connections >= 2)
                listener2 = std::make_unique<StreamListener>(server.url(kMount), 4, second);
        },
        [&] { return listener2 != nullptr && since() >= 23000; }, 40);
    ASSERT_TRUE(listener2) << server.errorLog();
    EXPECT_EQ(listener2->wait(), 0);

    // The first recording decodes; its level steps like the mix: 0.1, 0.5, 0.25.
    const std::string pcm1 = DecodedSamples(first);
    ASSERT_GT(pcm1.size(), 44100u * 2 * 2 * 10) << "less than 10 s recorded";
    const std::vector<double> shares1 = plateaus(windowLevels(pcm1, 2, 44100 / 4), {0.2, 1.0, 0.5});
    EXPECT_EQ(shares1, (std::vector<double>{0.2, 1.0, 0.5}));
    // The server's title followed the items on air.
    EXPECT_EQ(titles, (std::vector<std::string>{"第一首", "第二首", "第三首"}));

    // After the restart the stream came back by itself, still on the third item.
    const std::string pcm2 = DecodedSamples(second);
    ASSERT_GT(pcm2.size(), 44100u * 2 * 2 * 2) << "less than 2 s recorded after the restart";
    const std::vector<double> levels2 = windowLevels(pcm2, 2, 44100 / 4);
    const double level2 = *std::max_element(levels2.begin(), levels2.end());
    EXPECT_NEAR(level2, 0.25 / std::sqrt(2.0), 0.05);
    EXPECT_EQ(server.titleOf(kMount), "第三首");

    const auto c = stream.counters();
    EXPECT_GE(c.connections, 2u);
    EXPECT_GE(c.losses, 1u);
    EXPECT_EQ(c.framesDropped, 0u) << "the sender fell behind the mix";
    const std::vector<std::string> lines = streamLines();
    const auto count = [&](const std::string& text) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.find(text) != std::string::npos;
        });
    };
    EXPECT_EQ(count("网络直播已连接"), 2);
    EXPECT_EQ(count("网络直播连接断开"), 1);
    for (const std::string& l : logView.lines)
        EXPECT_EQ(l.find(server.password()), std::string::npos) << l;

    // The sound card was fed all along, the outage included (callbacks every 10 ms).
    std::printf(
        "sound card: %llu callbacks, longest render %.2f ms, longest gap %.2f ms; "
        "stream: %llu bytes, %llu frames encoded\n",
        static_cast<unsigned long long>(timedCard.callbacks()), timedCard.longestRenderMs(),
        timedCard.longestGapMs(), static_cast<unsigned long long>(c.bytesSent),
        static_cast<unsigned long long>(c.framesEncoded));
    const double outageMs = static_cast<double>(restartedAtMs - stoppedAtMs);
    EXPECT_GT(static_cast<double>(callbacksAtRestart - callbacksAtStop), 0.8 * outageMs / 10);
    EXPECT_LT(timedCard.longestGapMs(), 500.0);
}

class IcecastOggStreamTest : public IcecastStreamTest,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(IcecastOggStreamTest, TheStreamDecodesAndAVorbisStreamCarriesItsTitles) {
    const std::string mount = std::string("/pelvano.") + GetParam();
    streamTo(mount, GetParam());
    addSound("one.wav", 4, 0.5, 440);
    addSound("two.wav", 30, 0.25, 660);
    const core::LocalDateTime t0 = inSeconds(2);
    writeSchedule({{"one.wav", core::NowHms(t0), "", "", "", "晨曲"},
                   {"two.wav", "", "", "", "", "午间新闻"}});
    const std::string recording = dir.file(std::string("listened.") + GetParam());
    std::unique_ptr<StreamListener> listener;
    std::vector<std::string> titles;
    const std::int64_t t0Us = clock.tickUsAt(t0);
    runStation(
        [&] {
            if (!listener && stream.counters().connected)
                listener = std::make_unique<StreamListener>(server.url(mount), 8, recording);
            const std::string title = server.titleOf(mount);
            if (!title.empty() && (titles.empty() || titles.back() != title))
                titles.push_back(title);
        },
        [&] { return clock.tickUs() - t0Us >= 7000000; }, 20);
    ASSERT_TRUE(listener) << server.errorLog();
    EXPECT_EQ(listener->wait(), 0);
    // The listener joined in the first item and followed the chain into the second.
    const std::string pcm = DecodedSamples(recording);
    ASSERT_GT(pcm.size(), 44100u * 2 * 2 * 5) << "less than 5 s recorded";
    EXPECT_EQ(plateaus(windowLevels(pcm, 2, 44100 / 4), {0.5, 1.0}),
              (std::vector<double>{1.0, 0.5}));
    // Titles travel in Vorbis comments only (see StreamEncoder.h).
    if (std::string(GetParam()) == "ogg") {
        EXPECT_EQ(titles, (std::vector<std::string>{"晨曲", "午间新闻"}));
    }
}

INSTANTIATE_TEST_SUITE_P(VorbisAndOpus, IcecastOggStreamTest, ::testing::Values("ogg", "opus"));

}  // namespace
}  // namespace pelvano::test
