#include "core/playout/ScheduleCommands.h"

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/audio/TMyDelay.h"
#include "core/playout/Station.h"
#include "core/ports/Clock.h"
#include "core/schedule/RowFill.h"
#include "core/schedule/ScheduleEdits.h"

namespace pelvano::core {

namespace {
constexpr std::uint32_t kBarPauseMs = 500;
}  // namespace

ScheduleCommands::ScheduleCommands(Station& station)
    : station_(station), sg_(kScheduleColumns, 2) {}

std::vector<std::string> ScheduleCommands::ScheduleFileNames() const {
    return ListFilesByExt(station_.paths().applicationDir, "JMB");
}

void ScheduleCommands::Open(const std::string& chosenPath) {
    station_.OpenSchedule(WithJmbExtension(chosenPath));
}

void ScheduleCommands::Reload(const std::string& entry) {
    if (entry.empty()) return;
    station_.OpenSchedule(station_.paths().applicationDir + entry);
}

SaveResult ScheduleCommands::Save(ScheduleProgressView* progress) {
    ScheduleTable& table = station_.table();
    const SaveResult result =
        SaveSchedule(table.CurrentSchedulePath, table.sgJM, station_.scheduleIoOptions(progress));
    RecomputeEstimates(table, station_.settings().spOver(), station_.cuedRowSeconds());
    station_.delay().Delay(kBarPauseMs);
    station_.writeResumeKeys();
    return result;
}

SaveResult ScheduleCommands::SaveAs(const std::string& chosenPath, ScheduleProgressView* progress) {
    const std::string path = WithJmbExtension(chosenPath);
    ScheduleTable& table = station_.table();
    const SaveResult result = SaveSchedule(path, table.sgJM, station_.scheduleIoOptions(progress));
    if (result.ok) station_.OpenSchedule(path);
    return result;
}

std::string ScheduleCommands::SaveAsProposal() const {
    return core::SaveAsProposal(station_.paths(), station_.clock().now());
}

void ScheduleCommands::Combine(const std::string& path) {
    ScheduleIoOptions options = station_.scheduleIoOptions();
    options.settingsFile.clear();  // the buffer has no layout of its own
    options.holder = nullptr;
    LoadSchedule(WithJmbExtension(path), sg_, options);
    AppendSchedule(station_.table(), sg_);
}

int ScheduleCommands::InsertFiles(int row, const std::vector<std::string>& nativePaths) {
    std::vector<std::string> stored;
    stored.reserve(nativePaths.size());
    for (const std::string& path : nativePaths) stored.push_back(StoredFormOfNativePath(path));
    const RowFiller fill = [this](Grid& grid, int r, const std::string& storedPath) {
        return FillRowFromFile(grid, r, storedPath, station_.resolver(), station_.measurer(),
                               tags_);
    };
    return core::InsertFiles(station_.table(), row, stored, fill, station_.pump());
}

bool ScheduleCommands::DropFiles(int row, const std::vector<std::string>& names,
                                 ScheduleProgressView* progress, SaveResult* saved) {
    if (row <= 0) return false;
    InsertFiles(row, CollectDroppedFiles(names, station_.pump()));
    const SaveResult result = Save(progress);
    if (saved) *saved = result;
    return true;
}

void ScheduleCommands::DoubleClick() {
    station_.items().FadeOutCurrentItem();
    station_.items().btnPlayClick();
}

}  // namespace pelvano::core
