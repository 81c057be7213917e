// Files we rewrite must stay readable by standard readers: FFmpeg reads the texts back and
// decodes the very same samples. FFmpeg also writes the version 2.3 (UTF-16) and 2.4 (UTF-8)
// tags that today's tools produce.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/app/Encoding.h"
#include "core/tags/TID3v2Tag.h"
#include "support/TempDir.h"

namespace pelvano::core {
namespace {

std::string runOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

bool haveFfmpeg() {
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

std::string decodedSamples(const std::string& path) {
    return runOutput("ffmpeg -v error -i '" + path + "' -f s16le -");
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

// Encoding 0 means ISO-8859-1 to a standard reader: each stored byte becomes one character.
std::string asLatin1(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

class FfmpegRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    }
    std::string encode(const std::string& name, const std::string& options) {
        const std::string path = dir.file(name);
        runOutput(
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

    const std::string probe = runOutput("ffprobe -v error -show_format -of json '" + path + "'");
    EXPECT_NE(probe.find(jsonPair("title", asLatin1(tag.Title))), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("artist", "Artist")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("album", "Album")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("date", "2024")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("comment", "A comment")), std::string::npos) << probe;
    EXPECT_NE(probe.find(jsonPair("genre", "Rock")), std::string::npos) << probe;
    // Lyrics frames carry no description: a standard reader takes the text for one.
    EXPECT_NE(probe.find(jsonPair(tag.Lyrics, "")), std::string::npos) << probe;
    EXPECT_EQ(decodedSamples(path), before);

    ASSERT_TRUE(tag.RemoveFromFile(path).replaced);
    EXPECT_EQ(decodedSamples(path), before);
}

}  // namespace
}  // namespace pelvano::core
