#pragma once
// Turns a media path as a schedule, list or setting stores it (GBK, perhaps written on Windows:
// "D:\MUSIC\A.MP3", upper-cased) into a native path that exists here:
//  - GBK to UTF-8, '\' to '/';
//  - a relative path is taken against the application folder;
//  - a Windows drive prefix "X:" is looked up under the drive root, first as a folder named by
//    the letter ("<root>/D/MUSIC/A.MP3"), then without it ("<root>/MUSIC/A.MP3");
//  - where the exact path does not exist, each component is matched as UTF-8 or as its GBK
//    bytes (names copied from Windows without conversion), and without letter case.
// The drive root is the settings key [Linux] DriveRoot (relative to the application folder;
// the application folder itself when missing). UI thread or any single thread.
#include <string>
#include <string_view>

namespace pelvano::core {

class StoredPathResolver {
public:
    StoredPathResolver(std::string applicationDir, std::string driveRoot);
    // Reads the drive root from the settings file.
    static StoredPathResolver fromSettings(const std::string& applicationDir, const std::string& settingsFile);

    // The native path; when nothing matches, the first candidate as written.
    std::string resolve(std::string_view stored) const;
    const std::string& driveRoot() const { return driveRoot_; }

private:
    std::string applicationDir_;
    std::string driveRoot_;
};

// The existing path that matches path component by component without letter case, or empty.
// A component matches as written or, where it is UTF-8, as its GBK bytes too.
std::string MatchPathIgnoringCase(const std::string& path);

}  // namespace pelvano::core
