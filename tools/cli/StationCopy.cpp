#include "StationCopy.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "core/app/TextHelpers.h"
#include "platform/lock/StationLock.h"

namespace pelvano::cli {

namespace fs = std::filesystem;

namespace {

fs::path newTemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "pelvano-simulate-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder in " +
                                 fs::temp_directory_path().string());
    return pattern;
}

bool isHistory(const fs::path& name) {
    return core::EqualsIgnoreCaseGbk(name.string(), "History");
}

}  // namespace

std::string CopyStationForSimulation(const std::string& folder) {
    const fs::path source = fs::absolute(folder);
    const fs::path copy = newTemporaryFolder() / "station";
    fs::create_directory(copy);
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
        const fs::path name = entry.path().filename();
        if (name == platform::kStationLockFileName) continue;
        if (entry.is_directory() && !isHistory(name))
            fs::create_directory_symlink(entry.path(), copy / name);
        else
            fs::copy(entry.path(), copy / name, fs::copy_options::recursive);
    }
    return copy.string();
}

}  // namespace pelvano::cli
