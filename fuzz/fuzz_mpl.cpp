// The .mpl list on any bytes: loading never fails and gives the list's five columns; what was
// loaded, saved and loaded again has the same rows.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/schedule/Grid.h"
#include "core/tags/Mp3ListFile.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelvano::core;
    static const std::string folder = [] {
        std::string f = "/dev/shm/pelvano-fuzz-mpl-" + std::to_string(getpid());
        ::mkdir(f.c_str(), 0700);
        return f;
    }();
    Grid grid;
    LoadList(pelvano::fuzz::InputAsFile(data, size), grid);
    if (grid.colCount() != 5 || grid.rowCount() < 2) __builtin_trap();
    const std::string saved = folder + "/list.mpl";
    if (!SaveList(saved, grid)) __builtin_trap();
    Grid again;
    LoadList(saved, again);
    if (again.rowCount() != grid.rowCount()) __builtin_trap();
    return 0;
}
