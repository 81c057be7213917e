#include "core/schedule/RemoteSettings.h"

#include <array>
#include <utility>
#include <vector>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

constexpr const char* kSection = "Remote";
constexpr const char* kKeys[] = {"Enabled",  "Bind",         "Port",     "User",    "PasswordHash",
                                 "PublicStatus", "CertFile", "KeyFile", "MetricsToken"};
constexpr std::size_t kKeyCount = std::size(kKeys);

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return Trim(text);
}

RemoteSettings valid(RemoteSettings s) {
    const RemoteSettings defaults;
    for (std::string* text :
         {&s.Bind, &s.User, &s.PasswordHash, &s.CertFile, &s.KeyFile, &s.MetricsToken}) {
        *text = oneLine(std::move(*text));
    }
    if (s.Bind.empty()) s.Bind = defaults.Bind;
    if (s.Port < 1 || s.Port > 65535) s.Port = defaults.Port;
    return s;
}

std::array<std::string, kKeyCount> storedTexts(const RemoteSettings& s) {
    return {YesNo(s.Enabled),     Utf8ToGbk(s.Bind),    std::to_string(s.Port),
            Utf8ToGbk(s.User),    s.PasswordHash,       YesNo(s.PublicStatus),
            Utf8ToGbk(s.CertFile), Utf8ToGbk(s.KeyFile), s.MetricsToken};
}

}  // namespace

bool RemoteSettings::loopback() const {
    return Bind == "localhost" || Bind == "::1" || Bind.rfind("127.", 0) == 0;
}

RemoteSettings LoadRemoteSettings(const std::string& file) {
    RemoteSettings s;
    const auto text = [&](const char* key, std::string& utf8) {
        utf8 = GbkToUtf8(IniReadDef(file, kSection, key, Utf8ToGbk(utf8)));
    };
    s.Enabled = IsYes(IniRead(file, kSection, "Enabled"));
    text("Bind", s.Bind);
    s.Port = StrToIntDef(IniRead(file, kSection, "Port"), s.Port);
    text("User", s.User);
    text("PasswordHash", s.PasswordHash);
    s.PublicStatus = IsYes(IniRead(file, kSection, "PublicStatus"));
    text("CertFile", s.CertFile);
    text("KeyFile", s.KeyFile);
    text("MetricsToken", s.MetricsToken);
    return valid(std::move(s));
}

bool SaveRemoteSettings(const std::string& file, const RemoteSettings& settings) {
    const auto stored = storedTexts(LoadRemoteSettings(file));
    const auto wanted = storedTexts(valid(settings));
    std::vector<std::pair<std::string, std::string>> changed;
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (stored[i] != wanted[i]) changed.emplace_back(kKeys[i], wanted[i]);
    }
    const bool secret = !settings.PasswordHash.empty() || !settings.MetricsToken.empty();
    return changed.empty() ||
           IniWriteMany(file, kSection, changed, nullptr,
                        secret ? FileAccess::OwnerOnly : FileAccess::AsBefore);
}

}  // namespace pelvano::core
