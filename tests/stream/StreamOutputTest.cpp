// The sender on a scripted destination: failed connections are retried after a back-off and
// logged once, a lost connection (a title not taken included) is logged and resumed, titles go
// out where their item starts in the mix, a new setting replaces the running stream, and the
// stop is bounded whatever the destination does.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/stream/StreamOutput.h"
#include "platform/virtual/ManualEventQueue.h"

namespace pelvano::platform {
namespace {

using namespace std::chrono_literals;

// What the scripted destinations saw, shared with the test.
struct Script {
    std::mutex mutex;
    int opens = 0;
    int refuseOpens = 0;             // the first opens that fail
    std::size_t loseAfterBytes = 0;  // the first connection fails its send past this, 0: never
    int sendDelayMs = 0;             // a slow network
    std::size_t bytes = 0;
    std::vector<std::pair<std::string, std::size_t>> titles;  // title, bytes sent before it
    int failTitles = 0;        // the first titles are not taken
    bool titleWaits = false;   // a title waits until the sender gives up on it
    int titleIgnoresStopMs = 0;  // a title blocks this long whatever the sender says
    int closed = 0;            // destinations destroyed
};

class ScriptedSink final : public StreamSink {
  public:
    explicit ScriptedSink(std::shared_ptr<Script> s) : script_(std::move(s)) {}
    ~ScriptedSink() override {
        std::lock_guard<std::mutex> lock(s_.mutex);
        ++s_.closed;
    }
    bool open(const std::function<bool()>&, std::string& error) override {
        std::lock_guard<std::mutex> lock(s_.mutex);
        connection_ = ++s_.opens;
        if (connection_ > s_.refuseOpens) return true;
        error = "Couldn't connect";
        return false;
    }
    bool send(const std::string& bytes, std::string& error) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(s_.sendDelayMs));
        std::lock_guard<std::mutex> lock(s_.mutex);
        if (s_.loseAfterBytes != 0 && connection_ == 1 && s_.bytes > s_.loseAfterBytes) {
            error = "Socket error";
            return false;
        }
        s_.bytes += bytes.size();
        return true;
    }
    void close() override {}
    bool sendTitle(const StreamTitle& title, const std::function<bool()>& abandon,
                   std::string& error) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(s_.titleIgnoresStopMs));
        while (s_.titleWaits && !abandon()) std::this_thread::sleep_for(1ms);
        std::lock_guard<std::mutex> lock(s_.mutex);
        s_.titles.emplace_back(title.title, s_.bytes);
        if (s_.failTitles == 0) return true;
        --s_.failTitles;
        error = "title not answered";
        return false;
    }
    std::string where() const override { return "test:8000/mount"; }

  private:
    std::shared_ptr<Script> script_;  // an abandoned sender may outlive the test's frame
    Script& s_ = *script_;
    int connection_ = 0;
};

class StreamOutputTest : public ::testing::Test {
  protected:
    core::StreamSettings enabled(const std::string& format = "mp3") const {
        core::StreamSettings s;
        s.Enabled = true;
        s.Format = format;
        s.Password = "secret-pw";
        return s;
    }
    // Feeds the ring like the sound card would: seconds of quiet tone, in 10 ms blocks.
    void play(StreamOutput& out, double seconds) {
        std::vector<float> block(2 * 441, 0.1f);
        for (int i = 0; i < static_cast<int>(seconds * 100); ++i)
            out.ring().push(block.data(), 441, 2);
    }
    // Runs the posted log lines until the condition holds or the time is up.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 5s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            events.drain();
            if (condition()) return true;
            std::this_thread::sleep_for(5ms);
        }
        events.drain();
        return condition();
    }
    // How long the destructor of a connected stream took, its title request held as the script says.
    double closeWhileATitleWaitsMs() {
        auto out = std::make_unique<StreamOutput>(events, log, sinks);
        out->configure(enabled());
        EXPECT_TRUE(waitFor([&] { return out->counters().connected; }));
        core::NowPlayingItem item;
        item.title = "A";
        out->nowPlaying(item);
        play(*out, 0.1);
        std::this_thread::sleep_for(100ms);  // the sender is inside the title now
        const auto start = std::chrono::steady_clock::now();
        out.reset();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("stream closed in %.0f ms while its title waited\n", ms);
        return ms;
    }
    int linesWith(const std::string& text) const {
        int n = 0;
        for (const std::string& l : lines) n += l.find(text) != std::string::npos;
        return n;
    }

    ManualEventQueue events;
    std::vector<std::string> lines;
    std::shared_ptr<Script> shared = std::make_shared<Script>();
    Script& script = *shared;
    std::function<void(const std::string&)> log = [this](const std::string& l) {
        lines.push_back(l);
    };
    StreamOutput::SinkFactory sinks = [shared = shared](const core::StreamSettings&, StreamCodec) {
        return std::make_unique<ScriptedSink>(shared);
    };
};

