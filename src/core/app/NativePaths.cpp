#include "core/app/NativePaths.h"

#include "core/app/Encoding.h"

namespace pelvano::core {

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t n = 0;
        char32_t cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 1, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 2, cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 3, cp = b & 0x07;
        } else {
            return false;
        }
        if (i + n >= bytes.size()) return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF.
        if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += n + 1;
    }
    return true;
}

std::string StoredFormOfNativePath(std::string_view native) {
    std::string out;
    out.reserve(native.size());
    while (true) {
        const std::size_t slash = native.find('/');
        const std::string_view part = native.substr(0, slash);
        if (IsValidUtf8(part)) {
            out += Utf8ToGbk(part);
        } else {
            out += part;  // GBK bytes already
        }
        if (slash == std::string_view::npos) break;
        out += '/';
        native.remove_prefix(slash + 1);
    }
    return out;
}

std::string DisplayFormOfNativePath(std::string_view native) {
    return GbkToUtf8(StoredFormOfNativePath(native));
}

std::vector<std::string> SplitStoredPath(std::string_view gbk) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i < gbk.size();) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b == '/' || b == '\\') {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
            ++i;
            continue;
        }
        std::size_t n = 1;
        if (b >= 0x81 && b <= 0xFE && i + 1 < gbk.size()) {
            const auto second = static_cast<unsigned char>(gbk[i + 1]);
            n = second >= 0x30 && second <= 0x39 ? 4 : 2;  // GB18030's four-byte form
        }
        part.append(gbk.substr(i, n));
        i += n;
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

}  // namespace pelvano::core
