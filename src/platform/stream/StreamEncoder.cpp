#include "platform/stream/StreamEncoder.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libswresample/swresample.h>
}

namespace pelvano::platform {

namespace {

constexpr int kIoBufferBytes = 4096;
// An encoder that takes any block length (none of ours does) is fed blocks of this size.
constexpr int kDefaultFrameSize = 1152;

const char* encoderName(StreamCodec codec) {
    switch (codec) {
        case StreamCodec::Mp3:
            return "libmp3lame";
        case StreamCodec::Vorbis:
            return "libvorbis";
        case StreamCodec::Opus:
            return "libopus";
    }
    return "";
}

[[noreturn]] void fail(const std::string& what, int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    throw std::runtime_error(what + ": " + text);
}

void check(int result, const std::string& what) {
    if (result < 0) fail(what, result);
}

// The input rate when the encoder takes it, else 48 kHz when it takes that, else its first.
int chooseRate(const AVCodec* encoder, int inputRate) {
    if (encoder->supported_samplerates == nullptr) return inputRate;
    int first = 0;
    bool has48k = false;
    for (const int* r = encoder->supported_samplerates; *r != 0; ++r) {
        if (*r == inputRate) return inputRate;
        if (first == 0) first = *r;
        has48k = has48k || *r == 48000;
    }
    return has48k ? 48000 : first;
}

}  // namespace

struct StreamEncoder::State {
    const AVCodec* encoder = nullptr;
    AVCodecContext* codec = nullptr;
    AVFormatContext* mux = nullptr;  // Ogg only
    AVStream* stream = nullptr;
    SwrContext* swr = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    std::uint8_t** converted = nullptr;
    int convertedCapacity = 0;
    int frameSize = kDefaultFrameSize;
    std::int64_t nextPts = 0;
    std::string* sink = nullptr;  // where the Ogg muxer's bytes go during a call

    ~State() {
        closeChain();
        if (converted != nullptr) av_freep(&converted[0]);
        av_freep(&converted);
        av_audio_fifo_free(fifo);
        swr_free(&swr);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }

    static int writeMuxed(void* opaque, std::uint8_t* data, int size) {
        auto* self = static_cast<State*>(opaque);
        if (self->sink != nullptr) self->sink->append(reinterpret_cast<const char*>(data), size);
        return size;
    }

    void openChain(StreamCodec kind, int bitrateKbps, int rate, const StreamTitle& title) {
        codec = avcodec_alloc_context3(encoder);
        if (codec == nullptr) fail("avcodec_alloc_context3", AVERROR(ENOMEM));
        codec->sample_rate = rate;
        codec->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
        codec->bit_rate = static_cast<std::int64_t>(bitrateKbps) * 1000;
        codec->time_base = AVRational{1, rate};
        const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        check(av_channel_layout_copy(&codec->ch_layout, &stereo), "channel layout");
        if (kind != StreamCodec::Mp3) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        check(avcodec_open2(codec, encoder, nullptr), encoder->name);
        frameSize = codec->frame_size > 0 ? codec->frame_size : kDefaultFrameSize;
        nextPts = 0;
        if (kind == StreamCodec::Mp3) return;
        check(avformat_alloc_output_context2(&mux, nullptr, "ogg", nullptr), "ogg");
        auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferBytes));
        mux->pb = avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, writeMuxed, nullptr);
        if (mux->pb == nullptr) {
            av_free(buffer);
            fail("avio_alloc_context", AVERROR(ENOMEM));
        }
        mux->flags |= AVFMT_FLAG_CUSTOM_IO;
        stream = avformat_new_stream(mux, nullptr);
        if (stream == nullptr) fail("avformat_new_stream", AVERROR(ENOMEM));
        check(avcodec_parameters_from_context(stream->codecpar, codec), "codec parameters");
        stream->time_base = codec->time_base;
        if (!title.title.empty()) av_dict_set(&stream->metadata, "title", title.title.c_str(), 0);
        if (!title.artist.empty())
            av_dict_set(&stream->metadata, "artist", title.artist.c_str(), 0);
        check(avformat_write_header(mux, nullptr), "ogg header");
    }

    void closeChain() {
        if (mux != nullptr) {
            if (mux->pb != nullptr) {
                av_freep(&mux->pb->buffer);
                avio_context_free(&mux->pb);
            }
            avformat_free_context(mux);
            mux = nullptr;
            stream = nullptr;
        }
        avcodec_free_context(&codec);
    }

    void drainPackets() {
        while (true) {
            const int r = avcodec_receive_packet(codec, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
            check(r, "encode");
            if (mux == nullptr) {
                sink->append(reinterpret_cast<const char*>(packet->data), packet->size);
            } else {
                av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
                packet->stream_index = 0;
                check(av_write_frame(mux, packet), "ogg page");
                avio_flush(mux->pb);
            }
            av_packet_unref(packet);
        }
    }

    void encodeFifo(bool flushPartial) {
        while (av_audio_fifo_size(fifo) >= frameSize ||
               (flushPartial && av_audio_fifo_size(fifo) > 0)) {
            const int n = std::min(frameSize, av_audio_fifo_size(fifo));
            av_frame_unref(frame);
            frame->nb_samples = n;
            frame->format = codec->sample_fmt;
            frame->sample_rate = codec->sample_rate;
            check(av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout), "layout");
            check(av_frame_get_buffer(frame, 0), "frame");
            av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->data), n);
            frame->pts = nextPts;
            nextPts += n;
            check(avcodec_send_frame(codec, frame), "encode");
            drainPackets();
        }
    }

    // Ends the encoder's stream: the last samples, the encoder's delay, the Ogg trailer.
    void endChain(bool flushPartial) {
        encodeFifo(flushPartial);
        check(avcodec_send_frame(codec, nullptr), "encode");
        drainPackets();
        if (mux != nullptr) {
            check(av_write_trailer(mux), "ogg trailer");
            avio_flush(mux->pb);
        }
        closeChain();
    }
};

