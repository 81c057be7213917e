#pragma once
// Where the station's files live: every file sits under the application folder, as it always
// has, so a station's folder of schedules, settings, sounds and logs works beside the program.
#include <string>

namespace pelvano::core {

struct AppPaths {
    // Native path of the folder, with a trailing '/'.
    std::string applicationDir;

    // The folder of the running executable.
    static AppPaths ofExecutable();
    // A given station folder (a trailing '/' is added when missing).
    static AppPaths ofFolder(const std::string& folder);

    // A file of the folder as it exists: the exact name first, else the same name in another
    // letter case (files copied from Windows are often renamed so); the exact name when none is
    // there.
    std::string existingFile(const std::string& name) const;
    std::string settingsFile() const;         // "参数设置.INI", in any letter case
    std::string historyDir() const;           // "History/"
    std::string chimesDir() const;            // "报时文件/"
    std::string defaultScheduleFile() const;  // "节目表.JMB", in any letter case
    // Creates "History" (and its parents) when missing; true when it exists afterwards.
    bool ensureHistoryDir() const;
};

}  // namespace pelvano::core
