#include "core/audio/TcbAudioFileReader.h"

#include <utility>

namespace pelvano::core {

namespace {

constexpr std::int64_t kMinPlayLength = 100000;            // 10 ms
constexpr std::int64_t kMaxPlayLength = 1000000000000000;  // 10^8 s
constexpr std::int32_t kNoStream = static_cast<std::int32_t>(0x80040403);

}  // namespace

TcbAudioFileReader::TcbAudioFileReader(std::unique_ptr<AudioSource> source,
                                       const std::string& fileName)
    : source_(std::move(source)), fileName_(fileName) {
    CheckStreamResult(source_->open(fileName, format_, duration_), *source_);
}

TcbAudioFileReader::~TcbAudioFileReader() {
    source_->close();
}

std::uint32_t TcbAudioFileReader::ReadBuffer(void* buffer, std::uint32_t size) {
    if (size == 0) throw EAudioReadError("Invalid buffer size.", kInvalidBufferSize);
    const std::int64_t windowEnd = playStart_ + playLength_;
    if (playLength_ != 0 && windowEnd <= position_) return 0;

    SourceBlock block;
    const std::int32_t result = source_->read(buffer, size, block);
    if (result == kSourceEndOfStream || result == kNoStream) return 0;
    CheckStreamResult(result, *source_);

    std::uint32_t n = block.bytes;
    sampleStart_ = block.startTime;
    sampleEnd_ = block.endTime;
    if (sampleStart_ > sampleEnd_) sampleStart_ = sampleEnd_;
    if (playLength_ != 0 && sampleStart_ < sampleEnd_ && windowEnd < sampleEnd_) {
        // The block runs past the window: keep the whole frames before its end.
        const double inside =
            static_cast<double>(static_cast<std::int64_t>(n) * (windowEnd - sampleStart_)) /
            static_cast<double>(sampleEnd_ - sampleStart_);
        n = static_cast<std::uint32_t>(inside);
        const std::uint32_t align = format_.nBlockAlign ? format_.nBlockAlign : 1;
        n -= n % align;
        sampleEnd_ = windowEnd;
    }
    position_ = sampleEnd_;
    return n;
}

void TcbAudioFileReader::SetPosition(std::int64_t time) {
    if (time == position_) return;
    if (time < playStart_) {
        time = playStart_;
    } else if (time > duration_) {
        time = duration_;
    } else if (playLength_ != 0 && time > playStart_ + playLength_) {
        time = playStart_ + playLength_;
    }
    CheckStreamResult(source_->seek(time), *source_);
    position_ = time;
}

void TcbAudioFileReader::SetPlayStart(std::int64_t time) {
    if (time == playStart_) return;
    if (time < 0) time = 0;
    if (position_ < time) SetPosition(time);
    playStart_ = time;
}

void TcbAudioFileReader::SetPlayLength(std::int64_t length) {
    if (length == playLength_) return;
    if (length != 0 && length < kMinPlayLength) length = kMinPlayLength;
    if (length > kMaxPlayLength) length = kMaxPlayLength;
    if (playStart_ + length < position_) SetPosition(playStart_);
    playLength_ = length;
}

}  // namespace pelvano::core
