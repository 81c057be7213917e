#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "core/app/SilentAbort.h"
#include "core/audio/SoundBuffer.h"

namespace pelvano::test {
namespace {

using core::ChannelState;

class ChannelTest : public EngineFixture {};

TEST_F(ChannelTest, RingThresholdAndChunkFollowTheFormat) {
    auto& cd = channelWith("cd.wav", test::ToneSpec{2, 44100, 16, 441000});
    cd.Play();
    EXPECT_EQ(cd.RingSize(), 705600u);
    EXPECT_EQ(cd.Threshold(), 282240u);
    EXPECT_EQ(cd.Chunk(), 35280u);

    auto& small = channelWith("small.wav", test::ToneSpec{1, 11025, 8, 110250});
    small.Play();
    EXPECT_EQ(small.RingSize(), 44100u);
    EXPECT_EQ(small.Threshold(), 17640u);
    EXPECT_EQ(small.Chunk(), 2205u);
}

TEST_F(ChannelTest, PositionFollowsThePlayCursorThroughThePositionLog) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 30});
    EXPECT_EQ(ch.Position(), 0);
    ch.Play();
    sim.advanceBy(2000);  // the cursor is at byte 352800 of the primed ring
    EXPECT_EQ(ch.Position(), 2000);
    sim.advanceBy(5000);  // past one wrap of the ring: refilled regions now map the cursor
    EXPECT_EQ(ch.Position(), 7000);
}

TEST_F(ChannelTest, FileShorterThanTheRingEndsAfterItsLastSample) {
    auto& ch = channelWith("short.wav", test::ToneSpec{2, 44100, 16, 44100, 1000.0, 0.5});
    std::uint64_t endedAt = 0;
    ch.OnEnd = [&](core::TcbDSMixerChannel& sender) {
        EXPECT_EQ(&sender, &ch);
        EXPECT_EQ(sender.State(), ChannelState::Stopped);
        endedAt = sim.nowMs();
    };
    ch.Play();
    sim.advanceBy(500);
    EXPECT_EQ(endedAt, 0u) << "the end must not be signalled at priming";
    ASSERT_TRUE(sim.runUntil([&] { return endedAt != 0; }, 5000));
    EXPECT_GE(endedAt, 1000u);
    EXPECT_LE(endedAt, 1040u);
    EXPECT_NEAR(levelDb(900, 90), SineDb(0.5), 0.1) << "the last part of the file is heard";
    EXPECT_EQ(peak(1001, 50), 0.0) << "silence follows the file";
    EXPECT_TRUE(ch.EndError().empty());
}

TEST_F(ChannelTest, PlayTwiceIsOnePlayAndPlayAfterPauseResumesWithoutRefilling) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 30});
    ch.Play();
    const int readsAfterPriming = tones.stats().reads;
    ch.Play();
    EXPECT_EQ(tones.stats().reads, readsAfterPriming);
    sim.advanceBy(1000);
    ch.Pause();
    EXPECT_EQ(ch.State(), ChannelState::Paused);
    const int position = ch.Position();
    sim.advanceBy(3000);
    EXPECT_EQ(ch.Position(), position) << "a paused channel holds its position";
    const int readsWhilePaused = tones.stats().reads;
    ch.Play();
    EXPECT_EQ(tones.stats().reads, readsWhilePaused);
    sim.advanceBy(500);
    EXPECT_EQ(ch.Position(), position + 500);
}

TEST_F(ChannelTest, PositionWriteLeavesTheChannelStoppedAtTheNewPosition) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 60});
    ch.Play();
    sim.advanceBy(1000);
    ch.SetPosition(20000);
    EXPECT_EQ(ch.State(), ChannelState::Stopped);
    EXPECT_EQ(ch.Position(), 20000);
    ch.Play();
    sim.advanceBy(1000);
    EXPECT_EQ(ch.Position(), 21000);
    ch.SetPosition(-5);  // clamped by the reader to the window start
    EXPECT_EQ(ch.Position(), 0);
}

