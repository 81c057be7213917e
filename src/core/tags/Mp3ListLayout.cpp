#include "core/tags/Mp3ListLayout.h"

#include <utility>
#include <vector>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

const std::string& gridSection() {
    return Gbk("播出表");
}
const std::string& windowSection() {
    return Gbk("播出表2");
}

std::string colWidthKey(int col) {
    return Gbk("每列宽度ColWidth-") + std::to_string(col);
}

int readInt(const std::string& file, const std::string& section, const std::string& key, int def) {
    return StrToIntDef(IniRead(file, section, key), def);
}

}  // namespace

void ReadListColumnWidths(const std::string& settingsFile, Grid& grid) {
    for (int col = 0; col < grid.colCount(); ++col)
        grid.setColWidth(
            col, readInt(settingsFile, gridSection(), colWidthKey(col), grid.colWidth(col)));
}

bool WriteListColumnWidths(const std::string& settingsFile, const Grid& grid) {
    std::vector<std::pair<std::string, std::string>> values;
    for (int col = 0; col < grid.colCount(); ++col)
        values.emplace_back(colWidthKey(col), std::to_string(grid.colWidth(col)));
    return IniWriteMany(settingsFile, gridSection(), values);
}

Mp3ListLayout ReadListLayout(const std::string& settingsFile, const Mp3ListLayout& current) {
    const std::string& section = windowSection();
    Mp3ListLayout layout;
    layout.clientWidth = readInt(settingsFile, section, Gbk("窗口宽"), current.clientWidth);
    layout.clientHeight = readInt(settingsFile, section, Gbk("窗口高"), current.clientHeight);
    layout.memoHeight = readInt(settingsFile, section, "Memo1", current.memoHeight);
    layout.album = IniReadIfPresent(settingsFile, section, Gbk("专集"), current.album);
    layout.artist = IniReadIfPresent(settingsFile, section, Gbk("歌手"), current.artist);
    return layout;
}

bool WriteListLayout(const std::string& settingsFile, const Mp3ListLayout& layout) {
    return IniWriteMany(settingsFile, windowSection(),
                        {{Gbk("窗口宽"), std::to_string(layout.clientWidth)},
                         {Gbk("窗口高"), std::to_string(layout.clientHeight)},
                         {"Memo1", std::to_string(layout.memoHeight)},
                         {Gbk("专集"), layout.album},
                         {Gbk("歌手"), layout.artist},
                         {Gbk("标题行数"), "1"},
                         {Gbk("标题列数"), "1"}});
}

}  // namespace pelvano::core
