#pragma once
// The commands of pelvano-cli register themselves: each command file defines one
// CliRegistration, so adding a command touches no shared table.
#include <functional>
#include <string>
#include <vector>

namespace pelvano::cli {

using Args = std::vector<std::string>;
// Runs a command with the arguments after its name; returns the exit status.
using CommandFn = std::function<int(const Args&)>;

struct CliRegistration {
    CliRegistration(std::string name, std::string usage, CommandFn run);
};

// A one-line error on stderr and the exit status 2 (bad arguments) or 1 (failure).
int usageError(const std::string& message);
int failure(const std::string& message);

}  // namespace pelvano::cli
