#pragma once
// The internet stream's settings: section "Stream" of the station's settings file. The file
// holds GBK like every other section; the texts here are UTF-8 (the encoder, the server and Qt
// take UTF-8). Loading never writes; a save rewrites only the keys whose value changed, so a
// settings file without the section keeps its bytes until the operator changes something.
// Any thread that owns the value; the file functions on the UI thread.
#include <string>

namespace pelvano::core {

// How the connection to the server is protected. Auto: libshout's own choice (TLS where the
// server offers it, else plain); Required: no connection without TLS, so the password never
// crosses the network in clear; No: plain always. Stored as AUTO, REQUIRED, NO.
enum class StreamTls { Auto, Required, No };

struct StreamSettings {
    static constexpr int kMinBitrate = 8;  // kbit/s
    static constexpr int kMaxBitrate = 320;

    bool Enabled = false;
    std::string Host = "127.0.0.1";
    int Port = 8000;
    std::string Mount = "/pelvano.mp3";  // always starts with "/"
    std::string User = "source";
    std::string Password;
    std::string Format = "mp3";  // "mp3", "ogg" or "opus"
    int Bitrate = 128;           // kbit/s
    std::string Name, Genre, Description;
    StreamTls TLS = StreamTls::Auto;

    bool operator==(const StreamSettings&) const = default;
};

// The section of a settings file (native path). Missing keys, an empty host, user or mount,
// a port outside 1..65535, a bitrate outside kMinBitrate..kMaxBitrate, an unknown format and
// an unknown TLS mode read as the defaults; the format and TLS mode are taken in any letter case; a mount without its leading
// "/" gets one. Never writes.
StreamSettings LoadStreamSettings(const std::string& settingsFile);
// Writes the keys whose stored text differs from the settings' (a missing key whose value is
// the default is not added), in one atomic rewrite. The values are first made valid as on
// load. False when the file could not be rewritten; it is then unchanged.
bool SaveStreamSettings(const std::string& settingsFile, const StreamSettings& settings);

// The settings as a load would return them: every value valid.
StreamSettings ValidStreamSettings(StreamSettings settings);

// Why the host text cannot name a server ("" when it can; blanks around it do not count):
// empty, blanks or other characters no host name holds, a URL or path instead of a name, or a number alone (a port typed into
// the host field). Chinese, for the operator.
std::string StreamHostProblem(const std::string& host);

}  // namespace pelvano::core
