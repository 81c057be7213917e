#pragma once
// A working copy of a station folder, for simulating a station that is on air without touching
// its files or its lock: the folder's own files and its History are copied (a simulation
// rewrites and appends to them); the other sub-folders (the sounds, which it only reads) are
// linked, so a station of many gigabytes copies in a moment. The stored schedule of the resume
// keys names the copy's, so the copy starts where the folder would.
#include <string>

namespace pelvano::cli {

// Creates the copy in a new temporary folder and returns its path; throws on failure.
std::string CopyStationForSimulation(const std::string& folder);

}  // namespace pelvano::cli
