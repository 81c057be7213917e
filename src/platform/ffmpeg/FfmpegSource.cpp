#include "platform/ffmpeg/FfmpegSource.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libswresample/swresample.h>
}

#include "platform/ffmpeg/ScannedDuration.h"

namespace pelvano::platform {

namespace {

constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057);
constexpr std::int32_t kNotOpen = static_cast<std::int32_t>(0x80040407);
const AVRational kStreamTimeBase{1, 10000000};
constexpr int kMaxFailuresInRow = 64;
constexpr std::uint16_t kIeeeFloatTag = 3;

}  // namespace

struct FfmpegSource::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int streamIndex = -1;
    AVRational timeBase{1, 1};
    std::int64_t streamStart = 0;
    AVSampleFormat outFormat = AV_SAMPLE_FMT_S16;
    AVChannelLayout layout{};
    int swrInFormat = -1;
    int rate = 0;
    int channels = 0;
    int blockAlign = 0;
    std::vector<std::uint8_t> pending;
    std::size_t pendingOffset = 0;
    // Frames delivered since the start of the file, counted: the source of every block time.
    std::int64_t framesDelivered = 0;
    // After a seek: the first frame wanted; decoded frames before it are dropped.
    std::int64_t seekTargetFrame = -1;
    bool inputEnded = false;

    ~State() {
        swr_free(&swr);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        av_channel_layout_uninit(&layout);
    }

    int openFile(const std::string& path, Samples samples);
    int ensureConverter();
    int appendFrame();
    int decodeMore();
};

int FfmpegSource::State::openFile(const std::string& path, Samples samples) {
    int r = avformat_open_input(&format, path.c_str(), nullptr, nullptr);
    if (r < 0) return r;
    if ((r = avformat_find_stream_info(format, nullptr)) < 0) return r;
    const AVCodec* decoder = nullptr;
    streamIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (streamIndex < 0) return streamIndex;
    AVStream* stream = format->streams[streamIndex];
    codec = avcodec_alloc_context3(decoder);
    if (codec == nullptr) return AVERROR(ENOMEM);
    if ((r = avcodec_parameters_to_context(codec, stream->codecpar)) < 0) return r;
    codec->pkt_timebase = stream->time_base;
    if ((r = avcodec_open2(codec, decoder, nullptr)) < 0) return r;
    rate = codec->sample_rate;
    channels = codec->ch_layout.nb_channels;
    if (rate <= 0 || channels <= 0) return AVERROR_INVALIDDATA;
    if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&layout, channels);
    } else if ((r = av_channel_layout_copy(&layout, &codec->ch_layout)) < 0) {
        return r;
    }
    if (samples == Samples::Float) {
        outFormat = AV_SAMPLE_FMT_FLT;
    } else {
        outFormat = av_get_packed_sample_fmt(codec->sample_fmt) == AV_SAMPLE_FMT_U8
                        ? AV_SAMPLE_FMT_U8
                        : AV_SAMPLE_FMT_S16;
    }
    blockAlign = channels * av_get_bytes_per_sample(outFormat);
    timeBase = stream->time_base;
    streamStart = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    if (packet == nullptr || frame == nullptr) return AVERROR(ENOMEM);
    return 0;
}

