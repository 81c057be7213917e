#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/app/Encoding.h"
#include "core/tags/TID3v2Tag.h"
#include "core/tags/TagFile.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

using test::Id3v1Block;
using test::Id3v2Frame;
using test::LyricsFrame;
using test::MpegAudio;
using test::OlderSystemTag;
using test::SizeValueOf;
using test::StandardTag;
using test::TextFrame;

class TID3v2TagSave : public ::testing::Test {
  protected:
    // Writes the file, reads it, sets the texts given, saves, and returns the new bytes.
    std::string save(std::string_view bytes, bool keep = false) {
        path = dir.write("song.mp3", bytes);
        tag.ReadFromFile(path);
        const TagSaveResult result = tag.SaveToFile(path, keep);
        EXPECT_TRUE(result.replaced) << result.message;
        return dir.read("song.mp3");
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
    test::TempDir dir;
    std::string path;
    TID3v2Tag tag;
};

TEST_F(TID3v2TagSave, UntaggedFileGetsATagInFrontOfAllItsBytes) {
    const std::string audio = MpegAudio(4);
    path = dir.write("song.mp3", audio);
    tag.ReadFromFile(path);
    tag.Title = "T";
    tag.Artist = "A";
    ASSERT_TRUE(tag.SaveToFile(path, false).replaced);
    const std::string saved = dir.read("song.mp3");
    const std::string expectedTag = StandardTag(TextFrame("TIT2", "T") + TextFrame("TPE1", "A"));
    EXPECT_EQ(saved, expectedTag + audio);
    EXPECT_EQ(SizeValueOf(saved), saved.size() - audio.size() - 10);  // the standard's count
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"song.mp3"});
}

TEST_F(TID3v2TagSave, Id3v1TagIsReplacedByAnId3v2Tag) {
    const std::string audio = MpegAudio(3);
    const std::string saved = save(audio + Id3v1Block("Old title", "Old artist"));
    EXPECT_EQ(saved, StandardTag(TextFrame("TIT2", "Old title") + TextFrame("TPE1", "Old artist")) +
                         audio);
}

TEST_F(TID3v2TagSave, AllTextsEmptyGiveABareHeader) {
    const std::string audio = MpegAudio(2);
    EXPECT_EQ(save(audio), std::string("ID3\x03\0\0\0\0\0\0", 10) + audio);
}

TEST_F(TID3v2TagSave, LongTextsAreSplitIntoFramesOf1000Bytes) {
    const std::string audio = MpegAudio(2);
    path = dir.write("song.mp3", audio);
    std::string lyrics;
    for (int i = 0; i < 2500; ++i) lyrics += static_cast<char>('a' + i % 26);
    tag.Lyrics = lyrics;
    tag.Comment = std::string(1200, 'c');
    ASSERT_TRUE(tag.SaveToFile(path, false).replaced);
    const std::string expectedFrames =
        TextFrame("COMM", std::string("chi\0", 4) + std::string(996, 'c')) +
        TextFrame("COMM", std::string(204, 'c')) + LyricsFrame(lyrics.substr(0, 1000)) +
        LyricsFrame(lyrics.substr(1000, 1000)) + LyricsFrame(lyrics.substr(2000));
    EXPECT_EQ(dir.read("song.mp3"), StandardTag(expectedFrames) + audio);
    tag.ReadFromFile(path);
    EXPECT_EQ(tag.Lyrics, lyrics);
    EXPECT_EQ(tag.Comment, std::string(996, 'c'));
}

TEST_F(TID3v2TagSave, AudioStartsRightAfterEitherKindOfSizeValue) {
    const std::string audio = MpegAudio(5) + Id3v1Block("gone");
    const std::string frames = TextFrame("TIT2", "x");
    const std::string fresh = StandardTag(TextFrame("TIT2", "x"));
    EXPECT_EQ(save(OlderSystemTag(frames) + audio), fresh + MpegAudio(5));
    EXPECT_EQ(save(StandardTag(frames, 3, 500) + audio), fresh + MpegAudio(5));
    // Version 2.4 footer: ten more bytes after the frames.
    std::string withFooter = StandardTag(TextFrame("TIT2", "x", 4), 4);
    withFooter[5] = 0x10;
    withFooter += "3DI" + withFooter.substr(3, 7);
    EXPECT_EQ(save(withFooter + audio), fresh + MpegAudio(5));
    // Not MPEG audio behind the tag: the standard's count stands, even where the tag's last ten
    // bytes look like an MPEG frame header.
    EXPECT_EQ(save(StandardTag(frames) + "RIFF....WAVE"), fresh + "RIFF....WAVE");
    const std::string priv = Id3v2Frame("PRIV", std::string("owner\0\xFF\xFB\x90\x64sixsix", 16));
    EXPECT_EQ(save(StandardTag(frames + priv) + "RIFF....WAVE", true),
              StandardTag(frames + priv) + "RIFF....WAVE");
}

TEST_F(TID3v2TagSave, OtherFramesAreKeptOnlyWhenAsked) {
    const std::string apic = Id3v2Frame("APIC", std::string("\0image/png\0\x03\0PNGDATA", 20));
    const std::string tcon = TextFrame("TCON", "Pop");
    const std::string named = TextFrame("TXXX", std::string("MusicBrainz Id\0abc", 18));
    const std::string old =
        StandardTag(apic + TextFrame("TIT2", "t") + tcon + TextFrame("TXXX", "[00:01]x") + named +
                    Id3v2Frame("PRIV", ""));
    const std::string audio = MpegAudio(2);
    const std::string ours = TextFrame("TIT2", "t") + LyricsFrame("[00:01]x");
    EXPECT_EQ(save(old + audio, false), StandardTag(ours) + audio);
    EXPECT_EQ(save(old + audio, true), StandardTag(ours + apic + tcon + named) + audio);
}

