// The editor against a real channel on the virtual clock: the enabled controls, timing lines
// while the song plays, the ".lrc" file, the store into the MP3 file and the import.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "FakeLyricsTag.h"
#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixer.h"
#include "core/lyrics/LoadLyrics.h"
#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsEditor.h"
#include "core/tags/TID3v2Tag.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/Simulation.h"
#include "support/EncodedTone.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using test::DecodedSamples;
using test::EncodeTone;

class OnAir final : public LyricsPlayout {
  public:
    TcbDSMixerChannel* currentChannel() override { return channel; }
    int shownPositionMs() const override { return channel ? channel->Position() : 0; }
    void setPlayoutHold(bool on) override { hold = on; }

    TcbDSMixerChannel* channel = nullptr;
    bool hold = false;
};

class LyricsEditorTest : public ::testing::Test {
  protected:
    LyricsEditorTest()
        : sim(LocalDateTime{2026, 12, 7, 8, 0, 0, 0}),
          mixer(std::make_unique<TcbDSMixer>(sim.audioServices(decoder))),
          editor(state, onAir, tags) {
        mixer->SetDeviceIndex(1);
        state.table.setRowCount(3);
        state.table.setCell(0, 1, "00:01.00");
        state.table.setCell(1, 1, "first");
        state.table.setCell(1, 2, "second");
    }

    // Starts the file on a channel and lets it play for a while.
    TcbDSMixerChannel& playOnAir(const std::string& path, std::uint64_t playedMs) {
        auto& ch = mixer->AddChannel();
        ch.SetFileName(path);
        ch.SetVolume(-1200);
        ch.Play();
        sim.advanceBy(playedMs);
        onAir.channel = &ch;
        return ch;
    }

    std::string toneFile(const std::string& name) {
        const std::string path = dir.file(name);
        if (!EncodeTone(path)) return {};
        return path;
    }

    test::TempDir dir;
    platform::Simulation sim;
    platform::FfmpegSourceFactory decoder;
    std::unique_ptr<TcbDSMixer> mixer;
    LyricsState state;
    OnAir onAir;
    Id3v2LyricsTag tags;
    LyricsEditor editor;
};

TEST_F(LyricsEditorTest, EditModeEnablesTheControlsAndHoldsThePlayout) {
    editor.UpdateEditorButtons();
    EXPECT_FALSE(editor.controls().btnSetTime);
    EXPECT_FALSE(editor.controls().gridEditing);
    EXPECT_FALSE(onAir.hold);
    editor.setChkEditMusic(true);
    EXPECT_TRUE(editor.controls().btnSetTime);
    EXPECT_TRUE(editor.controls().btnInputLrc);
    EXPECT_TRUE(editor.controls().btnSaveLrctoMP3);  // nothing on air: no file to judge by
    EXPECT_TRUE(editor.controls().gridEditing);
    EXPECT_TRUE(onAir.hold);
    editor.setChkEditMusic(false);
    EXPECT_FALSE(onAir.hold);
    editor.setSpAddTime(-99);
    EXPECT_EQ(editor.spAddTime(), -20);
}

TEST_F(LyricsEditorTest, StoringInTheMp3FileResumesWhereTheSongWas) {
    const std::string song = toneFile("song.mp3");
    if (song.empty()) GTEST_SKIP() << "no MP3 encoder";
    const std::string samples = DecodedSamples(song);
    auto& ch = playOnAir(song, 3000);
    editor.setChkEditMusic(true);
    ASSERT_TRUE(editor.controls().btnSaveLrctoMP3);
    const int before = ch.Position();

    const LyricsStoreResult result = editor.btnSaveLrctoMP3Click();
    EXPECT_EQ(result.outcome, LyricsStoreResult::Outcome::Stored) << result.error;
    EXPECT_EQ(ch.State(), ChannelState::Playing);
    EXPECT_NEAR(ch.Position(), before, 40);
    EXPECT_EQ(ch.Volume(), -1200);
    sim.advanceBy(1000);
    EXPECT_NEAR(ch.Position(), before + 1000, 40);

    TID3v2Tag tag;
    tag.ReadFromFile(song);
    EXPECT_EQ(tag.Lyrics, "[00:01.00]first\r\n[]second");
    LyricsState loaded;
    const StoredPathResolver paths(dir.path().string(), {});
    ASSERT_TRUE(LoadLyrics("song.mp3", true, LyricsSources{paths, tags}, loaded));
    ASSERT_EQ(loaded.table.lastDataRow(), 2);
    EXPECT_EQ(loaded.table.textOf(1), "first");
    EXPECT_EQ(loaded.table.textOf(2), "second");
    EXPECT_EQ(dir.read("song.lrc"), "[00:01.00]first\r\n[]second\r\n");
    EXPECT_EQ(DecodedSamples(song), samples);
}

