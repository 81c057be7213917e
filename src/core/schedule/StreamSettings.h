#pragma once
// The [Stream] section of the station's settings file: where and how the station's mix is
// sent to an Icecast server. Texts are UTF-8 in memory. UI thread.
#include <string>

namespace pelvano::core {

struct StreamSettings {
    bool Enabled = false;
    std::string Host = "127.0.0.1";
    int Port = 8000;
    std::string Mount = "/pelvano.mp3";
    std::string User = "source";
    std::string Password;
    std::string Format = "mp3";  // mp3|ogg|opus
    int Bitrate = 128;
    std::string Name, Genre, Description;
};

StreamSettings LoadStreamSettings(const std::string& settingsFile);
bool SaveStreamSettings(const std::string& settingsFile, const StreamSettings& settings);

}  // namespace pelvano::core
