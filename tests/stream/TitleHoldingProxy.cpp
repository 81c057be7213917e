#include "TitleHoldingProxy.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "Loopback.h"

namespace pelvano::test {

namespace {

constexpr int kPollMs = 20;

bool hasAuthorization(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text.find("\nauthorization:") != std::string::npos;
}

}  // namespace

TitleHoldingProxy::TitleHoldingProxy(int upstreamPort) : upstreamPort_(upstreamPort) {
    listener_ = ListenOnLoopback(port_);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

TitleHoldingProxy::~TitleHoldingProxy() {
    stop_ = true;
    acceptor_.join();
    for (std::thread& t : workers_) t.join();
    ::close(listener_);
}

void TitleHoldingProxy::acceptLoop() {
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        ++connections_;
        std::lock_guard<std::mutex> lock(mutex_);
        workers_.emplace_back([this, client] { serve(client); });
    }
}

bool TitleHoldingProxy::forward(int from, int to, bool fromClient) {
    char buffer[16384];
    const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    const std::string chunk(buffer, static_cast<std::size_t>(n));
    if (fromClient && hasAuthorization(chunk)) sawAuthorization_ = true;
    if (fromClient && chunk.rfind("GET /admin/metadata", 0) == 0) {
        // Held: read on (so the client's close is seen) but never answer.
        ++heldTitles_;
        char ignored[256];
        while (!stop_) {
            pollfd p{from, POLLIN, 0};
            if (::poll(&p, 1, kPollMs) > 0 && ::recv(from, ignored, sizeof ignored, 0) <= 0) break;
        }
        return false;
    }
    return ::send(to, chunk.data(), chunk.size(), MSG_NOSIGNAL) == n;
}

void TitleHoldingProxy::serve(int client) {
    const int upstream = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(upstreamPort_);
    if (::connect(upstream, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        pollfd p[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
        bool open = true;
        while (open && !stop_) {
            if (::poll(p, 2, kPollMs) <= 0) continue;
            if (p[0].revents != 0) open = forward(client, upstream, true);
            if (open && p[1].revents != 0) open = forward(upstream, client, false);
        }
    }
    ::close(upstream);
    ::close(client);
}

}  // namespace pelvano::test