TEST_F(StreamOutputTest, ARefusedConnectionIsLoggedOnceAndRetriedAfterTheBackOff) {
    script.refuseOpens = 1;
    StreamOutput out(events, log, sinks);
    const auto start = std::chrono::steady_clock::now();
    out.configure(enabled());
    ASSERT_TRUE(waitFor([&] { return out.counters().connected; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 900ms) << "retried before the back-off";
    EXPECT_EQ(script.opens, 2);
    EXPECT_EQ(linesWith("网络直播无法连接：test:8000/mount：Couldn't connect，1秒后重试"), 1);
    EXPECT_EQ(linesWith("网络直播已连接：test:8000/mount"), 1);
}

TEST_F(StreamOutputTest, ALostConnectionIsLoggedAndTheStreamResumesByItself) {
    script.loseAfterBytes = 4000;
    StreamOutput out(events, log, sinks);
    out.configure(enabled());
    ASSERT_TRUE(waitFor([&] { return out.counters().connected; }));
    std::thread card([&] {
        for (int i = 0; i < 250; ++i) {
            play(out, 0.01);
            std::this_thread::sleep_for(10ms);
        }
    });
    EXPECT_TRUE(waitFor([&] { return out.counters().connections == 2; }));
    card.join();
    EXPECT_EQ(out.counters().losses, 1u);
    EXPECT_EQ(linesWith("网络直播连接断开：test:8000/mount：Socket error，1秒后重连"), 1);
    EXPECT_EQ(linesWith("网络直播已连接"), 2);
    for (const std::string& l : lines) EXPECT_EQ(l.find("secret-pw"), std::string::npos);
}

TEST_F(StreamOutputTest, ASenderThatFallsBehindDropsTheMixAndSaysSo) {
    script.sendDelayMs = 100;
    StreamOutput out(events, log, sinks);
    out.configure(enabled());
    ASSERT_TRUE(waitFor([&] { return out.counters().connected; }));
    play(out, 5);  // at once: more than the ring holds while the sender waits on the network
    EXPECT_GT(out.counters().framesDropped, 0u);
    EXPECT_TRUE(waitFor([&] { return linesWith("网络直播跟不上播出，丢失") == 1; }));
}

TEST_F(StreamOutputTest, TitlesGoOutWhereTheirItemStartsInTheMix) {
    StreamOutput out(events, log, sinks);
    out.setLossless(true);
    out.configure(enabled());
    ASSERT_TRUE(waitFor([&] { return out.counters().connected; }));
    // The mix runs ahead of the sender (a simulation): the title is tied to its place in it.
    core::NowPlayingItem item;
    play(out, 2);
    item.title = "A";
    out.nowPlaying(item);
    play(out, 2);
    item.title = "B";
    out.nowPlaying(item);
    play(out, 1);
    ASSERT_TRUE(waitFor([&] { return out.counters().framesEncoded >= 5 * 44100; }));
    std::lock_guard<std::mutex> lock(script.mutex);
    ASSERT_EQ(script.titles.size(), 2u);
    // 128 kbit/s: 16 000 bytes a second of mix, less the encoder's look-ahead.
    EXPECT_NEAR(static_cast<double>(script.titles[0].second), 2 * 16000, 2000);
    EXPECT_NEAR(static_cast<double>(script.titles[1].second), 4 * 16000, 2000);
}

TEST_F(StreamOutputTest, NewSettingsEndTheStreamOrRefuseAnUnknownFormat) {
    StreamOutput out(events, log, sinks);
    out.configure(enabled());
    ASSERT_TRUE(waitFor([&] { return out.counters().connected; }));
    core::StreamSettings off = enabled();
    off.Enabled = false;
    out.configure(off);
    ASSERT_TRUE(waitFor([&] { return !out.counters().connected; }));
    EXPECT_EQ(script.closed, 1);
    out.configure(enabled("wma"));
    ASSERT_TRUE(waitFor([&] { return linesWith("网络直播格式无效：wma") == 1; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(script.opens, 1);
}

TEST_F(StreamOutputTest, ATitleNotTakenLosesTheConnectionAndTheStreamComesBackWithIt) {
    script.failTitles = 1;
    StreamOutput out(events, log, sinks);
    out.configure(enabled());
    ASSERT_TRUE(waitFor([&] { return out.counters().connected; }));
    core::NowPlayingItem item;
    item.title = "A";
    out.nowPlaying(item);
    play(out, 0.1);
    ASSERT_TRUE(waitFor([&] { return out.counters().connections == 2; }));
    EXPECT_EQ(out.counters().losses, 1u);
    EXPECT_EQ(linesWith("网络直播连接断开：test:8000/mount：title not answered，1秒后重连"), 1);
    // The new connection carries the title on air.
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard<std::mutex> lock(script.mutex);
        return script.titles.size() == 2;
    }));
    EXPECT_EQ(script.titles[1].first, "A");
}

TEST_F(StreamOutputTest, AConnectionLostAgainAtOnceWaitsLongerEachTime) {
    script.failTitles = 3;  // every connection fails its title: no connection holds
    StreamOutput out(events, log, sinks);
    core::NowPlayingItem item;
    item.title = "A";
    out.nowPlaying(item);
    out.configure(enabled());
    ASSERT_TRUE(waitFor([&] { return out.counters().losses == 2; }, 5s));
    EXPECT_EQ(linesWith("title not answered，1秒后重连"), 1);
    EXPECT_EQ(linesWith("title not answered，2秒后重连"), 1);
}

TEST_F(StreamOutputTest, TheCloseGivesUpATitleThatWaitsAndIsNoLoss) {
    script.titleWaits = true;
    EXPECT_LT(closeWhileATitleWaitsMs(), 500);
    events.drain();
    EXPECT_EQ(linesWith("网络直播连接断开"), 0);
    EXPECT_EQ(script.closed, 1);
}

TEST_F(StreamOutputTest, TheCloseIsBoundedWhenTheDestinationIgnoresItAndTheSenderEndsSafely) {
    script.titleIgnoresStopMs = 2500;
    const double ms = closeWhileATitleWaitsMs();
    EXPECT_GE(ms, 1000);  // it did wait for the sender first
    EXPECT_LT(ms, 2000);
    const std::size_t linesAtClose = (events.drain(), lines.size());
    // The sender left behind finishes by itself, freeing its destination.
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard<std::mutex> lock(script.mutex);
        return script.closed == 1;
    }));
    std::this_thread::sleep_for(50ms);
    events.drain();
    EXPECT_EQ(lines.size(), linesAtClose) << "the abandoned sender still posted";
}

}  // namespace
}  // namespace pelvano::platform
