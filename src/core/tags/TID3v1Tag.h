#pragma once
// The 128-byte ID3v1 tag at the end of an MP3 file: read and removed, never written.
// Texts are the stored bytes (GBK). UI thread, or one thread per instance.
#include <string>
#include <string_view>

namespace pelvano::core {

class TID3v1Tag {
  public:
    static constexpr std::size_t kSize = 128;

    bool Exists = false;  // the last file read had a tag; the texts are valid only then
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Comment;
    std::string Year;

    // Reads the tag from the end of the file. A file shorter than 128 bytes has none.
    // Throws TagFileError when the file cannot be opened.
    void ReadFromFile(const std::string& fileName);
    // Sets Exists from the "TAG" marker of a 128-byte block and, when set, the five texts.
    // Without the marker the texts stay as they were.
    void parseBlock(std::string_view block);
    // Shortens the file by 128 bytes when its last 128 bytes start with "TAG" (exact case).
    // Throws TagFileError when the file cannot be opened for writing or shortened.
    static void RemoveFromFile(const std::string& fileName);

    // Whether the last 128 bytes of a file (or of a block of its end) are an ID3v1 tag.
    static bool isTagBlock(std::string_view block);
};

}  // namespace pelvano::core
