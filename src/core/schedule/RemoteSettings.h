#pragma once
// The remote control's settings: section "Remote" of the station's settings file. The password
// is kept only as a salted hash (made by the platform's password hashing); the texts are UTF-8.
// Loading never writes; a save rewrites only the keys whose value changed. Any thread that owns
// the value; the file functions on the UI thread.
#include <string>

namespace pelvano::core {

struct RemoteSettings {
    bool Enabled = false;
    std::string Bind = "127.0.0.1";
    int Port = 8090;
    std::string User;
    std::string PasswordHash;
    bool PublicStatus = false;
    std::string CertFile;  // both set: HTTPS
    std::string KeyFile;
    std::string MetricsToken;  // "": /metrics takes no bearer token

    bool operator==(const RemoteSettings&) const = default;
    bool tls() const { return !CertFile.empty() && !KeyFile.empty(); }
    // A loopback address: only programs of this machine reach the server.
    bool loopback() const;
};

// Missing keys, an empty bind address and a port outside 1..65535 read as the defaults.
RemoteSettings LoadRemoteSettings(const std::string& settingsFile);
// Writes the changed keys in one atomic rewrite, readable by the owner only when a hash or a
// token is stored. False when the file could not be rewritten; it is then unchanged.
bool SaveRemoteSettings(const std::string& settingsFile, const RemoteSettings& settings);

}  // namespace pelvano::core
