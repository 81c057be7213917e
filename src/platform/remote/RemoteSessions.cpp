#include "platform/remote/RemoteSessions.h"

#include <algorithm>

#include "platform/remote/PasswordHash.h"

namespace pelvano::platform {

RemoteSessions::Session RemoteSessions::open(const std::string& user, std::int64_t nowUs) {
    Session session{RandomHex(16), RandomHex(16), user};
    const std::lock_guard lock(mutex_);
    for (auto it = sessions_.begin(); it != sessions_.end();) {
        it = nowUs - it->second.lastUs > kIdleUs ? sessions_.erase(it) : std::next(it);
    }
    if (sessions_.size() >= kMaxSessions) {
        sessions_.erase(std::min_element(sessions_.begin(), sessions_.end(),
                                         [](const auto& a, const auto& b) {
                                             return a.second.lastUs < b.second.lastUs;
                                         }));
    }
    sessions_[session.id] = Entry{session, nowUs};
    return session;
}

std::optional<RemoteSessions::Session> RemoteSessions::touch(const std::string& id,
                                                             std::int64_t nowUs) {
    const std::lock_guard lock(mutex_);
    const auto it = sessions_.find(id);
    if (it == sessions_.end()) return std::nullopt;
    if (nowUs - it->second.lastUs > kIdleUs) {
        sessions_.erase(it);
        return std::nullopt;
    }
    it->second.lastUs = nowUs;
    return it->second.session;
}

void RemoteSessions::close(const std::string& id) {
    const std::lock_guard lock(mutex_);
    sessions_.erase(id);
}

void LoginLimiter::forgetOld(std::deque<std::int64_t>& times, std::int64_t nowUs) const {
    while (!times.empty() && nowUs - times.front() >= kWindowUs) times.pop_front();
}

bool LoginLimiter::refused(const std::string& address, std::int64_t nowUs) {
    const std::lock_guard lock(mutex_);
    const auto it = failures_.find(address);
    if (it == failures_.end()) return false;
    forgetOld(it->second, nowUs);
    if (it->second.empty()) {
        failures_.erase(it);
        return false;
    }
    return it->second.size() >= static_cast<std::size_t>(kMaxFailures);
}

void LoginLimiter::failed(const std::string& address, std::int64_t nowUs) {
    const std::lock_guard lock(mutex_);
    if (failures_.size() >= kMaxAddresses && !failures_.contains(address)) {
        // Many addresses at once: the stale ones go; with none stale, the map is started over.
        for (auto it = failures_.begin(); it != failures_.end();) {
            forgetOld(it->second, nowUs);
            it = it->second.empty() ? failures_.erase(it) : std::next(it);
        }
        if (failures_.size() >= kMaxAddresses) failures_.clear();
    }
    auto& times = failures_[address];
    forgetOld(times, nowUs);
    times.push_back(nowUs);
}

}  // namespace pelvano::platform