bool StreamEncoder::parseFormat(const std::string& format, StreamCodec& codec) {
    std::string lower = format;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "mp3")
        codec = StreamCodec::Mp3;
    else if (lower == "ogg")
        codec = StreamCodec::Vorbis;
    else if (lower == "opus")
        codec = StreamCodec::Opus;
    else
        return false;
    return true;
}

StreamEncoder::StreamEncoder(StreamCodec codec, int bitrateKbps, std::uint32_t inputRate,
                             const StreamTitle& title)
    : codec_(codec),
      bitrateKbps_(bitrateKbps),
      inputRate_(inputRate),
      state_(std::make_unique<State>()) {
    // The library's own messages would go to standard error; failures reach us as results.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    State& s = *state_;
    s.encoder = avcodec_find_encoder_by_name(encoderName(codec));
    if (s.encoder == nullptr)
        throw std::runtime_error(std::string("encoder not available: ") + encoderName(codec));
    const int rate = chooseRate(s.encoder, static_cast<int>(inputRate));
    std::string none;
    s.sink = &none;
    s.openChain(codec, bitrateKbps, rate, title);
    s.sink = nullptr;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    check(swr_alloc_set_opts2(&s.swr, &stereo, s.codec->sample_fmt, rate, &stereo,
                              AV_SAMPLE_FMT_FLT, static_cast<int>(inputRate), 0, nullptr),
          "resampler");
    check(swr_init(s.swr), "resampler");
    s.fifo = av_audio_fifo_alloc(s.codec->sample_fmt, 2, s.frameSize * 4);
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (s.fifo == nullptr || s.frame == nullptr || s.packet == nullptr)
        fail("encoder buffers", AVERROR(ENOMEM));
    // The Ogg header pages were written while opening: they lead the stream.
    pendingHeader_ = std::move(none);
}

StreamEncoder::~StreamEncoder() = default;

void StreamEncoder::encode(const float* stereo, std::uint32_t frames, std::string& out) {
    State& s = *state_;
    s.sink = &out;
    out += pendingHeader_;
    pendingHeader_.clear();
    const int room = swr_get_out_samples(s.swr, static_cast<int>(frames));
    if (room > s.convertedCapacity) {
        if (s.converted != nullptr) av_freep(&s.converted[0]);
        av_freep(&s.converted);
        check(av_samples_alloc_array_and_samples(&s.converted, nullptr, 2, room,
                                                 s.codec->sample_fmt, 0),
              "conversion buffer");
        s.convertedCapacity = room;
    }
    const auto* in = reinterpret_cast<const std::uint8_t*>(stereo);
    const int n = swr_convert(s.swr, s.converted, room, &in, static_cast<int>(frames));
    check(n, "resampler");
    check(av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(s.converted), n), "fifo");
    s.encodeFifo(false);
    s.sink = nullptr;
}

void StreamEncoder::beginTitle(const StreamTitle& title, std::string& out) {
    if (!titlesInStream()) return;
    State& s = *state_;
    s.sink = &out;
    out += pendingHeader_;
    pendingHeader_.clear();
    const int rate = s.codec->sample_rate;
    // Whole encoder frames end this stream; the partial one carries into the next.
    s.endChain(false);
    s.openChain(codec_, bitrateKbps_, rate, title);
    s.sink = nullptr;
}

void StreamEncoder::finish(std::string& out) {
    State& s = *state_;
    if (s.codec == nullptr) return;
    s.sink = &out;
    out += pendingHeader_;
    pendingHeader_.clear();
    s.endChain(true);
    s.sink = nullptr;
}

}  // namespace pelvano::platform
