// pelvano-cli: the station's core without windows. Each command lives in its own file.
#include <exception>
#include <iostream>
#include <map>

#include "CliCommand.h"

namespace pelvano::cli {

namespace {

struct Command {
    std::string usage;
    CommandFn run;
};

std::map<std::string, Command>& registry() {
    static std::map<std::string, Command> commands;
    return commands;
}

void printUsage(std::ostream& out) {
    out << "usage: pelvano-cli COMMAND ...\n";
    for (const auto& [name, command] : registry()) out << "  " << command.usage << "\n";
    out << "  --help                   this list\n"
        << "  --version                the version of Pelvano\n";
}

}  // namespace

CliRegistration::CliRegistration(std::string name, std::string usage, CommandFn run) {
    registry()[std::move(name)] = Command{std::move(usage), std::move(run)};
}

int usageError(const std::string& message) {
    std::cerr << "pelvano-cli: " << message << "\n";
    return 2;
}

int failure(const std::string& message) {
    std::cerr << "pelvano-cli: " << message << "\n";
    return 1;
}

}  // namespace pelvano::cli

int main(int argc, char** argv) {
    using namespace pelvano::cli;
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "help") {
        printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    if (std::string(argv[1]) == "--version") {
        std::cout << "pelvano-cli " PELVANO_VERSION "\n";
        return 0;
    }
    auto it = registry().find(argv[1]);
    if (it == registry().end()) return usageError(std::string("unknown command: ") + argv[1]);
    try {
        return it->second.run(Args(argv + 2, argv + argc));
    } catch (const std::exception& e) {
        return failure(e.what());
    }
}
