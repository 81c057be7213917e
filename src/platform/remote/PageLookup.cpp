#include "platform/remote/PageFiles.h"

#include <utility>

namespace pelvano::platform {

const PageFile* FindPageFile(std::string_view name) {
    for (std::size_t i = 0; i < kPageFileCount; ++i) {
        if (name == kPageFiles[i].name) return &kPageFiles[i];
    }
    return nullptr;
}

const char* ContentTypeOf(std::string_view name) {
    constexpr std::pair<std::string_view, const char*> kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".svg", "image/svg+xml"},
        {".png", "image/png"},
        {".ico", "image/x-icon"},
        {".json", "application/json"},
        {".webmanifest", "application/manifest+json"},
    };
    for (const auto& [extension, type] : kTypes) {
        if (name.ends_with(extension)) return type;
    }
    return "application/octet-stream";
}

}  // namespace pelvano::platform
