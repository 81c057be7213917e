#pragma once
// What the MP3 list window keeps in the settings file: the column widths (section "播出表",
// shared with the schedule grid) and its own keys of section "播出表2". UI thread.
#include <string>

#include "core/schedule/Grid.h"

namespace pelvano::core {

struct Mp3ListLayout {
    int clientWidth = 0;   // "窗口宽"
    int clientHeight = 0;  // "窗口高"
    int memoHeight = 0;    // "Memo1": the bottom panel with the memo and the status bar
    std::string album;     // "专集": the album box (GBK)
    std::string artist;    // "歌手": the artist box (GBK)
};

// Widths of the grid's columns from "每列宽度ColWidth-" + index; missing keys keep the width.
void ReadListColumnWidths(const std::string& settingsFile, Grid& grid);
bool WriteListColumnWidths(const std::string& settingsFile, const Grid& grid);

// The "播出表2" keys; a missing or unreadable key keeps the value of current.
Mp3ListLayout ReadListLayout(const std::string& settingsFile, const Mp3ListLayout& current);
// Writes them in one rewrite, with "标题行数" and "标题列数" of 1 as the older system did.
bool WriteListLayout(const std::string& settingsFile, const Mp3ListLayout& layout);

}  // namespace pelvano::core
