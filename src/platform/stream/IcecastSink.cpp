#include "platform/stream/IcecastSink.h"

#include <shout/shout.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace pelvano::platform {

namespace {

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { shout_init(); });
}

std::string mountOf(const core::StreamSettings& s) {
    return !s.Mount.empty() && s.Mount[0] == '/' ? s.Mount : "/" + s.Mount;
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
            error = "timed out";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        result = shout_get_connected(shout_);
        if (result == SHOUTERR_CONNECTED) result = SHOUTERR_SUCCESS;
    }
    if (result != SHOUTERR_SUCCESS) {
        error = lastError();
        return false;
    }
    return true;
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

void IcecastSink::sendTitle(const StreamTitle& title) {
    if (codec_ != StreamCodec::Mp3) return;
    shout_metadata_t* metadata = shout_metadata_new();
    if (metadata == nullptr) return;
    const std::string song =
        title.artist.empty() ? title.title : title.artist + " - " + title.title;
    // A title the server refuses is no reason to drop the stream.
    if (shout_metadata_add(metadata, "song", song.c_str()) == SHOUTERR_SUCCESS) {
        [[maybe_unused]] const int refused = shout_set_metadata_utf8(shout_, metadata);
    }
    shout_metadata_free(metadata);
}

}  // namespace pelvano::platform
