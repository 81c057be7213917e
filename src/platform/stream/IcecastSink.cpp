#include "platform/stream/IcecastSink.h"

#include <shout/shout.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "platform/stream/HttpExchange.h"

namespace pelvano::platform {

namespace {

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { shout_init(); });
}

std::string mountOf(const core::StreamSettings& s) {
    return !s.Mount.empty() && s.Mount[0] == '/' ? s.Mount : "/" + s.Mount;
}

int shoutTlsMode(core::StreamTls tls) {
    switch (tls) {
        case core::StreamTls::Required:
            return SHOUT_TLS_AUTO_NO_PLAIN;
        case core::StreamTls::No:
            return SHOUT_TLS_DISABLED;
        case core::StreamTls::Auto:
            break;
    }
    return SHOUT_TLS_AUTO;
}

std::string requestHead(const core::StreamSettings& s, const std::string& target) {
    return "GET " + target + " HTTP/1.0\r\nHost: " + s.Host + ":" + std::to_string(s.Port) +
           "\r\nUser-Agent: Pelvano\r\n";
}

}  // namespace

IcecastSink::IcecastSink(const core::StreamSettings& settings, StreamCodec codec)
    : settings_(settings), codec_(codec) {
    initialiseLibraryOnce();
}

IcecastSink::~IcecastSink() {
    if (shout_ == nullptr) return;
    shout_close(shout_);
    shout_free(shout_);
}

std::string IcecastSink::where() const {
    return settings_.Host + ":" + std::to_string(settings_.Port) + mountOf(settings_);
}

std::string IcecastSink::lastError() const {
    std::string text = shout_get_error(shout_);
    // libshout's texts do not quote the password; make sure of it.
    const std::string& password = settings_.Password;
    for (std::size_t at; !password.empty() && (at = text.find(password)) != std::string::npos;)
        text.replace(at, password.size(), "***");
    return text;
}

bool IcecastSink::configure() {
    const unsigned format = codec_ == StreamCodec::Mp3 ? SHOUT_FORMAT_MP3 : SHOUT_FORMAT_OGG;
    const std::string mount = mountOf(settings_);
    const std::string bitrate = std::to_string(settings_.Bitrate);
    const bool configured =
        shout_set_host(shout_, settings_.Host.c_str()) == SHOUTERR_SUCCESS &&
        shout_set_port(shout_, static_cast<unsigned short>(settings_.Port)) == SHOUTERR_SUCCESS &&
        shout_set_user(shout_, settings_.User.c_str()) == SHOUTERR_SUCCESS &&
        shout_set_password(shout_, settings_.Password.c_str()) == SHOUTERR_SUCCESS &&
        shout_set_mount(shout_, mount.c_str()) == SHOUTERR_SUCCESS &&
        shout_set_protocol(shout_, SHOUT_PROTOCOL_HTTP) == SHOUTERR_SUCCESS &&
        shout_set_tls(shout_, shoutTlsMode(settings_.TLS)) == SHOUTERR_SUCCESS &&
        shout_set_content_format(shout_, format, SHOUT_USAGE_AUDIO, nullptr) == SHOUTERR_SUCCESS &&
        shout_set_nonblocking(shout_, SHOUT_BLOCKING_NONE) == SHOUTERR_SUCCESS &&
        shout_set_agent(shout_, "Pelvano") == SHOUTERR_SUCCESS &&
        shout_set_audio_info(shout_, SHOUT_AI_BITRATE, bitrate.c_str()) == SHOUTERR_SUCCESS &&
        shout_set_meta(shout_, SHOUT_META_NAME, settings_.Name.c_str()) == SHOUTERR_SUCCESS &&
        shout_set_meta(shout_, SHOUT_META_GENRE, settings_.Genre.c_str()) == SHOUTERR_SUCCESS &&
        shout_set_meta(shout_, SHOUT_META_DESCRIPTION, settings_.Description.c_str()) ==
            SHOUTERR_SUCCESS;
    return configured;
}

void IcecastSink::close() {
    if (shout_ != nullptr) shout_close(shout_);
}