TEST_F(TID3v2TagSave, KeptVersion4FramesGetPlainSizes) {
    const std::string big(200, 'b');
    const std::string old =
        StandardTag(Id3v2Frame("TCON",
                               "\x03"
                               "Rock",
                               4, 0x4000) +
                        Id3v2Frame("PRIV", big, 4) + Id3v2Frame("GEOB", "zz", 4, 0x0001),
                    4);
    const std::string audio = MpegAudio(1);
    EXPECT_EQ(save(old + audio, true), StandardTag(Id3v2Frame("TCON",
                                                              "\x03"
                                                              "Rock",
                                                              3, 0x8000) +
                                                   Id3v2Frame("PRIV", big)) +
                                           audio);
}

TEST_F(TID3v2TagSave, RemoveFromFileLeavesTheAudioAlone) {
    const std::string audio = MpegAudio(3);
    path = dir.write("song.mp3", OlderSystemTag(TextFrame("TIT2", "x")) + audio + Id3v1Block("y"));
    ASSERT_TRUE(tag.RemoveFromFile(path).replaced);
    EXPECT_EQ(dir.read("song.mp3"), audio);
    ASSERT_TRUE(tag.RemoveFromFile(path).replaced);
    EXPECT_EQ(dir.read("song.mp3"), audio);
}

TEST_F(TID3v2TagSave, RefusesAFileWhoseAudioCannotBeLocated) {
    std::string damaged = StandardTag(TextFrame("TIT2", "x"), 3, 5000);
    damaged.resize(300);
    path = dir.write("song.mp3", damaged);
    tag.ReadFromFile(path);
    EXPECT_THROW(tag.SaveToFile(path, true), TagFileError);
    EXPECT_THROW(tag.RemoveFromFile(path), TagFileError);
    EXPECT_EQ(dir.read("song.mp3"), damaged);
    EXPECT_THROW(tag.SaveToFile(dir.file("missing.mp3"), false), TagFileError);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"song.mp3"});
}

TEST_F(TID3v2TagSave, PermissionsAndOtherFilesAreKept) {
    const std::string neighbour = dir.write("song-2.MP3", "another song");
    path = dir.write("song.mp3", MpegAudio(1));
    ::chmod(path.c_str(), 0640);
    tag.Title = "t";
    ASSERT_TRUE(tag.SaveToFile(path, false).replaced);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.read("song-2.MP3"), "another song");
}

TEST_F(TID3v2TagSave, AFileItsOwnerMayNotWriteIsLeftAsItIs) {
    const std::string original = StandardTag(TextFrame("TIT2", "old")) + MpegAudio(2);
    path = dir.write("只读.mp3", original);
    // Others may write it: the owner's mark still counts, also for root.
    ::chmod(path.c_str(), 0466);
    tag.ReadFromFile(path);
    tag.Title = "new";
    const std::string refusal = Utf8ToGbk("文件只读，未修改: " + path);
    const TagSaveResult saved = tag.SaveToFile(path, true);
    EXPECT_FALSE(saved.replaced);
    EXPECT_EQ(saved.message, refusal);
    EXPECT_EQ(saved.resultPath, "");
    const TagSaveResult removed = tag.RemoveFromFile(path);
    EXPECT_FALSE(removed.replaced);
    EXPECT_EQ(removed.message, refusal);
    EXPECT_EQ(dir.read("只读.mp3"), original);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"只读.mp3"});
}

// Marks a file immutable (even root cannot replace it) for as long as it lives.
class ImmutableFile {
  public:
    explicit ImmutableFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
        int flags = 0;
        set_ = fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0 &&
               (flags |= FS_IMMUTABLE_FL, ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0);
    }
    ~ImmutableFile() {
        int flags = 0;
        if (set_ && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    bool set() const { return set_; }

  private:
    int fd_;
    bool set_ = false;
};

TEST_F(TID3v2TagSave, AnOriginalThatCannotBeReplacedStaysAndTheResultIsKept) {
    const std::string original = MpegAudio(2);
    path = dir.write("song.mp3", original);
    tag.Title = "new";
    TagSaveResult result;
    {
        const ImmutableFile locked(path);
        if (!locked.set()) GTEST_SKIP() << "cannot mark files immutable here";
        result = tag.SaveToFile(path, false);
        EXPECT_FALSE(result.replaced);
        EXPECT_EQ(result.resultPath, dir.file("song-2.MP3"));
        EXPECT_EQ(result.message, Utf8ToGbk("不能修改源文件:" + path +
                                            "\n修改结果保存在文件:" + result.resultPath));
        // The name the operator is told is taken: nothing is overwritten, nothing is left.
        result = tag.SaveToFile(path, false);
        EXPECT_FALSE(result.replaced);
        EXPECT_EQ(result.resultPath, "");
        EXPECT_EQ(result.message.rfind(Utf8ToGbk("不能保存源文件:" + path + "\n"), 0), 0u);
    }
    EXPECT_EQ(dir.read("song.mp3"), original);
    EXPECT_EQ(dir.read("song-2.MP3"), StandardTag(TextFrame("TIT2", "new")) + original);
    EXPECT_EQ(folderEntries().size(), 2u);
}

TEST(TemporaryTagFileName, ReplacesTheExtensionOfTheFileName) {
    EXPECT_EQ(TemporaryTagFileName("/m/song.mp3"), "/m/song-2.MP3");
    EXPECT_EQ(TemporaryTagFileName("/m/a.b.mp3"), "/m/a.b-2.MP3");
    EXPECT_EQ(TemporaryTagFileName("/m.d/song"), "/m.d/song-2.MP3");
}

}  // namespace
}  // namespace pelvano::core
