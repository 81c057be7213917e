#pragma once
// The named temporary files of the atomic replace (AtomicFile.h) and their removal. A crash
// between creating such a name and renaming it over its target leaves it behind; it carries
// the writer's process id, so that a later start of the program, or the next replace in that
// folder, can tell a file whose writer is gone and remove it. Any thread.
#include <string>

namespace pelvano::core {

// target + ".tmp-" + this process's id + "-" + a counter: unique within the folder.
std::string TemporaryNameFor(const std::string& target);
// Removes the temporaries in folder whose writing process has ended; returns how many.
int RemoveLeftoverTemporaries(const std::string& folder);

}  // namespace pelvano::core
