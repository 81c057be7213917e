#pragma once
// How long a lost stream waits before its next connection attempt: 1 s, then twice as long
// after each failure, at most 30 s; a connection that holds starts over at 1 s.
// One thread (the stream's sender).
namespace pelvano::core {

class ReconnectBackoff {
  public:
    static constexpr int kFirstMs = 1000;
    static constexpr int kLongestMs = 30000;

    // The wait before the next attempt; each call doubles the following one.
    int nextDelayMs() {
        const int delay = next_;
        next_ = next_ >= kLongestMs / 2 ? kLongestMs : next_ * 2;
        return delay;
    }
    void reset() { next_ = kFirstMs; }

  private:
    int next_ = kFirstMs;
};

}  // namespace pelvano::core