TEST_F(LyricsEditorTest, AFailedRewriteStillResumesThePausedSong) {
    const std::string song = toneFile("song.mp3");
    if (song.empty()) GTEST_SKIP() << "no MP3 encoder";
    test::FakeLyricsTag failing;
    failing.failWrites = true;
    LyricsEditor failingEditor(state, onAir, failing);
    auto& ch = playOnAir(song, 2000);
    ch.Pause();
    const int before = ch.Position();
    EXPECT_EQ(failingEditor.btnSaveLrctoMP3Click().outcome,
              LyricsStoreResult::Outcome::NothingDone);
    failingEditor.setChkEditMusic(true);
    const LyricsStoreResult result = failingEditor.btnSaveLrctoMP3Click();
    EXPECT_EQ(result.outcome, LyricsStoreResult::Outcome::Failed);
    EXPECT_EQ(result.error, "cannot write the tag");
    EXPECT_EQ(ch.FileName(), song);
    EXPECT_EQ(ch.State(), ChannelState::Paused);
    EXPECT_NEAR(ch.Position(), before, 40);
}

TEST_F(LyricsEditorTest, OnlyMp3FilesTakeTheLyrics) {
    const std::string wav = dir.file("tone.wav");
    if (!EncodeTone(wav, 5, 1000)) GTEST_SKIP() << "no ffmpeg";
    test::FakeLyricsTag fake;
    LyricsEditor wavEditor(state, onAir, fake);
    playOnAir(wav, 500);
    wavEditor.setChkEditMusic(true);
    EXPECT_FALSE(wavEditor.controls().btnSaveLrctoMP3);
    EXPECT_EQ(wavEditor.btnSaveLrctoMP3Click().outcome, LyricsStoreResult::Outcome::NothingDone);
    EXPECT_EQ(fake.writes, 0);
    EXPECT_EQ(dir.read("tone.lrc"), "");
    EXPECT_EQ(wavEditor.SaveLyricsFile().outcome, LyricsStoreResult::Outcome::Stored);
    EXPECT_EQ(dir.read("tone.lrc"), "[00:01.00]first\r\n[]second\r\n");
}

