#pragma once
// The remote control's logins: sessions named by a random 128-bit id, each with its own CSRF
// token, ended after kIdle without a request; and the failed logins of each address, refused
// once kMaxFailures fell within kFailureWindow. Times are the caller's monotonic microseconds.
// Any thread.
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace pelvano::platform {

class RemoteSessions {
  public:
    static constexpr std::int64_t kIdleUs = 12LL * 3600 * 1000000;
    static constexpr std::size_t kMaxSessions = 1000;

    struct Session {
        std::string id;
        std::string csrf;
        std::string user;
    };

    // A new session; the oldest goes when kMaxSessions are open.
    Session open(const std::string& user, std::int64_t nowUs);
    // The session of an id, its idle time restarted; none when unknown or expired.
    std::optional<Session> touch(const std::string& id, std::int64_t nowUs);
    void close(const std::string& id);

  private:
    struct Entry {
        Session session;
        std::int64_t lastUs = 0;
    };
    std::mutex mutex_;
    std::map<std::string, Entry> sessions_;
};

class LoginLimiter {
  public:
    static constexpr int kMaxFailures = 5;
    static constexpr std::int64_t kWindowUs = 60LL * 1000000;
    static constexpr std::size_t kMaxAddresses = 10000;

    // True when the address failed kMaxFailures times within the window before now.
    bool refused(const std::string& address, std::int64_t nowUs);
    void failed(const std::string& address, std::int64_t nowUs);

  private:
    void forgetOld(std::deque<std::int64_t>& times, std::int64_t nowUs) const;

    std::mutex mutex_;
    std::map<std::string, std::deque<std::int64_t>> failures_;
};

}  // namespace pelvano::platform
