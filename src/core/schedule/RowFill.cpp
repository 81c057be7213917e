#include "core/schedule/RowFill.h"

#include <exception>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/TextHelpers.h"
#include "core/schedule/GridRows.h"
#include "core/schedule/ScheduleTable.h"

namespace pelvano::core {

std::string MeasureDuration(DurationMeasurer& measurer, const std::string& nativePath) {
    const long long ms = measurer.measureMs(nativePath);
    return Format("%.2lld:%.2lld:%.2lld", ms / 3600000, (ms / 60000) % 60, (ms / 1000) % 60);
}

bool FillRowFromFile(Grid& grid, int row, const std::string& storedPath, const StoredPathResolver& resolver,
                     DurationMeasurer& measurer, TagTextReader& tags) {
    const std::string nativePath = resolver.resolve(storedPath);
    try {
        grid.setCell(kColLength, row, MeasureDuration(measurer, nativePath));
    } catch (const std::exception&) {
        DeleteRow(grid, row);
        return false;
    }
    grid.setCell(kColFile, row, storedPath);
    grid.setCell(kColCross, row, {});
    grid.setCell(kColFadeIn, row, {});
    grid.setCell(kColFadeOut, row, {});
    const std::string baseName = BaseNameOf(storedPath);
    std::optional<TitleArtist> tag;
    if (FileExists(nativePath)) tag = tags.readTitleArtist(nativePath);
    if (tag) {
        const bool placeholder = tag->title.empty() || tag->title.rfind(Gbk("曲目"), 0) == 0;
        grid.setCell(kColTitle, row, placeholder ? baseName : tag->title);
        grid.setCell(kColArtist, row, tag->artist);
    } else {
        grid.setCell(kColTitle, row, baseName);
        grid.setCell(kColArtist, row, {});
    }
    return true;
}

}  // namespace pelvano::core
