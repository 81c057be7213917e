#pragma once
// The descriptive texts of a WMA (ASF) file's header: the content description and ten named
// attributes of the extended content description. Read only; the UTF-16 texts are converted
// to the stored code page (GBK) as they are read. UI thread, or one thread per instance.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelvano::core {

class TWma_Tag {
  public:
    std::string WMFSDKVersion;
    std::int64_t HeaderSize = 0;  // size of the ASF header object
    std::string Title;
    std::string Author;
    std::string Rights;
    std::string Description;
    std::string AlbumTitle;
    std::string Year;
    std::string Genre;
    std::string TrackNumber;
    std::string Track;
    std::string UserWebURL;
    std::string URL;
    std::string Lyrics;
    std::string EncodedBy;

    // True when the file starts with an ASF header object, whose children were then read as
    // far as they are whole; false when the file is missing, shorter than 24 bytes or not ASF.
    // Every text is cleared first. Throws TagFileError when an existing file cannot be opened.
    bool ReadFromFile(const std::string& fileName);

  private:
    void clear();
    void readContentDescription(std::string_view body);
    void readExtendedContentDescription(std::string_view body);
    std::string* attributeNamed(std::string_view utf16Name);
};

}  // namespace pelvano::core
