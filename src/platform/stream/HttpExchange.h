#pragma once
// One short HTTP request on a connection of its own, bounded in time: the connect, the write
// and the wait for the answer's status line all end by the deadline, and the caller's abandon
// test is asked every few milliseconds meanwhile. Only the status is read; the connection is
// closed after it. Plain TCP, or TLS (TlsLink) with the peer's certificate checked. Used beside the stream's libshout connection for what
// libshout would do blocking (the title update) or cannot tell (why a login was refused).
// Name resolution is the system's (getaddrinfo) and is not bounded.
#include <chrono>
#include <functional>
#include <string>

namespace pelvano::platform {

struct HttpAnswer {
    enum class Outcome { Answered, TimedOut, Abandoned, Failed };
    Outcome outcome = Outcome::Failed;
    int status = 0;     // Answered: the HTTP status code
    std::string error;  // Failed: why (the system's text)
};

// request: the whole request text, headers and blank line included.
HttpAnswer ExchangeHttp(const std::string& host, int port, bool useTls, const std::string& request,
                        std::chrono::milliseconds limit, const std::function<bool()>& abandon);

// "Basic ..." for an Authorization header.
std::string BasicAuthorization(const std::string& user, const std::string& password);
// The text as one URL query value (RFC 3986 unreserved characters kept, the rest %XX).
std::string UrlQueryValue(const std::string& text);

}  // namespace pelvano::platform
