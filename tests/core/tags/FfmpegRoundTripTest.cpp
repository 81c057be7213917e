// Files we rewrite must stay readable by standard readers: FFmpeg reads the texts back and
// decodes the very same samples; mutagen (mid3v2) and eyeD3 show the same texts, and their
// edits keep our lyrics. FFmpeg also writes the version 2.3 (UTF-16) and 2.4 (UTF-8) tags that
// today's tools produce.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/app/Encoding.h"
#include "core/lyrics/Mp3LyricsTag.h"
#include "core/tags/TID3v2Tag.h"
#include "support/ProcessOutput.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

bool have(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string decodedSamples(const std::string& path) {
    return pelvano::test::RunOutput("ffmpeg -v error -i '" + path + "' -f s16le -");
}

// "key": "value" as ffprobe prints it in JSON.
std::string jsonPair(std::string_view key, std::string_view value) {
    auto quoted = [](std::string_view text) {
        std::string out = "\"";
        for (char c : text) {
            if (c == '\r')
                out += "\\r";
            else if (c == '\n')
                out += "\\n";
            else if (c == '"' || c == '\\')
                out += std::string("\\") + c;
            else
                out += c;
        }
        return out + "\"";
    };
    return quoted(key) + ": " + quoted(value);
}

class FfmpegRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!have("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    }
    std::string encode(const std::string& name, const std::string& options) {
        const std::string path = dir.file(name);
        pelvano::test::RunOutput(
            "ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2 -c:a libmp3lame "
            "-b:a 128k " +
            options + " '" + path + "'");
        return path;
    }
    test::TempDir dir;
};

TEST_F(FfmpegRoundTrip, TextsOfTodaysWritersAreDecoded) {
    const std::string meta = "-metadata title=中文标题 -metadata artist=歌手 -metadata album=Alb ";
    for (const char* version : {"3", "4"}) {
        TID3v2Tag tag;
        tag.ReadFromFile(
            encode(std::string("v") + version + ".mp3", meta + "-id3v2_version " + version));
        EXPECT_EQ(tag.Version, version[0] - '0');
        EXPECT_EQ(tag.Title, Utf8ToGbk("中文标题"));
        EXPECT_EQ(tag.Artist, Utf8ToGbk("歌手"));
        EXPECT_EQ(tag.Album, "Alb");
    }
}

TEST_F(FfmpegRoundTrip, SavedFilesReadBackAndDecodeToTheSameSamples) {
    const std::string path = encode("song.mp3", "-metadata title=Old -metadata genre=Rock");
    const std::string before = decodedSamples(path);
    ASSERT_GT(before.size(), 100000u);

    TID3v2Tag tag;
    tag.ReadFromFile(path);
    tag.Title = Utf8ToGbk("新标题");
    tag.Artist = "Artist";
    tag.Album = "Album";
    tag.Year = "2024";
    tag.Comment = "A comment";
    tag.Lyrics = "[00:01.00]line one\r\n[00:02.00]line two";
    ASSERT_TRUE(tag.SaveToFile(path, true).replaced);

    const std::string probe =
        pelvano::test::RunOutput("ffprobe -v error -show_format -of json '" + path + "'");
    EXPECT_NE(probe.find(jsonPair("title", "新标题")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("artist", "Artist")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("album", "Album")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("date", "2024")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("comment", "A comment")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("genre", "Rock")), std::string::npos) << probe;
    // Lyrics frames have an empty description: a standard reader sees an unnamed value.
    EXPECT_NE(probe.find(jsonPair("", tag.Lyrics)), std::string::npos) << probe;
    EXPECT_EQ(decodedSamples(path), before);

    ASSERT_TRUE(tag.RemoveFromFile(path).replaced);
    EXPECT_EQ(decodedSamples(path), before);
}

TEST_F(FfmpegRoundTrip, OtherReadersShowTheTextsWeWrite) {
    if (!have("mid3v2") || !have("eyeD3")) GTEST_SKIP() << "mid3v2 or eyeD3 is not installed";
    const std::string path = encode("song.mp3", "");
    TID3v2Tag tag;
    tag.ReadFromFile(path);
    tag.Title = Utf8ToGbk("北京欢迎你");
    tag.Artist = Utf8ToGbk("Beyoncé");
    tag.Album = "Plain";
    ASSERT_TRUE(tag.SaveToFile(path, false).replaced);

    const std::string probe =
        pelvano::test::RunOutput("ffprobe -v error -show_format -of json '" + path + "'");
    EXPECT_NE(probe.find(jsonPair("title", "北京欢迎你")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("artist", "Beyoncé")), std::string::npos) << probe;
    const std::string mutagen = pelvano::test::RunOutput("mid3v2 -l '" + path + "'");
    EXPECT_NE(mutagen.find("TIT2=北京欢迎你\n"), std::string::npos) << mutagen;
    EXPECT_NE(mutagen.find("TPE1=Beyoncé\n"), std::string::npos) << mutagen;
    const std::string eyed3 = pelvano::test::RunOutput("eyeD3 --no-color '" + path + "' 2>&1");
    EXPECT_NE(eyed3.find("title: 北京欢迎你"), std::string::npos) << eyed3;
    EXPECT_NE(eyed3.find("artist: Beyoncé"), std::string::npos) << eyed3;

    // The older system's stations: the stored bytes, exactly as before.
    tag.TextEncoding = TagTextEncoding::Gbk;
    tag.ReadFromFile(path);
    tag.Title = Utf8ToGbk("晚风");
    ASSERT_TRUE(tag.SaveToFile(path, false).replaced);
    const std::string saved = dir.read("song.mp3");
    EXPECT_NE(saved.find(std::string("TIT2\0\0\0\x05\0\0\0", 11) + Utf8ToGbk("晚风")),
              std::string::npos);
}

TEST_F(FfmpegRoundTrip, LyricsSurviveAnEditByMutagen) {
    if (!have("mid3v2")) GTEST_SKIP() << "mid3v2 is not installed";
    const std::string path = encode("song.mp3", "");
    std::string lyrics;
    for (int i = 0; i < 150; ++i)
        lyrics += Utf8ToGbk("[00:" + std::to_string(10 + i % 50) + ".00]北京欢迎你\r\n");
    ASSERT_GT(lyrics.size(), 2000u);  // several frames
    TID3v2Tag tag;
    tag.ReadFromFile(path);
    tag.Lyrics = lyrics;
    ASSERT_TRUE(tag.SaveToFile(path, false).replaced);

    pelvano::test::RunOutput("mid3v2 -t 'New title' '" + path + "'");
    tag.ReadFromFile(path);
    EXPECT_EQ(tag.Version, 4);  // mutagen rewrote the tag
    EXPECT_EQ(tag.Title, "New title");
    EXPECT_EQ(tag.Lyrics, lyrics);
}

TEST_F(FfmpegRoundTrip, AUtf16TitleOfAnotherToolSurvivesALyricsUpdate) {
    if (!have("eyeD3")) GTEST_SKIP() << "eyeD3 is not installed";
    const std::string path = encode("song.mp3", "");
    pelvano::test::RunOutput("eyeD3 --quiet --to-v2.3 --encoding utf16 -t 北京欢迎你 -a Beyoncé '" +
                             path + "' 2>&1");
    Id3v2LyricsTag lyrics(TagTextEncoding::Gbk);
    ASSERT_TRUE(lyrics.writeLyrics(path, "[00:01]la", false).replaced);
    const std::string eyed3 = pelvano::test::RunOutput("eyeD3 --no-color '" + path + "' 2>&1");
    EXPECT_NE(eyed3.find("title: 北京欢迎你"), std::string::npos) << eyed3;
    EXPECT_NE(eyed3.find("artist: Beyoncé"), std::string::npos) << eyed3;
    EXPECT_EQ(lyrics.readLyrics(path), "[00:01]la");
}

}  // namespace
}  // namespace pelvano::core
