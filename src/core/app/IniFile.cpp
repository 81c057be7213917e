#include "core/app/IniFile.h"

#include <mutex>
#include <optional>

#include "core/app/Encoding.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

struct IniLines {
    std::string bom;
    std::vector<std::string> lines;
};

IniLines splitLines(std::string_view bytes) {
    IniLines out;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        out.bom = std::string(kUtf8Bom);
        bytes.remove_prefix(kUtf8Bom.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}

// The section name of a header line, or nothing.
std::optional<std::string> sectionOf(std::string_view line) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return std::nullopt;
    const auto close = t.find(']');
    return Trim(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

bool isKeyLine(std::string_view line, std::string_view key, std::string* value) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';') return false;
    const auto eq = t.find('=');
    if (eq == std::string::npos) return false;
    if (!EqualsIgnoreCaseGbk(Trim(std::string_view(t).substr(0, eq)), key)) return false;
    if (value) {
        // Only trailing blanks go: a value " YES" must stay unlike "YES", as the flags expect.
        std::string_view raw = std::string_view(line).substr(line.find('=') + 1);
        while (!raw.empty() && static_cast<unsigned char>(raw.back()) <= 0x20) raw.remove_suffix(1);
        std::string v(raw);
        const bool quoted =
            v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\'');
        if (quoted) v = v.substr(1, v.size() - 2);
        *value = std::move(v);
    }
    return true;
}

std::optional<std::string> lookup(const std::string& file, std::string_view section, std::string_view key) {
    std::string bytes;
    if (!ReadFileBytes(file, bytes)) return std::nullopt;
    const IniLines ini = splitLines(bytes);
    bool inSection = false;
    bool seenSection = false;
    for (const std::string& line : ini.lines) {
        if (auto name = sectionOf(line)) {
            if (inSection) return std::nullopt;  // the first section of that name has ended
            inSection = !seenSection && EqualsIgnoreCaseGbk(*name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        std::string value;
        if (inSection && isKeyLine(line, key, &value)) return value;
    }
    return std::nullopt;
}

// A write reads the whole file, changes it and replaces it: two at once (the UI thread's and
// the write queue's) would each drop the other's keys. Every write takes this one lock rather
// than going through the queue, so that a key written on the UI thread reads back at once and
// writers without a queue need none; a write is one small file's rewrite, so the lock is held
// briefly and the files that share it lose nothing by it.
std::mutex writeLock;

std::string clean(std::string_view value) {
    // A value is one line: line breaks inside it would split the file.
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

}  // namespace

std::string IniRead(const std::string& file, std::string_view section, std::string_view key) {
    return lookup(file, section, key).value_or(std::string());
}

std::string IniReadDef(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view def) {
    auto v = lookup(file, section, key);
    return v ? *v : std::string(def);
}

std::string IniReadIfPresent(const std::string& file, std::string_view section, std::string_view key,
                             std::string_view def) {
    return IniReadDef(file, section, key, def);
}

bool IniWrite(const std::string& file, std::string_view section, std::string_view key,
              std::string_view value, std::string* error) {
    return IniWriteMany(file, section, {{std::string(key), std::string(value)}}, error);
}

bool IniWriteMany(const std::string& file, std::string_view section,
                  const std::vector<std::pair<std::string, std::string>>& values, std::string* error,
                  FileAccess access) {
    const std::lock_guard lock(writeLock);
    std::string bytes;
    std::string readError;
    // A missing file is an empty one; one that cannot be read is left alone.
    if (ReadWholeFile(file, bytes, &readError) == ReadOutcome::Unreadable) {
        if (error) *error = "cannot read " + file + ": " + readError;
        return false;
    }
    IniLines ini = splitLines(bytes);
    std::vector<std::string>& lines = ini.lines;

    // Locate the first section of that name: [begin, end) are its lines after the header.
    std::size_t begin = lines.size(), end = lines.size();
    bool found = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionOf(lines[i]);
        if (!name) continue;
        if (!found && EqualsIgnoreCaseGbk(*name, section)) {
            found = true;
            begin = i + 1;
        } else if (found) {
            end = i;
            break;
        }
    }
    if (!found) {
        lines.push_back("[" + std::string(section) + "]");
        begin = end = lines.size();
    }
    for (const auto& [key, value] : values) {
        const std::string line = key + "=" + clean(value);
        bool replaced = false;
        for (std::size_t i = begin; i < end; ++i) {
            std::string current;
            if (isKeyLine(lines[i], key, &current)) {
                // A key that already reads as the value keeps its line as written.
                if (current != clean(value)) lines[i] = line;
                replaced = true;
                break;
            }
        }
        if (replaced) continue;
        // New keys go after the section's last non-blank line, before the blank lines that
        // separate it from the next section.
        std::size_t at = end;
        while (at > begin && Trim(lines[at - 1]).empty()) --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
        ++end;
    }
    std::string out = ini.bom;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    // Rewriting a file to the same bytes costs two flushes and wears the disk for nothing.
    if (out == bytes && access == FileAccess::AsBefore) return true;
    return WriteFileAtomically(file, out, error, access);
}

}  // namespace pelvano::core
