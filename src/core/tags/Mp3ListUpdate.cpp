#include "core/tags/Mp3ListUpdate.h"

#include <sys/stat.h>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/ports/EventPump.h"
#include "core/tags/Mp3ListFile.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

namespace {

// Why a file must not even be read, from its permission bits: the owner's marks count even for
// a tool that could override them. A file marked read-only is refused by the rewrite itself.
std::string refusal(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Gbk("无法打开文件");
    if ((st.st_mode & S_IRUSR) == 0) return Gbk("文件不可读");
    return {};
}

}  // namespace

TagUpdateResult Mp3ListUpdater::updateFile(const std::string& path, const std::string& title,
                                           const std::string& artist, const std::string& album) {
    TagUpdateResult result;
    if (path.empty() || !FileExists(path)) return result;
    const std::string stored = StoredFormOfNativePath(path);
    if (std::string why = refusal(path); !why.empty()) {
        result.problem = why + Gbk("，未修改: ") + stored;
        return result;
    }
    try {
        tag_.ReadFromFile(path);
        tag_.Title = title;
        tag_.Artist = artist;
        tag_.Album = album;
        const TagSaveResult saved = tag_.SaveToFile(path, true);
        result.written = saved.replaced;
        if (!saved.replaced) result.problem = saved.message;
    } catch (const TagFileError& e) {
        result.problem = Gbk("未修改: ") + stored + " (" + Utf8ToGbk(e.what()) + ")";
    }
    return result;
}

TagUpdateResult Mp3ListUpdater::UpdateRow(int row, const std::string& album,
                                          const std::string& artist) {
    TagUpdateResult result =
        updateFile(list_.fileOf(row), list_.sgSong.cell(kListColTitle, row), artist, album);
    if (pump_) pump_->processPendingEvents();
    return result;
}

int Mp3ListUpdater::RunBatch(const std::string& album, const std::string& artist,
                             Mp3BatchView& view) {
    struct Finish {
        Mp3ListUpdater& self;
        ~Finish() {
            self.BatchStop = true;
            self.running_ = false;
        }
    } finish{*this};
    BatchStop = false;
    running_ = true;
    int written = 0;
    const Grid& grid = list_.sgSong;
    for (int row = 1; row < grid.rowCount() && !BatchStop; ++row) {
        if (pump_) pump_->processPendingEvents();
        if (BatchStop) break;  // stopped while the events ran: this row stays untouched
        const std::string& rowArtist = grid.cell(kListColArtist, row);
        const TagUpdateResult result = updateFile(list_.fileOf(row), grid.cell(kListColTitle, row),
                                                  rowArtist.empty() ? artist : rowArtist, album);
        if (result.written) ++written;
        if (!result.problem.empty()) view.batchReport(result.problem);
        if (pump_) pump_->processPendingEvents();
        view.batchProgress(row, grid.dataRowCount());
    }
    return written;
}

}  // namespace pelvano::core
