#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "core/audio/TcbAudioFileReader.h"

namespace pelvano::test {
namespace {

using core::EAudioReadError;
using core::SourceBlock;

// A source that answers with prepared blocks and results, and records its seeks.
class ScriptedSource final : public core::AudioSource {
  public:
    struct Step {
        std::int32_t result = 0;
        SourceBlock block;
    };
    std::int32_t openResult = 0;
    std::int64_t duration = 100 * core::kStreamTimePerMs;
    std::deque<Step> steps;
    std::vector<std::int64_t>* seeks = nullptr;

    std::int32_t open(const std::string&, core::WaveFormat& format,
                      std::int64_t& durationOut) override {
        format = core::MakePcmFormat(2, 44100, 16);
        durationOut = duration;
        return openResult;
    }
    std::int32_t read(void*, std::uint32_t, SourceBlock& block) override {
        if (steps.empty()) return core::kSourceEndOfStream;
        Step s = steps.front();
        steps.pop_front();
        block = s.block;
        return s.result;
    }
    std::int32_t seek(std::int64_t time) override {
        if (seeks) seeks->push_back(time);
        return 0;
    }
    void close() override {}
    std::string errorText(std::int32_t code) const override {
        return code == -22 ? "Invalid argument" : "";
    }
};

struct ReaderWith {
    explicit ReaderWith(std::deque<ScriptedSource::Step> steps = {}) {
        auto source = std::make_unique<ScriptedSource>();
        source->steps = std::move(steps);
        source->seeks = &seeks;
        reader = std::make_unique<core::TcbAudioFileReader>(std::move(source), "a.wav");
    }
    std::vector<std::int64_t> seeks;
    std::unique_ptr<core::TcbAudioFileReader> reader;
    std::uint8_t buffer[4096] = {};
};

constexpr std::int64_t kMs = core::kStreamTimePerMs;

std::string MessageOf(const std::function<void()>& run, std::int32_t* code = nullptr) {
    try {
        run();
    } catch (const EAudioReadError& e) {
        if (code) *code = e.code();
        return e.what();
    }
    return "(no error)";
}

TEST(TcbAudioFileReader, ZeroSizeRaisesEvenAtTheEnd) {
    ReaderWith r;
    EXPECT_EQ(r.reader->ReadBuffer(r.buffer, 4096), 0u);
    std::int32_t code = 0;
    EXPECT_EQ(MessageOf([&] { r.reader->ReadBuffer(r.buffer, 0); }, &code), "Invalid buffer size.");
    EXPECT_EQ(code, 0x08000001);
}

TEST(TcbAudioFileReader, ABlockEndingAtTheWindowEndIsWholeThenTheWindowIsUsedUp) {
    ReaderWith r({{0, {4000, 0, 10 * kMs}}, {0, {4000, 10 * kMs, 20 * kMs}}});
    r.reader->SetPlayLength(10 * kMs);
    EXPECT_EQ(r.reader->ReadBuffer(r.buffer, 4000), 4000u);
    EXPECT_EQ(r.reader->Position(), 10 * kMs);
    EXPECT_EQ(r.reader->ReadBuffer(r.buffer, 4000), 0u);
}

TEST(TcbAudioFileReader, ABlockStraddlingTheWindowEndIsCutToWholeFrames) {
    ReaderWith r(std::deque<ScriptedSource::Step>{{0, {4000, 20 * kMs, 60 * kMs}}});
    r.reader->SetPlayStart(20 * kMs);
    r.reader->SetPlayLength(17 * kMs + 1434);  // ends at 37.1434 ms
    // 4000 × 17.1434 / 40 = 1714.34 bytes → 1714 → 1712, a whole number of 4-byte frames.
    EXPECT_EQ(r.reader->ReadBuffer(r.buffer, 4000), 1712u);
    EXPECT_EQ(r.reader->Position(), 37 * kMs + 1434);
    EXPECT_EQ(r.reader->SampleEndTime(), 37 * kMs + 1434);
    EXPECT_EQ(r.reader->SampleStartTime(), 20 * kMs);
}

TEST(TcbAudioFileReader, SeeksAreClampedToTheWindowAndTheFile) {
    ReaderWith r;
    r.reader->SetPlayStart(10 * kMs);
    EXPECT_EQ(r.reader->Position(), 10 * kMs) << "a start past the position moves it there";
    r.reader->SetPosition(5 * kMs);
    EXPECT_EQ(r.reader->Position(), 10 * kMs);
    r.reader->SetPosition(500 * kMs);
    EXPECT_EQ(r.reader->Position(), 100 * kMs) << "beyond Duration";
    r.reader->SetPlayLength(30 * kMs);
    EXPECT_EQ(r.reader->Position(), 10 * kMs) << "a window ending before the position rewinds";
    r.reader->SetPosition(60 * kMs);
    EXPECT_EQ(r.reader->Position(), 40 * kMs);
    const std::size_t seeks = r.seeks.size();
    r.reader->SetPosition(40 * kMs);
    EXPECT_EQ(r.seeks.size(), seeks) << "seeking to the position calls nothing";
    r.reader->SetPosition(0);
    EXPECT_EQ(r.reader->Position(), 10 * kMs) << "0 is the start of the window";
}

TEST(TcbAudioFileReader, PlayLengthIsClampedAndZeroRemovesTheEnd) {
    ReaderWith r;
    r.reader->SetPlayLength(5 * kMs);
    EXPECT_EQ(r.reader->PlayLength(), 100000);
    r.reader->SetPlayLength(-7);
    EXPECT_EQ(r.reader->PlayLength(), 100000);
    r.reader->SetPlayLength(2000000000000000);
    EXPECT_EQ(r.reader->PlayLength(), 1000000000000000);
    r.reader->SetPlayLength(0);
    EXPECT_EQ(r.reader->PlayLength(), 0);
    r.reader->SetPlayStart(-50);
    EXPECT_EQ(r.reader->PlayStart(), 0);
}

TEST(TcbAudioFileReader, ResultCodesRaiseWithTheirMessages) {
    ReaderWith r({{0x00040001, {}}, {-22, {}}, {-12345, {}}, {0, {8, 30, 20}}});
    std::int32_t code = 0;
    EXPECT_EQ(MessageOf([&] { r.reader->ReadBuffer(r.buffer, 64); }, &code),
              "The asynchronous update is pending.");
    EXPECT_EQ(code, 0x00040001);
    EXPECT_EQ(MessageOf([&] { r.reader->ReadBuffer(r.buffer, 64); }), "Invalid argument");
    EXPECT_EQ(MessageOf([&] { r.reader->ReadBuffer(r.buffer, 64); }), "Unrecognized error value.");
    // A block whose start lies after its end starts at its end.
    EXPECT_EQ(r.reader->ReadBuffer(r.buffer, 64), 8u);
    EXPECT_EQ(r.reader->SampleStartTime(), 20);
}

TEST(TcbAudioFileReader, OpenFailuresRaise) {
    auto source = std::make_unique<ScriptedSource>();
    source->openResult = static_cast<std::int32_t>(0x80040154);
    try {
        core::TcbAudioFileReader reader(std::move(source), "x.wav");
        ADD_FAILURE();
    } catch (const EAudioReadError& e) {
        EXPECT_STREQ(e.what(), "A specified class is not registered in the registration database.");
    }
}

}  // namespace
}  // namespace pelvano::test