int FfmpegSource::State::ensureConverter() {
    if (swr != nullptr && swrInFormat == frame->format) return 0;
    swr_free(&swr);
    AVChannelLayout in{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC ||
        frame->ch_layout.nb_channels != channels) {
        av_channel_layout_default(&in, channels);
    } else {
        av_channel_layout_copy(&in, &frame->ch_layout);
    }
    int r = swr_alloc_set_opts2(&swr, &layout, outFormat, rate, &in,
                                static_cast<AVSampleFormat>(frame->format), rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    if (r < 0) return r;
    if ((r = swr_init(swr)) < 0) return r;
    swrInFormat = frame->format;
    return 0;
}

// Converts the decoded frame and appends it to the pending bytes, less what a seek skips.
int FfmpegSource::State::appendFrame() {
    if (frame->nb_samples <= 0) return 0;
    int r = ensureConverter();
    if (r < 0) return r;
    if (pendingOffset > 0) {
        pending.erase(pending.begin(),
                      pending.begin() + static_cast<std::ptrdiff_t>(pendingOffset));
        pendingOffset = 0;
    }
    const std::size_t before = pending.size();
    const int room = swr_get_out_samples(swr, frame->nb_samples);
    pending.resize(before + static_cast<std::size_t>(room) * blockAlign);
    std::uint8_t* out = pending.data() + before;
    const int got = swr_convert(
        swr, &out, room, const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
    if (got < 0) {
        pending.resize(before);
        return got;
    }
    pending.resize(before + static_cast<std::size_t>(got) * blockAlign);
    if (seekTargetFrame >= 0) {
        const std::int64_t pts = frame->best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE) {
            const std::int64_t first =
                av_rescale_q(pts - streamStart, timeBase, AVRational{1, rate});
            const std::int64_t drop = std::clamp<std::int64_t>(seekTargetFrame - first, 0, got);
            pending.erase(
                pending.begin() + static_cast<std::ptrdiff_t>(before),
                pending.begin() + static_cast<std::ptrdiff_t>(before + drop * blockAlign));
            if (drop == got) return 0;  // still before the target
        }
        seekTargetFrame = -1;
    }
    return 0;
}

// Decodes until some PCM is pending; AVERROR_EOF when the data has ended.
int FfmpegSource::State::decodeMore() {
    const std::size_t had = pending.size() - pendingOffset;
    int failuresInRow = 0;
    for (;;) {
        int r = avcodec_receive_frame(codec, frame);
        if (r == 0) {
            failuresInRow = 0;
            r = appendFrame();
            av_frame_unref(frame);
            if (r < 0) return r;
            if (pending.size() - pendingOffset > had) return 0;
            continue;
        }
        if (r == AVERROR_EOF) return AVERROR_EOF;
        if (r != AVERROR(EAGAIN)) {
            // A damaged frame is skipped; a decoder that keeps failing has failed.
            if (++failuresInRow > kMaxFailuresInRow) return r;
            continue;
        }
        if (inputEnded) return AVERROR_EOF;
        r = av_read_frame(format, packet);
        if (r == AVERROR_EOF || r == AVERROR_INVALIDDATA) {
            // The data ends (a damaged tail counts as the end): drain the decoder.
            inputEnded = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        if (r < 0) return r;
        if (packet->stream_index == streamIndex) avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
    }
}

FfmpegSource::FfmpegSource(Samples samples) : samples_(samples) {
    // Failures reach the caller with their text; FFmpeg's own stderr chatter would only be noise.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
}

FfmpegSource::~FfmpegSource() = default;

std::int32_t FfmpegSource::open(const std::string& path, core::WaveFormat& format,
                                std::int64_t& duration) {
    auto state = std::make_unique<State>();
    const int r = state->openFile(path, samples_);
    if (r < 0) return r;
    format = core::MakePcmFormat(
        static_cast<std::uint16_t>(state->channels), static_cast<std::uint32_t>(state->rate),
        static_cast<std::uint16_t>(8 * av_get_bytes_per_sample(state->outFormat)));
    if (state->outFormat == AV_SAMPLE_FMT_FLT) format.wFormatTag = kIeeeFloatTag;
    const AVStream* stream = state->format->streams[state->streamIndex];
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        duration = av_rescale_q(stream->duration, stream->time_base, kStreamTimeBase);
    } else if (state->format->duration != AV_NOPTS_VALUE && state->format->duration > 0) {
        duration = av_rescale_q(state->format->duration, AV_TIME_BASE_Q, kStreamTimeBase);
    } else {
        duration = 0;
    }
    // Only estimated from the first frame's bit rate (an MP3 without a Xing or VBRI header):
    // the count of an earlier scan, else the estimate now and the count from a worker.
    scanPath_.clear();
    if (state->format->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) {
        if (const auto counted = KnownScannedDuration(path, state->streamIndex)) {
            duration = *counted;
        } else {
            scanPath_ = path;
            scanStream_ = state->streamIndex;
        }
    }
    state_ = std::move(state);
    return 0;
}

std::int32_t FfmpegSource::read(void* buffer, std::uint32_t size, core::SourceBlock& block) {
    if (!state_) return kNotOpen;
    State& s = *state_;
    const std::size_t want = size / static_cast<std::uint32_t>(s.blockAlign) * s.blockAlign;
    if (want == 0) return kInvalidArgument;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t copied = 0;
    while (copied < want) {
        const std::size_t available = s.pending.size() - s.pendingOffset;
        if (available > 0) {
            const std::size_t n = std::min(available, want - copied);
            std::memcpy(out + copied, s.pending.data() + s.pendingOffset, n);
            s.pendingOffset += n;
            copied += n;
            continue;
        }
        const int r = s.decodeMore();
        if (r == AVERROR_EOF) break;
        if (r < 0) return r;
    }
    if (copied == 0) return core::kSourceEndOfStream;
    block.bytes = static_cast<std::uint32_t>(copied);
    block.startTime = s.framesDelivered * core::kStreamTimePerSecond / s.rate;
    s.framesDelivered += static_cast<std::int64_t>(copied) / s.blockAlign;
    block.endTime = s.framesDelivered * core::kStreamTimePerSecond / s.rate;
    return 0;
}

std::int32_t FfmpegSource::seek(std::int64_t time) {
    if (!state_) return kNotOpen;
    State& s = *state_;
    const std::int64_t target = av_rescale(time, s.rate, core::kStreamTimePerSecond);
    const std::int64_t ts = av_rescale_q(time, kStreamTimeBase, s.timeBase) + s.streamStart;
    const int r = av_seek_frame(s.format, s.streamIndex, ts, AVSEEK_FLAG_BACKWARD);
    if (r < 0) return r;
    avcodec_flush_buffers(s.codec);
    s.pending.clear();
    s.pendingOffset = 0;
    s.inputEnded = false;
    s.framesDelivered = target;
    s.seekTargetFrame = target;
    return 0;
}

void FfmpegSource::close() {
    state_.reset();
}

std::function<std::optional<std::int64_t>()> FfmpegSource::exactDurationJob() const {
    if (scanPath_.empty()) return {};
    return [path = scanPath_, stream = scanStream_] { return ScannedDuration(path, stream); };
}

std::string FfmpegSource::errorText(std::int32_t code) const {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0) return "";
    return text;
}

std::unique_ptr<core::AudioSource> FfmpegSourceFactory::createSource() {
    return std::make_unique<FfmpegSource>();
}

}  // namespace pelvano::platform
