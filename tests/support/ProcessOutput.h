#pragma once
// What a shell command prints on its standard output (empty when it cannot be started): the
// tests read other tools' view of our files through it.
#include <cstdio>
#include <string>

namespace pelvano::test {

inline std::string RunOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

}  // namespace pelvano::test
