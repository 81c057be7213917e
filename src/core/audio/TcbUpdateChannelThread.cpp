#include "core/audio/TcbUpdateChannelThread.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace pelvano::core {

TcbUpdateChannelThread::TcbUpdateChannelThread(std::function<void()> pass, const Clock& clock,
                                               SteppedRefills* stepped)
    : pass_(std::move(pass)), clock_(clock), stepped_(stepped) {
    if (stepped_ != nullptr) {
        stepped_->attach(*this);
    } else {
        thread_ = std::thread([this] { threadLoop(); });
    }
}

TcbUpdateChannelThread::~TcbUpdateChannelThread() {
    active_.store(false, std::memory_order_release);
    if (stepped_ != nullptr) {
        stepped_->detach(*this);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        terminated_ = true;
        wakeSignalled_ = true;
    }
    wakeSignal_.notify_one();
    thread_.join();
}

void TcbUpdateChannelThread::setActive(bool active) {
    const bool was = active_.exchange(active, std::memory_order_acq_rel);
    if (!active || was) return;
    if (stepped_ != nullptr) {
        nextDueMs_ = clock_.tickMs() + Interval();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        wakeSignalled_ = true;
    }
    wakeSignal_.notify_one();
}

void TcbUpdateChannelThread::deactivateAndWait() {
    setActive(false);
    // Stepped passes run on the caller's own thread: none is running now.
    if (stepped_ == nullptr) {
        const std::lock_guard<std::mutex> runningPassEnded(passMutex_);
    }
}

void TcbUpdateChannelThread::threadLoop() {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    while (!terminated_) {
        if (!Active()) {
            wakeSignal_.wait(lock, [this] { return wakeSignalled_; });
            wakeSignalled_ = false;
            continue;
        }
        const bool woken = wakeSignal_.wait_for(lock, std::chrono::milliseconds(Interval()),
                                                [this] { return wakeSignalled_; });
        if (woken) {
            wakeSignalled_ = false;
            continue;
        }
        lock.unlock();
        {
            std::lock_guard<std::mutex> pass(passMutex_);
            if (Active()) pass_();
        }
        lock.lock();
    }
}

std::optional<std::uint64_t> SteppedRefills::nextDue() const {
    std::optional<std::uint64_t> due;
    for (const TcbUpdateChannelThread* w : workers_) {
        if (w->Active() && (!due || w->nextDueMs_ < *due)) due = w->nextDueMs_;
    }
    return due;
}

void SteppedRefills::runDue(std::uint64_t nowMs) {
    for (;;) {
        TcbUpdateChannelThread* earliest = nullptr;
        for (TcbUpdateChannelThread* w : workers_) {
            if (w->Active() && w->nextDueMs_ <= nowMs &&
                (earliest == nullptr || w->nextDueMs_ < earliest->nextDueMs_)) {
                earliest = w;
            }
        }
        if (earliest == nullptr) return;
        earliest->nextDueMs_ += std::max<std::uint32_t>(1, earliest->Interval());
        earliest->pass_();
    }
}

void SteppedRefills::attach(TcbUpdateChannelThread& worker) {
    workers_.push_back(&worker);
}

void SteppedRefills::detach(TcbUpdateChannelThread& worker) {
    workers_.erase(std::remove(workers_.begin(), workers_.end(), &worker), workers_.end());
}

}  // namespace pelvano::core
