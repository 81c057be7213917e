#include "core/tags/TID3v1Tag.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/tags/TagFile.h"

namespace pelvano::core {

namespace {

// A field's text: up to the first zero byte, without trailing blanks and control bytes.
std::string fieldText(std::string_view block, std::size_t offset, std::size_t length) {
    std::string_view field = block.substr(offset, length);
    field = field.substr(0, field.find('\0'));
    while (!field.empty() && static_cast<unsigned char>(field.back()) <= 0x20)
        field.remove_suffix(1);
    return std::string(field);
}

}  // namespace

bool TID3v1Tag::isTagBlock(std::string_view block) {
    return block.size() == kSize && block.substr(0, 3) == "TAG";
}

void TID3v1Tag::parseBlock(std::string_view block) {
    Exists = isTagBlock(block);
    if (!Exists) return;
    Title = fieldText(block, 3, 30);
    Artist = fieldText(block, 33, 30);
    Album = fieldText(block, 63, 30);
    Year = fieldText(block, 93, 4);
    Comment = fieldText(block, 97, 30);
}

void TID3v1Tag::ReadFromFile(const std::string& fileName) {
    const TagFile file(fileName);
    Exists = false;
    if (file.size() < kSize) return;
    parseBlock(file.readAt(file.size() - kSize, kSize));
}

void TID3v1Tag::RemoveFromFile(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) throw TagFileError("Cannot open file \"" + fileName + "\"");
    struct stat st {};
    std::string block(kSize, '\0');
    bool shortened = true;
    if (::fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(kSize) &&
        ::pread(fd, block.data(), kSize, st.st_size - static_cast<off_t>(kSize)) ==
            static_cast<ssize_t>(kSize) &&
        isTagBlock(block)) {
        // Truncation replaces the end in one step: the file is either whole or without the tag.
        shortened =
            ::ftruncate(fd, st.st_size - static_cast<off_t>(kSize)) == 0 && ::fsync(fd) == 0;
    }
    ::close(fd);
    if (!shortened) throw TagFileError("Cannot write file \"" + fileName + "\"");
}

}  // namespace pelvano::core
