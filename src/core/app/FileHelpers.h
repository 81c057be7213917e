#pragma once
// The two small file helpers of the station and the folder listing. Paths are native (UTF-8)
// paths. UI thread.
#include <string>
#include <string_view>
#include <vector>

namespace pelvano::core {

// Appends line + CR LF, creating the file when missing, in one write: the line is in the file
// whole or not at all (what a full disk let through is cut off again). A file whose last line
// has no end (cut by a crash or an older writer) gets one first, so no line sticks to it. False
// with the reason in *error.
bool AppendTextLine(const std::string& path, std::string_view line, std::string* error = nullptr);
// Deletes the file when it exists, even when it is read-only.
void ForceDeleteFile(const std::string& path);
// The names (without folder) of the entries of folder whose extension equals ext, compared
// without letter case; folders included; sorted by name.
std::vector<std::string> ListFilesByExt(const std::string& folder, std::string_view ext);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder and any missing parents. True when it exists afterwards.
bool ForceDirectories(const std::string& path);
// The last path component (either separator; GBK or UTF-8), and that name cut at its first '.'.
std::string FileNameOf(std::string_view path);
std::string BaseNameOf(std::string_view path);
// The folder part of a native path without its trailing '/': "." when there is none.
std::string FolderOf(const std::string& path);
// ".EXT" of the file name, as written (empty when none).
std::string ExtensionOf(std::string_view path);

}  // namespace pelvano::core
