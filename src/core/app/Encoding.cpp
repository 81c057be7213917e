#include "core/app/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

// One iconv descriptor per direction and thread; iconv descriptors are not thread-safe.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible. Returns the number of input bytes consumed; stops at the
    // first invalid or incomplete sequence.
    std::size_t convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, sizeof buffer - dstLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) break;
        }
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, sizeof buffer - dstLeft);
        return in.size() - srcLeft;
    }

  private:
    iconv_t cd_;
};

Converter& converter(const char* to, const char* from) {
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
    auto& slot = cache[{to, from}];
    if (!slot) slot = std::make_unique<Converter>(to, from);
    return *slot;
}

void appendAsIs(std::string_view converted, std::string& out) {
    out.append(converted);
}

// Runs a conversion: each converted run goes through onValid, each input position that cannot
// be converted to onInvalid, which appends its replacement and returns how many bytes to skip.
template <typename OnValid, typename OnInvalid>
std::string convertAll(const char* to, const char* from, std::string_view in, OnValid onValid,
                       OnInvalid onInvalid) {
    Converter& c = converter(to, from);
    std::string out;
    out.reserve(in.size() * 3 / 2);
    if (!c.ok()) return std::string(in);
    std::string run;
    while (!in.empty()) {
        run.clear();
        const std::size_t used = c.convert(in, run);
        onValid(run, out);
        in.remove_prefix(used);
        if (in.empty()) break;
        const std::size_t skip = onInvalid(in, out);
        in.remove_prefix(skip < in.size() ? skip : in.size());
    }
    return out;
}

void appendHexEscape(unsigned char b, std::string& out) {
    static const char* kHex = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 15];
}

void appendEscaped(std::string_view converted, std::string& out) {
    for (char c : converted) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk, InvalidBytes invalid) {
    if (invalid == InvalidBytes::Escape) {
        return convertAll("UTF-8", "GB18030", gbk, appendEscaped,
                          [](std::string_view rest, std::string& out) {
                              appendHexEscape(static_cast<unsigned char>(rest[0]), out);
                              return std::size_t{1};
                          });
    }
    return convertAll("UTF-8", "GB18030", gbk, appendAsIs, [](std::string_view, std::string& out) {
        out += "\xEF\xBF\xBD";
        return std::size_t{1};
    });
}

std::string EscapedUtf8ToGbk(std::string_view text) {
    std::string out;
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) { out += Utf8ToGbk(text.substr(runStart, end - runStart)); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) continue;
        const char kind = text[i + 1];
        int hi = -1, lo = -1;
        if (kind == 'x' && i + 3 < text.size()) {
            hi = HexDigitValue(text[i + 2]);
            lo = HexDigitValue(text[i + 3]);
        }
        std::string decoded;
        std::size_t length = 2;
        switch (kind) {
            case '\\':
                decoded = "\\";
                break;
            case 't':
                decoded = "\t";
                break;
            case 'r':
                decoded = "\r";
                break;
            case 'n':
                decoded = "\n";
                break;
            case 'x':
                if (hi < 0 || lo < 0) continue;
                decoded = std::string(1, static_cast<char>(hi * 16 + lo));
                length = 4;
                break;
            default:
                continue;
        }
        flush(i);
        out += decoded;
        i += length - 1;
        runStart = i + 1;
    }
    flush(text.size());
    return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
    return convertAll(
        "GB18030", "UTF-8", utf8, appendAsIs, [](std::string_view rest, std::string& out) {
            out += '?';
            // Skip the whole broken sequence: its lead byte and any continuation bytes.
            std::size_t n = 1;
            while (n < rest.size() && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80) ++n;
            return n;
        });
}

namespace {

std::string utf16ToGbk(std::string_view bytes, const char* from) {
    if (bytes.size() % 2) bytes.remove_suffix(1);
    return convertAll("GB18030", from, bytes, appendAsIs, [](std::string_view, std::string&) {
        return std::size_t{2};  // an unpaired surrogate is dropped
    });
}

}  // namespace

std::string Utf16LeToGbk(std::string_view bytes) {
    return utf16ToGbk(bytes, "UTF-16LE");
}
std::string Utf16BeToGbk(std::string_view bytes) {
    return utf16ToGbk(bytes, "UTF-16BE");
}

std::string GbkToUtf16Le(std::string_view gbk) {
    return convertAll("UTF-16LE", "GB18030", gbk, appendAsIs,
                      [](std::string_view, std::string&) { return std::size_t{1}; });
}

bool IsValidGb18030(std::string_view bytes) {
    bool valid = true;
    convertAll("UTF-8", "GB18030", bytes, appendAsIs, [&valid](std::string_view, std::string&) {
        valid = false;
        return std::size_t{1};
    });
    return valid;
}

const std::string& Gbk(std::string_view utf8) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::string> cache;
    std::lock_guard lock(mutex);
    auto it = cache.find(std::string(utf8));
    if (it == cache.end()) it = cache.emplace(std::string(utf8), Utf8ToGbk(utf8)).first;
    return it->second;  // node-based map: references stay valid
}

}  // namespace pelvano::core
