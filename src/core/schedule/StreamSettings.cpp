#include "core/schedule/StreamSettings.h"

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"

namespace pelvano::core {

namespace {
constexpr const char* kSection = "Stream";

std::string text(const std::string& file, const char* key, const std::string& def) {
    return GbkToUtf8(IniReadIfPresent(file, kSection, key, Utf8ToGbk(def)));
}
int number(const std::string& file, const char* key, int def) {
    try {
        return std::stoi(IniReadDef(file, kSection, key, std::to_string(def)));
    } catch (const std::exception&) {
        return def;
    }
}
}  // namespace

StreamSettings LoadStreamSettings(const std::string& settingsFile) {
    StreamSettings s;
    s.Enabled = IniReadDef(settingsFile, kSection, "Enabled", "NO") == "YES";
    s.Host = text(settingsFile, "Host", s.Host);
    s.Port = number(settingsFile, "Port", s.Port);
    s.Mount = text(settingsFile, "Mount", s.Mount);
    s.User = text(settingsFile, "User", s.User);
    s.Password = text(settingsFile, "Password", s.Password);
    s.Format = text(settingsFile, "Format", s.Format);
    s.Bitrate = number(settingsFile, "Bitrate", s.Bitrate);
    s.Name = text(settingsFile, "Name", s.Name);
    s.Genre = text(settingsFile, "Genre", s.Genre);
    s.Description = text(settingsFile, "Description", s.Description);
    return s;
}

bool SaveStreamSettings(const std::string& settingsFile, const StreamSettings& s) {
    return IniWriteMany(settingsFile, kSection,
                        {{"Enabled", s.Enabled ? "YES" : "NO"},
                         {"Host", Utf8ToGbk(s.Host)},
                         {"Port", std::to_string(s.Port)},
                         {"Mount", Utf8ToGbk(s.Mount)},
                         {"User", Utf8ToGbk(s.User)},
                         {"Password", Utf8ToGbk(s.Password)},
                         {"Format", Utf8ToGbk(s.Format)},
                         {"Bitrate", std::to_string(s.Bitrate)},
                         {"Name", Utf8ToGbk(s.Name)},
                         {"Genre", Utf8ToGbk(s.Genre)},
                         {"Description", Utf8ToGbk(s.Description)}});
}

}  // namespace pelvano::core
