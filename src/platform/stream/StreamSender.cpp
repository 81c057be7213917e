#include "platform/stream/StreamSender.h"

#include <signal.h>

#include <algorithm>
#include <exception>

#include "core/stream/ReconnectBackoff.h"

namespace pelvano::platform {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr std::uint32_t kBlockFrames = 4096;
// How long the sender sleeps when the ring is empty (streaming) or nobody listens.
constexpr auto kEmptyRingWait = std::chrono::milliseconds(10);
constexpr auto kUnconnectedWait = std::chrono::milliseconds(50);
// A sender that keeps falling behind is told at most this often.
constexpr auto kDropReportInterval = std::chrono::seconds(60);
// A connection lost sooner than this (a title the server never answers, say) does not start the
// back-off over: a server that keeps failing is asked less and less often.
constexpr auto kHeldConnection = std::chrono::seconds(30);

}  // namespace

struct StreamSender::Session {
    core::StreamSettings settings;
    StreamCodec codec = StreamCodec::Mp3;
    std::unique_ptr<StreamSink> sink;
    std::unique_ptr<StreamEncoder> encoder;
    StreamTitle title;  // on air now
    core::ReconnectBackoff backoff;
    SteadyClock::time_point nextAttempt{};
    SteadyClock::time_point connectedAt{};
    bool failureLogged = false;     // the current run of failed attempts is in the log
    std::uint64_t droppedSeen = 0;  // the ring's drops already told
    SteadyClock::time_point lastDropReport{};

    bool active() const { return settings.Enabled; }
    bool connected() const { return encoder != nullptr; }
};

StreamSender::StreamSender(core::EventQueue& events, std::function<void(const std::string&)> log,
                           StreamSinkFactory sinks)
    : events_(events), log_(std::move(log)), sinks_(std::move(sinks)) {}

void StreamSender::configure(const core::StreamSettings& settings) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        newSettings_ = settings;
    }
    interrupt_.store(true);
    wake_.notify_all();
}

void StreamSender::queueTitle(const StreamTitle& title) {
    std::lock_guard<std::mutex> lock(mutex_);
    titles_.push_back({ring_.written(), title});
}

StreamCounters StreamSender::counters() const {
    StreamCounters c;
    c.connections = connections_.load();
    c.losses = losses_.load();
    c.bytesSent = bytesSent_.load();
    c.framesEncoded = framesEncoded_.load();
    c.framesDropped = ring_.dropped();
    c.connected = connected_.load();
    return c;
}

void StreamSender::requestStop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    stopping_.store(true);
    wake_.notify_all();
}

bool StreamSender::waitUntilStopped(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, limit, [this] { return stopped_; })) return true;
    abandoned_ = true;
    return false;
}

void StreamSender::post(const std::string& line) {
    // Under the lock: the owner cannot abandon the thread (and free events_) meanwhile.
    std::lock_guard<std::mutex> lock(mutex_);
    if (!abandoned_) events_.post([log = log_, line] { log(line); });
}

void StreamSender::run() {
    // A server that closes the connection must not end the program: libshout writes to the
    // socket without MSG_NOSIGNAL, so the write's SIGPIPE stays blocked (pending) on this
    // thread and the write fails with EPIPE instead.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    Session session;
    std::vector<float> block(static_cast<std::size_t>(kBlockFrames) * core::MixRing::kChannels);
    while (true) {
        bool stopping = false;
        std::optional<core::StreamSettings> settings;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            stopping = stop_;
            settings.swap(newSettings_);
            interrupt_.store(false);
        }
        if (settings) {
            endSession(session);
            session.settings = *settings;
            startSession(session);
        }
        if (stopping) {
            // What the ring holds now belongs to the stream's end.
            const std::uint64_t end = ring_.written();
            while (session.connected() && ring_.consumed() < end && pump(session, block)) {
            }
            endSession(session);
            std::lock_guard<std::mutex> lock(mutex_);
            stopped_ = true;
            wake_.notify_all();
            return;
        }
        if (session.active() && !session.connected() && SteadyClock::now() >= session.nextAttempt)
            tryConnect(session);
        if (session.connected()) {
            if (pump(session, block)) continue;
        } else {
            // Nobody listens: the mix is not kept, the titles are.
            ring_.skipAll();
            applyDueTitles(session);
        }
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_for(lock, session.connected() ? kEmptyRingWait : kUnconnectedWait,
                       [this] { return stop_ || newSettings_.has_value(); });
    }
}

void StreamSender::startSession(Session& s) {
    s.backoff.reset();
    s.nextAttempt = SteadyClock::now();
    s.failureLogged = false;
    if (s.active() && !StreamEncoder::parseFormat(s.settings.Format, s.codec)) {
        post("网络直播格式无效：" + s.settings.Format + "（可用 mp3、ogg、opus）");
        s.settings.Enabled = false;
    }
}

void StreamSender::endSession(Session& s) {
    if (s.connected()) {
        try {
            std::string tail;
            s.encoder->finish(tail);
            std::string ignored;
            if (!tail.empty()) s.sink->send(tail, ignored);
        } catch (const std::exception&) {
            // The stream ends either way.
        }
    }
    s.encoder.reset();
    s.sink.reset();
    connected_.store(false);
}

