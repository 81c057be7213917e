#include "core/remote/StatusBoard.h"

#include <cmath>

namespace pelvano::core {

namespace {

std::string keyOf(const StationStatus& s) {
    std::string key = s.state + '|' + s.hold + '|' + s.schedule + '|' + s.deviceName + '|' +
                      (s.deviceOk ? '1' : '0') + (s.streamEnabled ? '1' : '0') +
                      (s.streamConnected ? '1' : '0') + '|' + s.streamText;
    if (s.item) {
        key += '|' + std::to_string(s.item->row) + '|' + s.item->title + '|' +
               std::to_string(static_cast<long long>(std::floor(s.item->elapsedS))) + '|' +
               std::to_string(static_cast<long long>(s.item->lengthS * 10));
    }
    return key;
}

}  // namespace

void StatusBoard::publish(std::shared_ptr<const StationStatus> status) {
    std::string key = keyOf(*status);
    const std::lock_guard lock(mutex_);
    if (key != statusKey_) {
        statusKey_ = std::move(key);
        ++version_;
    }
    status_ = std::move(status);
}

void StatusBoard::addLogLine(std::string utf8) {
    const std::lock_guard lock(mutex_);
    log_.push_back({++lastSeq_, std::move(utf8)});
    if (log_.size() > kLogLines) log_.pop_front();
}

std::shared_ptr<const StationStatus> StatusBoard::status() const {
    const std::lock_guard lock(mutex_);
    return status_;
}

std::uint64_t StatusBoard::statusVersion() const {
    const std::lock_guard lock(mutex_);
    return version_;
}

std::vector<StatusLogLine> StatusBoard::logSince(std::uint64_t seq) const {
    const std::lock_guard lock(mutex_);
    std::vector<StatusLogLine> lines;
    for (const StatusLogLine& line : log_) {
        if (line.seq > seq) lines.push_back(line);
    }
    return lines;
}

std::uint64_t StatusBoard::lastLogSeq() const {
    const std::lock_guard lock(mutex_);
    return lastSeq_;
}

}  // namespace pelvano::core
