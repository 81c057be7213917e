#include "platform/stream/HttpExchange.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/stream/TlsLink.h"

namespace pelvano::platform {

namespace {

using SteadyClock = std::chrono::steady_clock;
// How often a wait asks whether to give up.
constexpr int kSliceMs = 20;

class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

enum class Wait { Ready, TimedOut, Abandoned, Failed };

// Polls fd for events in short slices until it is ready, the deadline passes or the caller
// gives up.
Wait waitFor(int fd, short events, SteadyClock::time_point deadline,
             const std::function<bool()>& abandon) {
    while (true) {
        if (abandon()) return Wait::Abandoned;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - SteadyClock::now());
        if (left.count() <= 0) return Wait::TimedOut;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(left.count(), kSliceMs)));
        if (n > 0) return Wait::Ready;
        if (n < 0 && errno != EINTR) return Wait::Failed;
    }
}

HttpAnswer fromWait(Wait wait) {
    HttpAnswer answer;
    if (wait == Wait::TimedOut) answer.outcome = HttpAnswer::Outcome::TimedOut;
    if (wait == Wait::Abandoned) answer.outcome = HttpAnswer::Outcome::Abandoned;
    if (wait == Wait::Failed) answer.error = std::strerror(errno);
    return answer;
}

HttpAnswer failed(const std::string& why) {
    HttpAnswer answer;
    answer.error = why;
    return answer;
}

// Connects a non-blocking socket (fd) to one of the addresses; else why none answered.
std::optional<HttpAnswer> connectTo(const addrinfo* list, SteadyClock::time_point deadline,
                                    const std::function<bool()>& abandon, int& fd) {
    HttpAnswer last = failed("no address");
    for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
        const int s = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                               a->ai_protocol);
        if (s < 0) {
            last = failed(std::strerror(errno));
            continue;
        }
        if (::connect(s, a->ai_addr, a->ai_addrlen) == 0) {
            fd = s;
            return std::nullopt;
        }
        if (errno == EINPROGRESS) {
            const Wait w = waitFor(s, POLLOUT, deadline, abandon);
            int error = 0;
            socklen_t size = sizeof error;
            if (w == Wait::Ready && ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
                error == 0) {
                fd = s;
                return std::nullopt;
            }
            last = w == Wait::Ready ? failed(std::strerror(error)) : fromWait(w);
        } else {
            last = failed(std::strerror(errno));
        }
        ::close(s);
        if (last.outcome != HttpAnswer::Outcome::Failed) break;  // no time left for another
    }
    return last;
}

// A plain socket call's result as a TlsLink one.
ssize_t plainStep(ssize_t result, short direction, short& wants) {
    if (result >= 0) return result;
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return TlsLink::kFailed;
    wants = direction;
    return TlsLink::kWait;
}

// The code of a status line "HTTP/1.x NNN ...", 0 when the text is no such line.
int statusOf(const std::string& head) {
    if (head.compare(0, 5, "HTTP/") != 0) return 0;
    const std::size_t space = head.find(' ');
    if (space == std::string::npos || space + 4 > head.size()) return 0;
    int code = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        if (head[i] < '0' || head[i] > '9') return 0;
        code = code * 10 + (head[i] - '0');
    }
    return code;
}

}  // namespace

HttpAnswer ExchangeHttp(const std::string& host, int port, bool useTls, const std::string& request,
                        std::chrono::milliseconds limit, const std::function<bool()>& abandon) {
    const auto deadline = SteadyClock::now() + limit;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int resolved = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (resolved != 0) return failed(::gai_strerror(resolved));
    int fd = -1;
    const std::optional<HttpAnswer> unconnected = connectTo(list, deadline, abandon, fd);
    ::freeaddrinfo(list);
    if (unconnected) return *unconnected;
    const Socket socket(fd);

    std::unique_ptr<TlsLink> tls;
    // Repeats one step of I/O until it moves bytes or ends (0), waiting as it asks; the answer
    // that ends the exchange instead, if any.
    const auto move = [&](const std::function<ssize_t(short&)>& step,
                          std::size_t& moved) -> std::optional<HttpAnswer> {
        while (true) {
            short wants = 0;
            const ssize_t n = step(wants);
            if (n >= 0) {
                moved = static_cast<std::size_t>(n);
                return std::nullopt;
            }
            if (n == TlsLink::kFailed) return failed(tls ? tls->error() : std::strerror(errno));
            const Wait w = waitFor(fd, wants, deadline, abandon);
            if (w != Wait::Ready) return fromWait(w);
        }
    };
    std::size_t moved = 0;
    if (useTls) {
        tls = std::make_unique<TlsLink>(fd, host);
        if (auto end = move([&](short& wants) { return tls->handshake(wants); }, moved)) return *end;
    }
    const auto write = [&](const char* data, std::size_t size, short& wants) {
        return tls ? tls->write(data, size, wants)
                   : plainStep(::send(fd, data, size, MSG_NOSIGNAL), POLLOUT, wants);
    };
    const auto read = [&](char* data, std::size_t size, short& wants) {
        return tls ? tls->read(data, size, wants)
                   : plainStep(::recv(fd, data, size, 0), POLLIN, wants);
    };

    for (std::size_t sent = 0; sent < request.size(); sent += moved) {
        const auto step = [&](short& wants) {
            return write(request.data() + sent, request.size() - sent, wants);
        };
        if (auto end = move(step, moved)) return *end;
        if (moved == 0) return failed("connection closed");
    }

    std::string head;
    constexpr std::size_t kLongestStatusLine = 1024;
    while (head.find('\n') == std::string::npos && head.size() < kLongestStatusLine) {
        char buffer[256];
        const auto step = [&](short& wants) { return read(buffer, sizeof buffer, wants); };
        if (auto end = move(step, moved)) return *end;
        if (moved == 0) break;
        head.append(buffer, moved);
    }
    const int status = statusOf(head);
    if (status == 0) return failed("not an HTTP answer");
    return HttpAnswer{HttpAnswer::Outcome::Answered, status, {}};
}

std::string BasicAuthorization(const std::string& user, const std::string& password) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string in = user + ":" + password;
    std::string out = "Basic ";
    for (std::size_t i = 0; i < in.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, in.size() - i);
        std::uint32_t bits = 0;
        for (std::size_t k = 0; k < 3; ++k)
            bits = (bits << 8) | (k < n ? static_cast<unsigned char>(in[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[(bits >> (18 - 6 * k)) & 0x3f] : '=';
    }
    return out;
}

std::string UrlQueryValue(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0x0f];
        }
    }
    return out;
}

}  // namespace pelvano::platform
