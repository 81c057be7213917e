#pragma once
// The status page's files, compiled into the program from the page folder (cmake/EmbedFiles).
// Any thread.
#include <cstddef>
#include <string_view>

namespace pelvano::platform {

struct PageFile {
    const char* name;  // the file name, e.g. "index.html"
    const unsigned char* data;
    std::size_t size;
};

extern const PageFile kPageFiles[];
extern const std::size_t kPageFileCount;

// The file of that name; null when there is none.
const PageFile* FindPageFile(std::string_view name);
// The Content-Type of a file name, by its extension.
const char* ContentTypeOf(std::string_view name);

}  // namespace pelvano::platform
