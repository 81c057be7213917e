#pragma once
// The station's mix compressed for the internet stream with libavcodec: MP3 (LAME) as a bare
// frame sequence, Vorbis or Opus in Ogg. Interleaved stereo float frames in at the output's
// rate, converted (libswresample) to the rate and sample layout the encoder takes, cut into
// the encoder's frame size; out come the bytes to send, in order.
//
// Titles: an Ogg Vorbis stream carries them in its own comment header, so a new title ends the
// current logical stream and begins the next one of a chained Ogg stream with that title
// (players and Icecast read it from there). An MP3 stream has no such place: its titles go
// beside the stream (the server's metadata update). An Opus stream stays one logical stream:
// FFmpeg-based players (ffplay, mpv) often stop at a chained Opus stream's second link, and
// Icecast 2.4 does not read Opus comments anyway. beginTitle() does nothing for those two.
//
// One thread at a time (the stream's sender thread).
#include <cstdint>
#include <memory>
#include <string>

namespace pelvano::platform {

// UTF-8.
struct StreamTitle {
    std::string title;
    std::string artist;
};

enum class StreamCodec { Mp3, Vorbis, Opus };

class StreamEncoder {
  public:
    // "mp3", "ogg" or "opus" (letter case ignored); false for anything else.
    static bool parseFormat(const std::string& format, StreamCodec& codec);

    // Throws std::runtime_error when the encoder cannot be set up (the text names the codec).
    StreamEncoder(StreamCodec codec, int bitrateKbps, std::uint32_t inputRate,
                  const StreamTitle& title);
    ~StreamEncoder();
    StreamEncoder(const StreamEncoder&) = delete;
    StreamEncoder& operator=(const StreamEncoder&) = delete;

    // Appends to out the bytes the frames complete (often none for a short block).
    void encode(const float* stereo, std::uint32_t frames, std::string& out);
    // Vorbis: the next bytes begin a new logical stream titled so. MP3, Opus: nothing.
    void beginTitle(const StreamTitle& title, std::string& out);
    // Everything still held, to the end of the stream.
    void finish(std::string& out);

    StreamCodec codec() const { return codec_; }
    bool titlesInStream() const { return codec_ == StreamCodec::Vorbis; }
    std::uint32_t inputRate() const { return inputRate_; }

  private:
    struct State;
    StreamCodec codec_;
    int bitrateKbps_;
    std::uint32_t inputRate_;
    std::unique_ptr<State> state_;
    std::string pendingHeader_;  // written while opening, sent before the first audio
};

}  // namespace pelvano::platform
