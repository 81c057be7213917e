// The sender against a real Icecast server that misbehaves or refuses: a title update that is
// never answered (a proxy in front of the server holds it), a required TLS the server does not
// offer, a wrong password and a mount already on the air. The log says which, the stream comes
// back where it can, no password crosses in clear where TLS is required, and the close is
// bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "IcecastServer.h"
#include "TitleHoldingProxy.h"
#include "platform/stream/StreamOutput.h"
#include "platform/virtual/ManualEventQueue.h"

namespace pelvano::test {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr const char* kMount = "/pelvano.mp3";

class IcecastFailuresTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.start()) GTEST_SKIP() << "icecast2 could not be started";
    }
    void TearDown() override { streams.clear(); }

    core::StreamSettings settings(int port) const {
        core::StreamSettings s;
        s.Enabled = true;
        s.Port = port;
        s.Mount = kMount;
        s.Password = server.password();
        return s;
    }

    // A stream of its own. Nothing is played into it: the server waits longer for sound than
    // these tests last, and titles and logins go out without it.
    platform::StreamOutput& startStream(const core::StreamSettings& s,
                                        const std::string& title = "") {
        streams.push_back(std::make_unique<platform::StreamOutput>(
            events, [this](const std::string& l) { lines.push_back(l); }));
        if (!title.empty()) {
            core::NowPlayingItem item;
            item.title = title;
            streams.back()->nowPlaying(item);
        }
        streams.back()->configure(s);
        return *streams.back();
    }

    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
        const auto end = SteadyClock::now() + limit;
        while (SteadyClock::now() < end) {
            events.drain();
            if (condition()) return true;
            std::this_thread::sleep_for(10ms);
        }
        events.drain();
        return condition();
    }
    int linesWith(const std::string& text) const {
        int n = 0;
        for (const std::string& l : lines) n += l.find(text) != std::string::npos;
        return n;
    }
    std::string allLines() const {
        std::string all;
        for (const std::string& l : lines) all += l + "\n";
        return all;
    }

    IcecastServer server;
    platform::ManualEventQueue events;
    std::vector<std::string> lines;
    std::vector<std::unique_ptr<platform::StreamOutput>> streams;
};

TEST_F(IcecastFailuresTest, ATitleNeverAnsweredIsLoggedTheStreamComesBackAndTheCloseIsBounded) {
    TitleHoldingProxy proxy(server.port());
    ASSERT_NE(proxy.port(), 0);
    startStream(settings(proxy.port()), "第一首");

    ASSERT_TRUE(waitFor([&] { return linesWith("标题更新无应答") >= 1; }, 10s)) << allLines();
    EXPECT_EQ(linesWith("网络直播连接断开：127.0.0.1:" + std::to_string(proxy.port()) + kMount +
                        "：标题更新无应答（2秒），1秒后重连"),
              1)
        << allLines();
    // It comes back by itself (and sends its title again, which is held again).
    ASSERT_TRUE(waitFor([&] { return linesWith("网络直播已连接") >= 2; }, 10s)) << allLines();
    ASSERT_TRUE(waitFor([&] { return proxy.heldTitles() >= 2; }, 5s));
    std::this_thread::sleep_for(300ms);  // inside the held title now

    // A new setting does not wait for the held title either.
    platform::StreamOutput& out = *streams.back();
    core::StreamSettings off = settings(proxy.port());
    off.Enabled = false;
    auto start = SteadyClock::now();
    out.configure(off);
    ASSERT_TRUE(waitFor([&] { return !out.counters().connected; }, 2s));
    std::printf("stream re-set in %.0f ms while its title update was held\n",
                std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count());
    out.configure(settings(proxy.port()));
    ASSERT_TRUE(waitFor([&] { return proxy.heldTitles() >= 3; }, 10s)) << allLines();
    std::this_thread::sleep_for(300ms);

    start = SteadyClock::now();
    streams.clear();
    const double closeMs =
        std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
    std::printf("stream closed in %.0f ms while its title update was held\n", closeMs);
    EXPECT_LT(closeMs, 2000);
    for (const std::string& l : lines) EXPECT_EQ(l.find(server.password()), std::string::npos);
}

TEST_F(IcecastFailuresTest, RequiredTlsRefusesAPlainServerWithoutSendingThePassword) {
    TitleHoldingProxy proxy(server.port());
    core::StreamSettings s = settings(proxy.port());
    s.TLS = core::StreamTls::Required;
    platform::StreamOutput& out = startStream(s);
    ASSERT_TRUE(waitFor([&] { return linesWith("网络直播无法连接") == 1; }, 10s)) << allLines();
    EXPECT_EQ(linesWith("未能建立加密连接（TLS），按设置不以明文连接，未发送密码"), 1) << allLines();
    EXPECT_GE(proxy.connections(), 1);
    EXPECT_FALSE(proxy.sawAuthorization());
    EXPECT_FALSE(out.counters().connected);

    // The same server without TLS: the proxy does see the password (the check above can fail).
    s.TLS = core::StreamTls::No;
    out.configure(s);
    ASSERT_TRUE(waitFor([&] { return out.counters().connected; }, 10s)) << allLines();
    EXPECT_TRUE(proxy.sawAuthorization());
}

TEST_F(IcecastFailuresTest, AWrongPasswordAndAMountInUseAreToldApart) {
    core::StreamSettings wrong = settings(server.port());
    wrong.Password = "not-the-password";
    platform::StreamOutput& refused = startStream(wrong);
    const std::string where = "127.0.0.1:" + std::to_string(server.port()) + kMount;
    ASSERT_TRUE(waitFor([&] { return linesWith("网络直播无法连接") == 1; }, 10s)) << allLines();
    EXPECT_EQ(linesWith("网络直播无法连接：" + where + "：密码错误，1秒后重试"), 1) << allLines();
    EXPECT_FALSE(refused.counters().connected);

    platform::StreamOutput& first = startStream(settings(server.port()));
    ASSERT_TRUE(waitFor([&] { return first.counters().connected; }, 10s)) << allLines();
    platform::StreamOutput& second = startStream(settings(server.port()));
    ASSERT_TRUE(waitFor([&] { return linesWith("网络直播无法连接") == 2; }, 10s)) << allLines();
    EXPECT_EQ(linesWith("网络直播无法连接：" + where + "：挂载点已被占用，1秒后重试"), 1)
        << allLines();
    EXPECT_FALSE(second.counters().connected);
    EXPECT_TRUE(first.counters().connected);
}

}  // namespace
}  // namespace pelvano::test
