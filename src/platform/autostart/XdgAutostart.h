#pragma once
// Start at log-on through a desktop entry in the XDG autostart folder
// ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart). UI thread.
#include <string>

#include "core/ports/Autostart.h"

namespace pelvano::platform {

class XdgAutostart final : public core::Autostart {
  public:
    // folder empty: the user's autostart folder. stationFolder not empty: the entry starts the
    // program with it as its one argument, so a station kept apart from the program starts too.
    explicit XdgAutostart(std::string folder = {}, std::string stationFolder = {});
    bool isEnabled(const std::string& executablePath) const override;
    bool setEnabled(bool enabled, const std::string& executablePath) override;
    std::string entryPath() const { return folder_ + "/pelvano.desktop"; }

    static std::string userFolder();

  private:
    std::string execLine(const std::string& executablePath) const;

    std::string folder_;
    std::string stationFolder_;
};

}  // namespace pelvano::platform
