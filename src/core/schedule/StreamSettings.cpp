#include "core/schedule/StreamSettings.h"

#include <array>
#include <utility>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

constexpr const char* kSection = "Stream";

constexpr const char* kKeys[] = {"Enabled", "Host",    "Port", "Mount", "User",       "Password",
                                 "Format",  "Bitrate", "Name", "Genre", "Description"};
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
        text(s.Description)};
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
    return ValidStreamSettings(std::move(s));
}

bool SaveStreamSettings(const std::string& settingsFile, const StreamSettings& settings) {
    const std::array<std::string, kKeyCount> stored = storedTexts(LoadStreamSettings(settingsFile));
    const std::array<std::string, kKeyCount> wanted = storedTexts(ValidStreamSettings(settings));
    std::vector<std::pair<std::string, std::string>> changed;
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (stored[i] != wanted[i]) changed.emplace_back(kKeys[i], wanted[i]);
    }
    // A password must not be readable by other users of the machine.
    const FileAccess access =
        settings.Password.empty() ? FileAccess::AsBefore : FileAccess::OwnerOnly;
    return changed.empty() || IniWriteMany(settingsFile, kSection, changed, nullptr, access);
}

}  // namespace pelvano::core
