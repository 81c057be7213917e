#include "StationCopy.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
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

// A LastJMFile in the original folder becomes the same file in the copy.
void pointResumeKeysAtCopy(const fs::path& source, const fs::path& copy) {
    const std::string settings = core::AppPaths::ofFolder(copy.string()).settingsFile();
    const fs::path stored = core::GbkToUtf8(core::IniRead(settings, "START", "LastJMFile"));
    std::error_code ignored;
    if (stored.empty() || !fs::equivalent(stored.parent_path(), source, ignored)) return;
    core::IniWrite(settings, "START", "LastJMFile",
                   core::Utf8ToGbk((copy / stored.filename()).string()));
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
    pointResumeKeysAtCopy(source, copy);
    return copy.string();
}

}  // namespace pelvano::cli
