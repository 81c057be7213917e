// The INI file on any bytes: reading, then a write into it, after which the value written
// reads back and a key of another section reads as before.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/app/AtomicFile.h"
#include "core/app/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelvano::core;
    // A folder in memory: every input is written and replaced there.
    static const std::string folder = [] {
        std::string f = "/dev/shm/pelvano-fuzz-ini-" + std::to_string(getpid());
        ::mkdir(f.c_str(), 0700);
        return f;
    }();
    const std::string file = folder + "/参数设置.INI";
    if (!WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(data), size)))
        __builtin_trap();
    const std::string other = IniReadDef(file, "Other", "key", "(none)");
    IniReadIfPresent(file, "START", "LastJMPos", "1");
    if (!IniWrite(file, "START", "spOver", "42")) __builtin_trap();
    if (IniRead(file, "START", "spOver") != "42") __builtin_trap();
    if (IniReadDef(file, "Other", "key", "(none)") != other) __builtin_trap();
    return 0;
}
