// The bounded HTTP request beside the stream: its texts, its bounds against a loopback
// listener that accepts and never answers, or answers at once, and its TLS against Debian's
// `openssl s_server` with a certificate made for the test.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "Loopback.h"
#include "platform/stream/HttpExchange.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

namespace pelvano::platform {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

TEST(HttpExchange, TheAuthorizationAndQueryTextsAreEncoded) {
    EXPECT_EQ(BasicAuthorization("Aladdin", "open sesame"), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(BasicAuthorization("source", "pw"), "Basic c291cmNlOnB3");
    EXPECT_EQ(BasicAuthorization("source", "p"), "Basic c291cmNlOnA=");
    EXPECT_EQ(UrlQueryValue("/live.mp3"), "%2Flive.mp3");
    EXPECT_EQ(UrlQueryValue("A & B - 第一首"), "A%20%26%20B%20-%20%E7%AC%AC%E4%B8%80%E9%A6%96");
    EXPECT_EQ(UrlQueryValue("a_b.c~d"), "a_b.c~d");
}

// A loopback listener: accepts and either answers each request with reply or holds it.
class Listener {
  public:
    explicit Listener(std::string reply) : reply_(std::move(reply)) {
        fd_ = test::ListenOnLoopback(port_);
        thread_ = std::thread([this] {
            const int client = ::accept(fd_, nullptr, nullptr);
            char request[1024];
            if (client >= 0 && ::recv(client, request, sizeof request, 0) > 0 && !reply_.empty())
                ::send(client, reply_.data(), reply_.size(), MSG_NOSIGNAL);
            while (!done_) std::this_thread::sleep_for(5ms);
            if (client >= 0) ::close(client);
        });
    }
    ~Listener() {
        done_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        thread_.join();
        ::close(fd_);
    }
    int port() const { return port_; }

  private:
    std::string reply_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

const std::string kRequest = "GET / HTTP/1.0\r\n\r\n";

double msSince(SteadyClock::time_point start) {
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

TEST(HttpExchange, AnAnswerGivesItsStatus) {
    Listener server("HTTP/1.0 401 Authentication Required\r\n\r\n");
    const HttpAnswer a = ExchangeHttp("127.0.0.1", server.port(), false, kRequest, 2s, [] { return false; });
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::Answered);
    EXPECT_EQ(a.status, 401);
}

TEST(HttpExchange, ARequestNeverAnsweredEndsAtItsDeadlineOrWhenAbandoned) {
    Listener server("");
    auto start = SteadyClock::now();
    HttpAnswer a = ExchangeHttp("127.0.0.1", server.port(), false, kRequest, 300ms, [] { return false; });
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::TimedOut);
    EXPECT_GE(msSince(start), 290);
    EXPECT_LT(msSince(start), 1500);

    Listener held("");
    std::atomic<bool> abandon{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(100ms);
        abandon = true;
    });
    start = SteadyClock::now();
    a = ExchangeHttp("127.0.0.1", held.port(), false, kRequest, 10s, [&] { return abandon.load(); });
    stopper.join();
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::Abandoned);
    EXPECT_LT(msSince(start), 1000);
}

TEST(HttpExchange, NoServerOrNoHttpIsAFailureWithItsReason) {
    // A port nobody listens on: a listener closed again.
    int port = 0;
    { port = Listener("").port(); }
    HttpAnswer a = ExchangeHttp("127.0.0.1", port, false, kRequest, 2s, [] { return false; });
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::Failed);
    EXPECT_FALSE(a.error.empty());

    Listener garbage("SOURCE OK\r\n");
    a = ExchangeHttp("127.0.0.1", garbage.port(), false, kRequest, 2s, [] { return false; });
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::Failed);
    EXPECT_EQ(a.error, "not an HTTP answer");
}

TEST(HttpExchange, OverTlsThePeersCertificateIsCheckedBeforeTheRequestGoes) {
    test::TempDir dir;
    const std::string cert = dir.file("cert.pem"), key = dir.file("key.pem");
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost"
                             " -addext subjectAltName=IP:127.0.0.1 -keyout " + key + " -out " +
                             cert + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "openssl could not make a certificate";
    int port = 0;
    ::close(test::ListenOnLoopback(port));
    test::ServerProcess server;
    const auto answers = [&] {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in a = test::Loopback(port);
        const bool up = ::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
        ::close(s);
        return up;
    };
    ASSERT_TRUE(server.start({"openssl", "s_server", "-quiet", "-www", "-accept",
                              "127.0.0.1:" + std::to_string(port), "-cert", cert, "-key", key},
                             {}, answers, 100, 50ms));

    // A certificate no authority vouches for: no request goes.
    ::unsetenv("SSL_CERT_FILE");
    HttpAnswer a = ExchangeHttp("127.0.0.1", port, true, kRequest, 3s, [] { return false; });
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::Failed);
    EXPECT_NE(a.error.find("self-signed"), std::string::npos) << a.error;

    // Trusted (as the system's authorities would be), the answer comes back over TLS.
    ::setenv("SSL_CERT_FILE", cert.c_str(), 1);
    a = ExchangeHttp("127.0.0.1", port, true, kRequest, 3s, [] { return false; });
    ::unsetenv("SSL_CERT_FILE");
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::Answered) << a.error;
    EXPECT_EQ(a.status, 200);

    // A plain server does not pass for a TLS one.
    Listener plain("HTTP/1.0 200 OK\r\n\r\n");
    a = ExchangeHttp("127.0.0.1", plain.port(), true, kRequest, 2s, [] { return false; });
    EXPECT_EQ(a.outcome, HttpAnswer::Outcome::Failed);
}

}  // namespace
}  // namespace pelvano::platform