bool IcecastSink::open(const std::function<bool()>& abandon, std::string& error) {
    if (shout_ == nullptr) {
        shout_ = shout_new();
        if (shout_ == nullptr) {
            error = "out of memory";
            return false;
        }
        if (!configure()) {
            error = lastError();
            shout_free(shout_);
            shout_ = nullptr;
            return false;
        }
    }
    close();
    int result = shout_open(shout_);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
    while (result == SHOUTERR_BUSY || result == SHOUTERR_RETRY) {
        if (abandon() || std::chrono::steady_clock::now() > deadline) {
            error = withTlsRequired(SHOUTERR_BUSY, "timed out");
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        result = shout_get_connected(shout_);
        if (result == SHOUTERR_CONNECTED) result = SHOUTERR_SUCCESS;
    }
    if (result != SHOUTERR_SUCCESS) {
        error = openFailure(abandon);
        return false;
    }
    return true;
}

std::string IcecastSink::withTlsRequired(int failure, const std::string& text) const {
    // Without a connection or with a refused login the server was reached and spoke HTTP: not
    // a question of TLS. Anything else while TLS is required is the handshake that failed
    // (a plain server does not answer it), before any password was sent.
    const bool aboutTls = failure != SHOUTERR_NOCONNECT && failure != SHOUTERR_NOLOGIN &&
                          failure != SHOUTERR_MALLOC;
    if (!tlsRequired() || !aboutTls) return text;
    return "未能建立加密连接（TLS），按设置不以明文连接，未发送密码（" + text + "）";
}

std::string IcecastSink::openFailure(const std::function<bool()>& abandon) const {
    const int failure = shout_get_errno(shout_);
    if (failure != SHOUTERR_NOLOGIN) return withTlsRequired(failure, lastError());
    // Icecast answers 401 for a wrong password and 403 for a mount in use; libshout
    // says "Login failed" for both. A listener's request shows whether it is on air.
    const HttpAnswer probe = ExchangeHttp(settings_.Host, settings_.Port, tlsRequired(),
                                          requestHead(settings_, mountOf(settings_)) + "\r\n",
                                          std::chrono::milliseconds(kProbeTimeoutMs), abandon);
    const bool onAir = probe.outcome == HttpAnswer::Outcome::Answered && probe.status >= 200 &&
                       probe.status < 300;
    return onAir ? "挂载点已被占用" : "密码错误";
}

bool IcecastSink::send(const std::string& bytes, std::string& error) {
    const int result =
        shout_send(shout_, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    // Busy: accepted and queued, the socket will take it later.
    if (result != SHOUTERR_SUCCESS && result != SHOUTERR_BUSY) {
        error = lastError();
        return false;
    }
    const ssize_t queued = shout_queuelen(shout_);
    if (queued > static_cast<ssize_t>(settings_.Bitrate) * 1000 / 8 * kMaxQueuedSeconds) {
        error = "server not reading";
        return false;
    }
    return true;
}

bool IcecastSink::sendTitle(const StreamTitle& title, const std::function<bool()>& abandon,
                            std::string& error) {
    if (codec_ != StreamCodec::Mp3) return true;
    const std::string song =
        title.artist.empty() ? title.title : title.artist + " - " + title.title;
    const std::string target = "/admin/metadata?mount=" + UrlQueryValue(mountOf(settings_)) +
                               "&mode=updinfo&charset=UTF-8&song=" + UrlQueryValue(song);
    const std::string request = requestHead(settings_, target) + "Authorization: " +
                                BasicAuthorization(settings_.User, settings_.Password) +
                                "\r\n\r\n";
    const HttpAnswer answer = ExchangeHttp(settings_.Host, settings_.Port, tlsRequired(), request,
                                           std::chrono::milliseconds(kTitleTimeoutMs), abandon);
    switch (answer.outcome) {
        case HttpAnswer::Outcome::Answered:
            return true;
        case HttpAnswer::Outcome::TimedOut:
            error = "标题更新无应答（" + std::to_string(kTitleTimeoutMs / 1000) + "秒）";
            return false;
        case HttpAnswer::Outcome::Abandoned:
            error = "标题更新已中止";
            return false;
        case HttpAnswer::Outcome::Failed:
            break;
    }
    error = "标题更新失败：" + answer.error;
    return false;
}

}  // namespace pelvano::platform
