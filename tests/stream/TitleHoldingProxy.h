#pragma once
// A loopback TCP proxy of the tests' own in front of a server: it relays every connection both
// ways, except the title updates (requests for /admin/metadata), which it holds open and never
// answers. It notes whether any request carried a password (an Authorization header).
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace pelvano::test {

class TitleHoldingProxy {
  public:
    // Listens on a free loopback port at once; relays to the loopback upstreamPort.
    explicit TitleHoldingProxy(int upstreamPort);
    ~TitleHoldingProxy();
    TitleHoldingProxy(const TitleHoldingProxy&) = delete;
    TitleHoldingProxy& operator=(const TitleHoldingProxy&) = delete;

    int port() const { return port_; }
    int connections() const { return connections_.load(); }
    int heldTitles() const { return heldTitles_.load(); }
    bool sawAuthorization() const { return sawAuthorization_.load(); }

  private:
    void acceptLoop();
    void serve(int client);
    // Copies one read from 'from' to 'to'; false when either side is done.
    bool forward(int from, int to, bool fromClient);

    int upstreamPort_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0}, heldTitles_{0};
    std::atomic<bool> sawAuthorization_{false};
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

}  // namespace pelvano::test
