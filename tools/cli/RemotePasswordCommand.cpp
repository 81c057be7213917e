// pelvano-cli remote password DIR USER PASSWORD: the remote control's login for a station
// without windows. Only the salted hash is stored; the password is never written or printed.
#include <iostream>

#include "CliCommand.h"
#include "core/app/AppPaths.h"
#include "core/app/FileHelpers.h"
#include "core/schedule/RemoteSettings.h"
#include "platform/remote/PasswordHash.h"

namespace pelvano::cli {

namespace {

using namespace pelvano::core;

int remote(const Args& args) {
    if (args.size() != 4 || args[0] != "password")
        return usageError("usage: remote password DIR USER PASSWORD");
    const std::string& dir = args[1];
    if (!DirectoryExists(dir)) return failure("not a folder: " + dir);
    if (args[2].empty() || args[3].empty()) return usageError("the user and the password must not be empty");
    const std::string file = AppPaths::ofFolder(dir).settingsFile();
    RemoteSettings settings = LoadRemoteSettings(file);
    settings.User = args[2];
    settings.PasswordHash = platform::HashPassword(args[3]);
    if (!SaveRemoteSettings(file, settings)) return failure("cannot write " + file);
    std::cout << "remote login set for " << settings.User << "\n";
    return 0;
}

const CliRegistration kRegistration("remote", "remote password DIR USER PASSWORD", remote);

}  // namespace

}  // namespace pelvano::cli
