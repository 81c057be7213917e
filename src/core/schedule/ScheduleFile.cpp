#include "core/schedule/ScheduleFile.h"

#include <utility>
#include <vector>

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/ports/EventPump.h"
#include "core/schedule/GridRows.h"

namespace pelvano::core {

namespace {

constexpr unsigned char kMask = 0x6B;

const std::string& layoutSection() { return Gbk("播出表"); }
const std::string& colWidthPrefix() { return Gbk("每列宽度ColWidth-"); }
const std::string& fixedRowsKey() { return Gbk("标题行数"); }
const std::string& fixedColsKey() { return Gbk("标题列数"); }
const std::string& widthKey() { return Gbk("窗口宽"); }
const std::string& heightKey() { return Gbk("窗口高"); }

void pumpOnce(const ScheduleIoOptions& options) {
    if (options.keepMessage && options.pump) options.pump->processPendingEvents();
}

int layoutInt(const std::string& file, const std::string& key, int def) {
    return StrToIntDef(IniRead(file, layoutSection(), key), def);
}

void applyLayout(Grid& grid, const ScheduleIoOptions& options) {
    if (options.settingsFile.empty()) return;
    const std::string& file = options.settingsFile;
    for (int col = 0; col < grid.colCount(); ++col) {
        grid.setColWidth(col, layoutInt(file, colWidthPrefix() + std::to_string(col), grid.colWidth(col)));
    }
    grid.setFixedRows(layoutInt(file, fixedRowsKey(), 1));
    grid.setFixedCols(layoutInt(file, fixedColsKey(), 1));
    if (options.holder) {
        options.holder->width = layoutInt(file, widthKey(), options.holder->width);
        options.holder->height = layoutInt(file, heightKey(), options.holder->height);
    }
}

}  // namespace

std::string ScrambleLine(std::string_view plain) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out(plain.size() * 2, '0');
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const auto b = static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ kMask);
        out[2 * i] = kHex[b >> 4];
        out[2 * i + 1] = kHex[b & 15];
    }
    return out;
}

std::string UnscrambleLine(std::string_view stored) {
    std::string out(stored.size() / 2, '\0');
    for (std::size_t k = 0; k < out.size(); ++k) {
        const int hi = HexDigitValue(stored[2 * k]);
        const int lo = HexDigitValue(stored[2 * k + 1]);
        const int value = hi < 0 || lo < 0 ? 0 : hi * 16 + lo;
        out[k] = static_cast<char>(value ^ kMask);
    }
    return out;
}

void ForEachScheduleLine(std::string_view bytes, const std::function<void(std::string_view)>& onLine) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        onLine(bytes.substr(start, end - start));
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

void LoadSchedule(const std::string& path, Grid& grid, const ScheduleIoOptions& options) {
    std::string bytes;
    ReadFileBytes(path, bytes);  // unreadable: empty
    grid.setRowCount(2);
    grid.clearRow(1);
    int i = 1;
    ForEachScheduleLine(bytes, [&](std::string_view stored) {
        const std::string line = UnscrambleLine(stored);
        if (i == 1 && CountSeparators(line) > grid.colCount()) grid.setColCount(CountSeparators(line));
        ++i;
        grid.setRowCount(i);
        LineToRow(line, grid, i - 1);
        if (options.progress) options.progress->setProgress(i - 1);
        pumpOnce(options);
    });
    applyLayout(grid, options);
}

SaveResult SaveSchedule(const std::string& path, const Grid& grid, const ScheduleIoOptions& options) {
    const std::string& kSaving = Gbk("正在保存播出表.");
    const std::string& kSaved = Gbk("播出表保存完毕");
    SaveResult result;
    if (options.progress) {
        options.progress->setInputEnabled(false);
        options.progress->beginProgress(grid.rowCount() - 1, kSaving);
    }
    {
        AtomicFileWriter writer(path);
        std::string chunk;
        for (int r = 1; r < grid.rowCount(); ++r) {
            chunk += ScrambleLine(RowToLine(grid, r));
            chunk += "\r\n";
            if (chunk.size() >= 1 << 16) {
                writer.write(chunk);
                chunk.clear();
            }
            if (options.progress) options.progress->setProgress(r);
            pumpOnce(options);
        }
        writer.write(chunk);
        if (!writer.commit()) {
            result.ok = false;
            result.error = writer.error();
        }
    }
    if (result.ok && !options.settingsFile.empty()) {
        std::vector<std::pair<std::string, std::string>> keys;
        for (int col = 0; col < grid.colCount(); ++col) {
            keys.emplace_back(colWidthPrefix() + std::to_string(col), std::to_string(grid.colWidth(col)));
        }
        keys.emplace_back(fixedRowsKey(), std::to_string(grid.fixedRows()));
        keys.emplace_back(fixedColsKey(), std::to_string(grid.fixedCols()));
        if (options.holder) {
            keys.emplace_back(widthKey(), std::to_string(options.holder->width));
            keys.emplace_back(heightKey(), std::to_string(options.holder->height));
        }
        std::string error;
        if (!IniWriteMany(options.settingsFile, layoutSection(), keys, &error)) {
            result.ok = false;
            result.error = error;
        }
    }
    if (options.progress) {
        options.progress->endProgress(kSaved);
        options.progress->setInputEnabled(true);
    }
    return result;
}

}  // namespace pelvano::core