bool StreamSender::tryConnect(Session& s) {
    std::string error;
    try {
        // One destination per setting, reconnected as often as needed.
        if (!s.sink) s.sink = sinks_(s.settings, s.codec);
        if (s.sink->open([this] { return interrupted(); }, error)) {
            s.encoder = std::make_unique<StreamEncoder>(s.codec, s.settings.Bitrate,
                                                        ring_.sampleRate(), s.title);
            // Listeners hear from now on, not what waited while nobody was connected.
            ring_.skipAll();
            s.droppedSeen = ring_.dropped();
            connections_.fetch_add(1);
            connected_.store(true);
            s.failureLogged = false;
            s.connectedAt = SteadyClock::now();
            post("网络直播已连接：" + s.sink->where());
            return s.title.title.empty() || sendTitle(s);
        }
    } catch (const std::exception& e) {
        error = e.what();
    }
    const std::string where = s.sink ? s.sink->where() : s.settings.Host;
    s.encoder.reset();
    if (s.sink) s.sink->close();
    if (interrupted()) return false;  // a new setting or the stop: not a failure
    const int delayMs = s.backoff.nextDelayMs();
    s.nextAttempt = SteadyClock::now() + std::chrono::milliseconds(delayMs);
    if (!s.failureLogged) {
        post("网络直播无法连接：" + where + "：" + error + "，" + std::to_string(delayMs / 1000) +
             "秒后重试");
        s.failureLogged = true;
    }
    return false;
}

void StreamSender::lose(Session& s, const std::string& reason) {
    const std::string where = s.sink->where();
    s.encoder.reset();
    s.sink->close();
    connected_.store(false);
    losses_.fetch_add(1);
    if (SteadyClock::now() - s.connectedAt >= kHeldConnection) s.backoff.reset();
    const int delayMs = s.backoff.nextDelayMs();
    s.nextAttempt = SteadyClock::now() + std::chrono::milliseconds(delayMs);
    s.failureLogged = true;  // the attempts that follow are part of this loss
    post("网络直播连接断开：" + where + "：" + reason + "，" + std::to_string(delayMs / 1000) +
         "秒后重连");
}

std::uint64_t StreamSender::applyDueTitles(Session& s) {
    const std::uint64_t readAt = ring_.consumed();
    while (true) {
        QueuedTitle next;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (titles_.empty()) return kBlockFrames;
            if (titles_.front().position > readAt) return titles_.front().position - readAt;
            next = std::move(titles_.front());
            titles_.pop_front();
        }
        s.title = next.title;
        if (!s.connected()) continue;
        std::string bytes;
        s.encoder->beginTitle(s.title, bytes);
        if (!sendBytes(s, bytes) || !sendTitle(s)) return 0;
    }
}

bool StreamSender::sendTitle(Session& s) {
    std::string error;
    if (s.sink->sendTitle(s.title, [this] { return interrupted(); }, error)) return true;
    // A new setting or the stop cut it short: the stream ends or goes on, but was not lost.
    if (interrupted()) return true;
    lose(s, error);
    return false;
}

bool StreamSender::sendBytes(Session& s, std::string& bytes) {
    if (bytes.empty()) return true;
    std::string error;
    if (!s.sink->send(bytes, error)) {
        lose(s, error);
        return false;
    }
    bytesSent_.fetch_add(bytes.size());
    return true;
}

void StreamSender::reportDrops(Session& s) {
    const std::uint64_t dropped = ring_.dropped();
    const auto now = SteadyClock::now();
    if (dropped == s.droppedSeen || (s.lastDropReport != SteadyClock::time_point{} &&
                                     now - s.lastDropReport < kDropReportInterval)) {
        return;
    }
    const std::uint64_t ms = (dropped - s.droppedSeen) * 1000 / std::max(1u, ring_.sampleRate());
    post("网络直播跟不上播出，丢失" + std::to_string(ms) + "毫秒的声音");
    s.droppedSeen = dropped;
    s.lastDropReport = now;
}

bool StreamSender::pump(Session& s, std::vector<float>& block) {
    try {
        const std::uint64_t room = applyDueTitles(s);
        if (!s.connected()) return false;
        const std::uint32_t wanted =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(room, kBlockFrames));
        const std::uint32_t n = ring_.pop(block.data(), wanted);
        if (n == 0) return false;
        reportDrops(s);
        std::string bytes;
        if (ring_.sampleRate() != s.encoder->inputRate()) {
            // The output was re-opened at another rate: a new encoder from here on.
            s.encoder->finish(bytes);
            s.encoder = std::make_unique<StreamEncoder>(s.codec, s.settings.Bitrate,
                                                        ring_.sampleRate(), s.title);
        }
        s.encoder->encode(block.data(), n, bytes);
        framesEncoded_.fetch_add(n);
        return sendBytes(s, bytes);
    } catch (const std::exception& e) {
        lose(s, e.what());
        return false;
    }
}

}  // namespace pelvano::platform