TEST_F(LyricsEditorTest, ASavedLrcFileKeepsItsEncodingAndANewOneFollowsTheSetting) {
    const std::string wav = dir.file("tone.wav");
    if (!EncodeTone(wav, 5, 1000)) GTEST_SKIP() << "no ffmpeg";
    test::FakeLyricsTag fake;
    LyricsEditor lrcEditor(state, onAir, fake);
    playOnAir(wav, 500);
    state.table.setCell(1, 1, Utf8ToGbk("晚风"));
    const std::string utf8 = "[00:01.00]晚风\r\n[]second\r\n";

    EXPECT_EQ(lrcEditor.SaveLyricsFile().outcome, LyricsStoreResult::Outcome::Stored);
    EXPECT_EQ(dir.read("tone.lrc"), utf8);  // UNICODE: UTF-8 without a byte order mark
    fake.encoding = TagTextEncoding::Gbk;
    EXPECT_EQ(lrcEditor.SaveLyricsFile().outcome, LyricsStoreResult::Outcome::Stored);
    EXPECT_EQ(dir.read("tone.lrc"), utf8);  // the operator's UTF-8 file stays UTF-8
    dir.write("tone.lrc", "\xEF\xBB\xBF[00:09.00]旧\r\n");
    EXPECT_EQ(lrcEditor.SaveLyricsFile().outcome, LyricsStoreResult::Outcome::Stored);
    EXPECT_EQ(dir.read("tone.lrc"), "\xEF\xBB\xBF" + utf8);
    std::filesystem::remove(dir.file("tone.lrc"));
    EXPECT_EQ(lrcEditor.SaveLyricsFile().outcome, LyricsStoreResult::Outcome::Stored);
    EXPECT_EQ(dir.read("tone.lrc"), Utf8ToGbk(utf8));  // GBK: as the older system wrote it

    // A file its owner may not write stays as it is.
    ::chmod(dir.file("tone.lrc").c_str(), 0444);
    state.table.setCell(1, 2, "changed");
    const LyricsStoreResult refused = lrcEditor.SaveLyricsFile();
    EXPECT_EQ(refused.outcome, LyricsStoreResult::Outcome::Failed);
    EXPECT_EQ(refused.error, "文件只读，未修改: " + dir.file("tone.lrc"));
    EXPECT_EQ(dir.read("tone.lrc"), Utf8ToGbk(utf8));
}

TEST_F(LyricsEditorTest, AReadOnlyMp3FileIsNotRewrittenAndTheSongResumes) {
    const std::string song = toneFile("song.mp3");
    if (song.empty()) GTEST_SKIP() << "no MP3 encoder";
    const std::string bytes = dir.read("song.mp3");
    ::chmod(song.c_str(), 0444);
    auto& ch = playOnAir(song, 2000);
    editor.setChkEditMusic(true);
    const int before = ch.Position();
    const LyricsStoreResult result = editor.btnSaveLrctoMP3Click();
    EXPECT_EQ(result.outcome, LyricsStoreResult::Outcome::Failed);
    EXPECT_EQ(result.error, "文件只读，未修改: " + song);
    EXPECT_EQ(dir.read("song.mp3"), bytes);
    EXPECT_EQ(ch.State(), ChannelState::Playing);
    EXPECT_NEAR(ch.Position(), before, 40);
}

TEST_F(LyricsEditorTest, TakingTimesWhileTheSongPlays) {
    const std::string wav = dir.file("tone.wav");
    if (!EncodeTone(wav, 5, 1000)) GTEST_SKIP() << "no ffmpeg";
    auto& ch = playOnAir(wav, 1500);
    editor.chkPause = true;
    editor.btnSetTimeClick();
    EXPECT_EQ(ch.State(), ChannelState::Paused);
    EXPECT_EQ(state.table.timeOf(1), FormatMinSec(ch.Position()));
    EXPECT_EQ(state.table.currentRow(), 2);
    editor.btnPlayClick();
    EXPECT_EQ(ch.State(), ChannelState::Playing);
}

TEST_F(LyricsEditorTest, NothingOnAirStoresNothing) {
    EXPECT_EQ(editor.SaveLyricsFile().outcome, LyricsStoreResult::Outcome::NothingDone);
    EXPECT_EQ(editor.btnSaveLrctoMP3Click().outcome, LyricsStoreResult::Outcome::NothingDone);
    editor.btnPlayClick();
}

TEST_F(LyricsEditorTest, ImportReplacesTheTable) {
    const std::string file = dir.write("other.txt", "[offset:100]\n[00:05.00][00:02.00]x\n");
    state.CurrentLyricRow = 5;
    EXPECT_FALSE(editor.importLyricsFile(dir.file("missing.lrc")));
    EXPECT_EQ(state.table.textOf(1), "first");
    ASSERT_TRUE(editor.importLyricsFile(file));
    EXPECT_EQ(state.table.lastDataRow(), 2);
    EXPECT_EQ(state.table.timeOf(1), "00:02.00");
    EXPECT_EQ(state.CurrentLyricRow, 1);
    EXPECT_EQ(state.offsetMs, 100);
    EXPECT_EQ(state.rawLines.size(), 2u);
}

}  // namespace
}  // namespace pelvano::core
