#include "platform/ffmpeg/ScannedDuration.h"

#include <sys/stat.h>

#include <map>
#include <mutex>
#include <tuple>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace pelvano::platform {

namespace {

struct FileIdentity {
    std::string path;
    int streamIndex = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator<(const FileIdentity& other) const {
        return std::tie(path, streamIndex, size, modifiedNs) <
               std::tie(other.path, other.streamIndex, other.size, other.modifiedNs);
    }
};

std::optional<std::int64_t> countPackets(const std::string& path, int streamIndex) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return std::nullopt;
    std::optional<std::int64_t> result;
    AVPacket* packet = av_packet_alloc();
    if (packet != nullptr && streamIndex < static_cast<int>(format->nb_streams)) {
        const AVRational timeBase = format->streams[streamIndex]->time_base;
        std::int64_t total = 0;
        int r = 0;
        while ((r = av_read_frame(format, packet)) >= 0) {
            if (packet->stream_index == streamIndex && packet->duration > 0)
                total += packet->duration;
            av_packet_unref(packet);
        }
        if (r == AVERROR_EOF && total > 0)
            result = av_rescale_q(total, timeBase, AVRational{1, 10000000});
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return result;
}

std::optional<FileIdentity> identityOf(const std::string& path, int streamIndex) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{path, streamIndex, st.st_size,
                        st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
}

std::mutex& knownMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<FileIdentity, std::int64_t>& known() {
    static std::map<FileIdentity, std::int64_t> durations;
    return durations;
}

}  // namespace

std::optional<std::int64_t> KnownScannedDuration(const std::string& path, int streamIndex) {
    const auto identity = identityOf(path, streamIndex);
    if (!identity) return std::nullopt;
    std::lock_guard<std::mutex> lock(knownMutex());
    if (auto it = known().find(*identity); it != known().end()) return it->second;
    return std::nullopt;
}

std::optional<std::int64_t> ScannedDuration(const std::string& path, int streamIndex) {
    const auto identity = identityOf(path, streamIndex);
    if (!identity) return std::nullopt;
    if (auto kept = KnownScannedDuration(path, streamIndex)) return kept;
    const std::optional<std::int64_t> duration = countPackets(path, streamIndex);
    if (duration) {
        constexpr std::size_t kMaxKnown = 20000;  // a large music library, and not more
        std::lock_guard<std::mutex> lock(knownMutex());
        if (known().size() >= kMaxKnown) known().clear();
        known()[*identity] = *duration;
    }
    return duration;
}

}  // namespace pelvano::platform