TEST_F(ChannelTest, FadeOnlyWhilePlayingAndAZeroTimeFadeStillEnds) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 30});
    int fadeEnds = 0;
    ch.OnFadeEnd = [&](core::TcbDSMixerChannel&) { ++fadeEnds; };
    ch.Fade(1000, -2000);  // stopped: ignored
    ch.Play();
    ch.Pause();
    ch.Fade(1000, -2000);  // paused: ignored
    ch.Play();
    sim.advanceBy(2000);
    EXPECT_EQ(fadeEnds, 0);
    EXPECT_EQ(ch.Volume(), 0);

    ch.Fade(0, -10000);
    sim.advanceBy(40);
    EXPECT_EQ(ch.Volume(), -10000);
    EXPECT_EQ(fadeEnds, 1);
    sim.advanceBy(100);  // the gain glides to silence within a few ms, then stays there
    EXPECT_EQ(peak(2047, 90), 0.0);

    EXPECT_THROW(ch.Fade(100, 1), core::SilentAbort);
    EXPECT_THROW(ch.Fade(100, -10001), core::SilentAbort);
    EXPECT_THROW(ch.Fade(60001, -100), core::SilentAbort);
}

TEST_F(ChannelTest, PauseDuringAFadeAbandonsIt) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 30});
    int fadeEnds = 0;
    ch.OnFadeEnd = [&](core::TcbDSMixerChannel&) { ++fadeEnds; };
    ch.Play();
    ch.Fade(1000, -4000);
    sim.advanceBy(500);
    ch.Pause();
    const int volume = ch.Volume();
    EXPECT_LT(volume, 0);
    EXPECT_GT(volume, -4000);
    ch.Play();
    sim.advanceBy(2000);
    EXPECT_EQ(fadeEnds, 0);
    EXPECT_EQ(ch.Volume(), volume);
}

TEST_F(ChannelTest, OpeningResetsVolumePanAndRejectsUnplayableFiles) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100});
    ch.SetVolume(-1500);
    ch.SetPan(300);
    tones.add("b.wav", test::ToneSpec{1, 22050, 8, 22050});
    ch.SetFileName("b.wav");
    EXPECT_EQ(ch.Volume(), 0);
    EXPECT_EQ(ch.Pan(), 0);
    EXPECT_EQ(ch.Length(), 1000);
    EXPECT_EQ(ch.SampleRate(), 22050);
    EXPECT_EQ(ch.BitsPerSample(), 8);

    tones.add("six.wav", test::ToneSpec{6, 44100, 16, 44100});
    tones.add("empty.wav", test::ToneSpec{2, 44100, 16, 0});
    tones.add("wide.wav", test::ToneSpec{2, 44100, 24, 44100});
    auto expectMessage = [&](const char* path, const char* message) {
        try {
            ch.SetFileName(path);
            ADD_FAILURE() << path << " opened";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), message);
        }
        EXPECT_EQ(ch.FileName(), "");
    };
    expectMessage("six.wav", "Invalid number of channels.");
    expectMessage("empty.wav", "Audio file is empty.");
    expectMessage("wide.wav", "Invalid number of bits per sample.");
    expectMessage("missing.wav", "No such file or directory");
    EXPECT_THROW(ch.Play(), std::runtime_error);
    EXPECT_EQ(ch.Position(), 0);
}

TEST_F(ChannelTest, EightBitFilesPadTheirEndWithTheSilentMidpoint) {
    auto& ch = channelWith("8bit.wav", test::ToneSpec{1, 11025, 8, 5512, 0.0, 0.5});
    ch.Play();
    sim.advanceBy(100);
    core::DataAhead ahead;
    ch.GetDataAhead(0, ch.RingSize(), ahead);
    ASSERT_NE(ahead.data1, nullptr);
    const std::uint32_t total = ahead.length1 + ahead.length2;
    ASSERT_GT(total, 5512u - 1103u);
    // The constant level runs up to the end of the data, then 0x80 follows.
    const std::uint8_t* bytes = ahead.data1;
    EXPECT_EQ(bytes[0], 192);
    EXPECT_EQ(bytes[5512 - 1103 - 1], 192);
    EXPECT_EQ(bytes[5512 - 1103 + 10], 0x80);
    ch.ReleaseDataAhead();
    sim.advanceBy(1000);
    EXPECT_EQ(peak(600, 300), 0.0) << "the padding is heard as silence";
}

