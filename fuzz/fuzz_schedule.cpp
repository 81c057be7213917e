// The schedule file reader on any bytes: the grid, its estimates and timed rows, and the
// line scrambling and TSV forms it rests on.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/schedule/ScheduleFile.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/ScheduleTsv.h"
#include "support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelvano::core;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (UnscrambleLine(ScrambleLine(bytes)) != bytes) __builtin_trap();

    ScheduleTable table;
    LoadSchedule(pelvano::fuzz::InputAsFile(data, size), table.sgJM, {});
    PrepareScheduleGrid(table.sgJM);
    RecomputeEstimates(table, 3);
    for (const TimedStart& t : table.TimedStartList) {
        if (t.row < 1 || t.row >= table.sgJM.rowCount() || t.startSecond < 0 ||
            t.startSecond >= 86400)
            __builtin_trap();
    }

    std::vector<std::string> warnings;
    const std::string tsv = ScheduleFileToTsv(bytes, &warnings);
    const std::string back = TsvToScheduleFile(tsv);
    // Without warnings every line comes back byte for byte (line ends become CR LF).
    if (warnings.empty() && ScheduleFileToTsv(back) != tsv) __builtin_trap();
    return 0;
}
