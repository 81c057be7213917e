#include "platform/autostart/XdgAutostart.h"

#include <cstdio>
#include <cstdlib>

#include "core/app/AtomicFile.h"
#include "core/app/FileHelpers.h"

namespace pelvano::platform {

namespace {

// The Exec value of the desktop entry format: the path quoted, with its reserved characters
// escaped, so a path with blanks still starts the program.
std::string execValue(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string XdgAutostart::userFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        return std::string(config) + "/autostart";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/autostart";
}

XdgAutostart::XdgAutostart(std::string folder, std::string stationFolder)
    : folder_(folder.empty() ? userFolder() : std::move(folder)),
      stationFolder_(std::move(stationFolder)) {}

std::string XdgAutostart::execLine(const std::string& executablePath) const {
    std::string line = "Exec=" + execValue(executablePath);
    if (!stationFolder_.empty()) line += " " + execValue(stationFolder_);
    return line + "\n";
}

bool XdgAutostart::isEnabled(const std::string& executablePath) const {
    std::string bytes;
    if (!core::ReadFileBytes(entryPath(), bytes)) return false;
    return bytes.find("\n" + execLine(executablePath)) != std::string::npos;
}

bool XdgAutostart::setEnabled(bool enabled, const std::string& executablePath) {
    if (!enabled) {
        if (!core::FileExists(entryPath())) return true;
        return std::remove(entryPath().c_str()) == 0;
    }
    if (!core::ForceDirectories(folder_)) return false;
    const std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Pelvano\n" +
        execLine(executablePath) + "X-GNOME-Autostart-enabled=true\n";
    return core::WriteFileAtomically(entryPath(), entry);
}

}  // namespace pelvano::platform