TEST_F(ChannelTest, APinnedMirrorNeverLetsTheRingReplayOldAudio) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 60, 1000.0, 0.5});
    ch.Play();
    core::DataAhead ahead;
    // All of a freshly primed ring is ahead, but for the history the resampler reads behind
    // the cursor.
    const std::uint32_t primed = ch.RingSize() - core::SoundBuffer::kHistoryFrames * 4;
    ch.GetDataAhead(0, 1u << 30, ahead);
    EXPECT_EQ(ahead.length1, primed) << "a freshly primed ring is all ahead";
    ch.GetDataAhead(primed - 100, 1000, ahead);
    EXPECT_EQ(ahead.length1 + ahead.length2, 100u);
    ch.ReleaseDataAhead();
    sim.advanceBy(1000);
    ch.GetDataAhead(0, 4096, ahead);
    EXPECT_EQ(ahead.length1 + ahead.length2, 4096u);
    sim.advanceBy(6000);  // pinned for longer than the ring: only silence may fill in
    EXPECT_EQ(peak(5200, 1700), 0.0);
    ch.ReleaseDataAhead();
    sim.advanceBy(1000);
    EXPECT_NEAR(levelDb(7500, 400), SineDb(0.5), 0.1) << "refills resume once released";
}

TEST_F(ChannelTest, ARefillFailureStopsTheChannelAndEndsWithTheError) {
    auto& failing =
        channelWith("bad.wav", test::ToneSpec{2, 44100, 16, 44100 * 60, 1000.0, 0.5});
    auto& other =
        channelWith("good.wav", test::ToneSpec{2, 44100, 16, 44100 * 60, 440.0, 0.25});
    std::string endError = "-";
    failing.OnEnd = [&](core::TcbDSMixerChannel& sender) { endError = sender.EndError(); };
    other.Play();
    failing.Play();
    tones.stats().failAtRead = tones.stats().reads + 1;  // the failing channel refills first
    sim.advanceBy(1000);
    EXPECT_EQ(endError, "planted read failure");
    EXPECT_EQ(failing.State(), ChannelState::Stopped);
    ASSERT_EQ(sim.events().errors().size(), 1u);
    EXPECT_EQ(sim.events().errors()[0], "planted read failure");
    EXPECT_EQ(other.State(), ChannelState::Playing);
    // Only the other channel is heard afterwards: the failed ring is not replayed.
    EXPECT_NEAR(levelDb(500, 500), SineDb(0.25), 0.1);
}

TEST_F(ChannelTest, ARefillThatComesTooLateLeavesSilenceNeverTheRingAgain) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 60, 1000.0, 0.5});
    int starved = 0;
    ch.OnStarved = [&](core::TcbDSMixerChannel&) { ++starved; };
    ch.Play();
    sim.advanceBy(500);
    // The device plays on for 6 s while no refill pass runs (a stalled disk, a starved machine).
    sim.output().pullUntil(6500);
    sim.clock().advanceTo(6500);
    // What was put ahead (a ring less its history, from the last pass at 480 ms) is heard once;
    // after it only silence, and the position stays where the sound stopped.
    EXPECT_NEAR(levelDb(4000, 400), SineDb(0.5), 0.1);
    EXPECT_EQ(peak(4600, 1900), 0.0);
    const int held = ch.Position();
    EXPECT_NEAR(held, 4480, 30);
    sim.advanceBy(1000);
    EXPECT_NEAR(levelDb(6700, 700), SineDb(0.5), 0.1) << "the sound goes on once refilled";
    EXPECT_NEAR(ch.Position(), held + 1000, 60);
    sim.output().pullUntil(13500);
    sim.clock().advanceTo(13500);
    sim.advanceBy(500);
    EXPECT_EQ(starved, 1) << "reported once per file";
    ch.SetFileName("a.wav");
    ch.Play();
    sim.advanceBy(100);
    sim.output().pullUntil(18500);
    sim.clock().advanceTo(18500);
    sim.advanceBy(100);
    EXPECT_EQ(starved, 2) << "and again for the next file";
}

TEST_F(ChannelTest, EventsOfAFreedChannelAreDropped) {
    auto& ch = channelWith("a.wav", test::ToneSpec{2, 44100, 16, 44100 * 30});
    bool called = false;
    ch.OnFadeEnd = [&](core::TcbDSMixerChannel&) { called = true; };
    ch.Play();
    ch.Fade(0, -100);
    sim.refills().runDue(sim.nowMs() + 40);  // the fade ends and its event is queued
    mixer->FreeChannel(ch);
    sim.events().drain();
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace pelvano::test
