#include "core/schedule/StreamSettings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

constexpr const char* kSection = "Stream";

constexpr const char* kKeys[] = {"Enabled", "Host", "Port",  "Mount",       "User", "Password",
                                 "Format",  "Bitrate", "Name", "Genre", "Description", "TLS"};
constexpr std::size_t kKeyCount = std::size(kKeys);

bool isKnownFormat(const std::string& format) {
    return format == "mp3" || format == "ogg" || format == "opus";
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

constexpr std::pair<StreamTls, const char*> kTlsModes[] = {
    {StreamTls::Auto, "AUTO"}, {StreamTls::Required, "REQUIRED"}, {StreamTls::No, "NO"}};

const char* tlsText(StreamTls mode) {
    for (const auto& [m, text] : kTlsModes)
        if (m == mode) return text;
    return "AUTO";
}

StreamTls tlsFromText(const std::string& text, StreamTls fallback) {
    for (const auto& [m, name] : kTlsModes)
        if (lowerAscii(text) == lowerAscii(name)) return m;
    return fallback;
}

// A value the file keeps one line; a line break would split it.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

// The INI reader drops trailing blanks and one pair of enclosing quotes: such a value is
// written inside quotes so that it reads back as it was.
std::string quotedIfNeeded(const std::string& value) {
    if (value.empty()) return value;
    const bool trailingBlank = static_cast<unsigned char>(value.back()) <= 0x20;
    const bool enclosed = value.size() >= 2 && value.front() == value.back() &&
                          (value.front() == '"' || value.front() == '\'');
    return trailingBlank || enclosed ? "\"" + value + "\"" : value;
}

// The GBK texts of the keys, in kKeys order.
std::array<std::string, kKeyCount> storedTexts(const StreamSettings& s) {
    const auto text = [](const std::string& utf8) { return quotedIfNeeded(Utf8ToGbk(utf8)); };
    return {
        YesNo(s.Enabled),   text(s.Host), std::to_string(s.Port),    text(s.Mount), text(s.User),
        text(s.Password),   s.Format,     std::to_string(s.Bitrate), text(s.Name),  text(s.Genre),
        text(s.Description), tlsText(s.TLS)};
}

}  // namespace

StreamSettings ValidStreamSettings(StreamSettings s) {
    const StreamSettings defaults;
    for (std::string* text :
         {&s.Host, &s.Mount, &s.User, &s.Password, &s.Name, &s.Genre, &s.Description}) {
        *text = oneLine(std::move(*text));
    }
    s.Host = Trim(s.Host);
    s.Mount = Trim(s.Mount);
    if (s.Host.empty()) s.Host = defaults.Host;
    if (s.User.empty()) s.User = defaults.User;
    if (s.Port < 1 || s.Port > 65535) s.Port = defaults.Port;
    if (s.Bitrate < StreamSettings::kMinBitrate || s.Bitrate > StreamSettings::kMaxBitrate)
        s.Bitrate = defaults.Bitrate;
    s.Format = lowerAscii(Trim(s.Format));
    if (!isKnownFormat(s.Format)) s.Format = defaults.Format;
    if (s.Mount.empty()) s.Mount = defaults.Mount;
    if (s.Mount.front() != '/') s.Mount = "/" + s.Mount;
    return s;
}

StreamSettings LoadStreamSettings(const std::string& settingsFile) {
    StreamSettings s;
    const auto read = [&](const char* key, std::string& utf8) {
        utf8 = GbkToUtf8(IniReadDef(settingsFile, kSection, key, Utf8ToGbk(utf8)));
    };
    const auto readInt = [&](const char* key, int& value) {
        value = StrToIntDef(IniRead(settingsFile, kSection, key), value);
    };
    const std::string enabled = IniRead(settingsFile, kSection, "Enabled");
    s.Enabled = IsYes(enabled);
    read("Host", s.Host);
    readInt("Port", s.Port);
    read("Mount", s.Mount);
    read("User", s.User);
    read("Password", s.Password);
    read("Format", s.Format);
    readInt("Bitrate", s.Bitrate);
    read("Name", s.Name);
    read("Genre", s.Genre);
    read("Description", s.Description);
    s.TLS = tlsFromText(Trim(IniRead(settingsFile, kSection, "TLS")), s.TLS);
    return ValidStreamSettings(std::move(s));
}

bool SaveStreamSettings(const std::string& settingsFile, const StreamSettings& settings) {
    const std::array<std::string, kKeyCount> stored = storedTexts(LoadStreamSettings(settingsFile));
    const std::array<std::string, kKeyCount> wanted = storedTexts(ValidStreamSettings(settings));
    std::vector<std::pair<std::string, std::string>> changed;
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (stored[i] != wanted[i]) changed.emplace_back(kKeys[i], wanted[i]);
    }
    return changed.empty() || IniWriteMany(settingsFile, kSection, changed);
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Four dot-separated numbers: an IPv4 address, each part at most 255.
bool isDottedQuad(const std::string& host, bool& valid) {
    int parts = 0;
    valid = true;
    for (std::size_t at = 0; at <= host.size(); ++parts) {
        const std::size_t dot = std::min(host.find('.', at), host.size());
        const std::string part = host.substr(at, dot - at);
        if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), isDigit))
            return false;
        valid = valid && std::stoi(part) <= 255;
        at = dot + 1;
    }
    return parts == 4;
}

}  // namespace

std::string StreamHostProblem(const std::string& text) {
    const std::string host = Trim(text);
    if (host.empty()) return "服务器地址不能为空";
    if (std::all_of(host.begin(), host.end(), isDigit))
        return "服务器地址不能只是一个数字（端口请填在“端口”栏）";
    if (host.find("://") != std::string::npos || host.find('/') != std::string::npos)
        return "服务器地址只填主机名或IP地址，不含“http://”和路径";
    bool validQuad = true;
    if (isDottedQuad(host, validQuad) && !validQuad) return "服务器IP地址无效";
    const std::size_t colons = static_cast<std::size_t>(std::count(host.begin(), host.end(), ':'));
    if (colons == 1) return "服务器地址不含端口（端口请填在“端口”栏）";
    for (const char c : host) {
        const auto u = static_cast<unsigned char>(c);
        const bool allowed = u >= 0x80 || std::isalnum(u) || c == '.' || c == '-' || c == '_' ||
                              (colons > 1 && (c == ':' || c == '[' || c == ']'));
        if (!allowed) return "服务器地址含无效字符";
    }
    if (host.front() == '.' || host.front() == '-' || host.find("..") != std::string::npos)
        return "服务器地址无效";
    return "";
}

}  // namespace pelvano::core
