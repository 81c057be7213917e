// Renders the schedule window, the settings window (both pages) and the log window offscreen over a
// sample station in virtual time (Chinese titles, a playing row, timed rows and their estimates)
// and writes them as PNG files into the folder given.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/playout/Station.h"
#include "core/schedule/ScheduleFile.h"
#include "gui/playout/FrmHis.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/FrmPlayJM.h"
#include "gui/schedule/LoudnessSettingsPage.h"
#include "gui/schedule/ScheduleGridView.h"
#include "gui/schedule/SilenceSettingsPage.h"
#include "gui/schedule/StreamSettingsPage.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/virtual/Simulation.h"

using namespace pelvano;

namespace {

struct SampleRow {
    const char* title;
    const char* artist;
    const char* length;
    const char* cross;
    const char* start;
    const char* file;
};

constexpr SampleRow kRows[] = {
    {"开始曲", "电台", "00:00:30", "", "07:00:00", "片头/开始曲.mp3"},
    {"早安新闻", "新闻组", "00:10:00", "5", "", "新闻/早安新闻.wav"},
    {"晨光", "林晓", "00:04:12", "", "", "音乐/晨光.mp3"},
    {"春天的故事", "合唱团", "00:05:03", "", "", "音乐/春天的故事.mp3"},
    {"天气预报", "气象台", "00:02:00", "2", "", "新闻/天气预报.wav"},
    {"校园广播", "学生会", "00:15:00", "", "", "节目/校园广播.mp3"},
    {"整点报时", "", "00:00:05", "0", "08:00:00", "报时文件/08点整.Wav"},
    {"歌曲联播", "群星", "00:12:40", "", "", "音乐/歌曲联播.mp3"},
    {"眼保健操", "", "00:05:00", "", "", "节目/眼保健操.wav"},
    {"广告时间", "", "00:01:30", "3", "", "广告/广告一.wma"},
    {"午间音乐", "管弦乐团", "00:08:20", "", "", "音乐/午间音乐.mp3"},
    {"午间新闻", "新闻组", "00:10:00", "", "12:00:00", "新闻/午间新闻.wav"},
    {"轻音乐", "钢琴", "00:03:33", "", "", "音乐/轻音乐.mp3"},
    {"结束曲", "电台", "00:00:45", "", "", "片头/结束曲.mp3"},
};

bool save(QWidget& w, const QString& path) {
    const QImage image = w.grab().toImage();
    if (image.isNull() || !image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelvano-window-shots DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("pelvano-shots-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    core::Grid grid(core::kScheduleColumns, static_cast<int>(std::size(kRows)) + 1);
    int r = 1;
    for (const SampleRow& row : kRows) {
        grid.setCell(core::kColTitle, r, core::Utf8ToGbk(row.title));
        grid.setCell(core::kColArtist, r, core::Utf8ToGbk(row.artist));
        grid.setCell(core::kColLength, r, row.length);
        grid.setCell(core::kColCross, r, row.cross);
        grid.setCell(core::kColStartTime, r, row.start);
        grid.setCell(core::kColFile, r++, core::Utf8ToGbk((dir / row.file).string()));
    }
    core::SaveSchedule((dir / "节目表.JMB").string(), grid, {});
    core::SaveSchedule((dir / "星期一.JMB").string(), grid, {});
    const std::string ini = (dir / "参数设置.INI").string();
    core::IniWriteMany(ini, "START", {{"chkManOper", "NO"}, {"spOut", "5"}, {"chkRcdHis", "NO"}});
    // The column widths an operator would have set for this font (the layout keys of a save).
    const int widths[core::kScheduleColumns] = {34, 111, 60, 62, 36, 36, 36, 62, 330, 86};
    std::vector<std::pair<std::string, std::string>> layout;
    for (int col = 0; col < core::kScheduleColumns; ++col) {
        layout.emplace_back(core::Gbk("每列宽度ColWidth-") + std::to_string(col),
                            std::to_string(widths[col]));
    }
    core::IniWriteMany(ini, core::Gbk("播出表"), layout);
    core::IniWriteMany(ini, "Stream",
                       {{"Enabled", "YES"},
                        {"Host", "stream.example.org"},
                        {"Mount", "/xiaoyuan.mp3"},
                        {"Password", "hackme"},
                        {"Name", core::Gbk("校园之声")},
                        {"Genre", core::Gbk("校园广播")},
                        {"Description", core::Gbk("每天 7:00–22:00 直播")}},
                       nullptr, core::FileAccess::OwnerOnly);

    core::IniWriteMany(ini, "Linux", {{"Loudness", "YES"}, {"TrimSilence", "YES"}});

    platform::Simulation sim({2026, 12, 7, 7, 12, 0});
    platform::FfmpegSourceFactory decoder;
    const core::StationPorts ports = sim.stationPorts(dir.string(), decoder);
    bool ok = true;
    {
        core::Station station(ports);
        // Created before the start-up, as in the application: the saved layout then applies.
        gui::TFrmPlayJM schedule(station);
        if (station.start() != core::StartupOutcome::Running) return 1;
        station.table().PlayingRow = 3;

        schedule.setFileBarVisible(true);
        schedule.resize(880, 260);
        schedule.show();
        schedule.repaintSchedule();
        schedule.sgJM()->selectRow(5);
        ok = save(schedule, out + "/schedule-window.png") && ok;

        gui::TFrmPara para(station);
        para.show();
        ok = save(para, out + "/settings-window.png") && ok;
        para.pages()->setCurrentWidget(para.streamPage());
        ok = save(para, out + "/settings-window-stream.png") && ok;
        para.pages()->setCurrentWidget(para.silencePage());
        ok = save(para, out + "/settings-window-silence.png") && ok;
        para.pages()->setCurrentWidget(para.loudnessPage());
        ok = save(para, out + "/settings-window-loudness.png") && ok;

        gui::TFrmHis his(station);
        his.resize(640, 220);
        his.show();
        const char* messages[] = {"---------------------------------------------------",
                                  "开始准备播放:<晨光.mp3>【节目:3】",
                                  "计算新播放节目的时间参数tOver,tIn,tOut: 【3-5-5】",
                                  "播放成功并淡入: [5000]毫秒,<晨光.mp3>",
                                  "淡入结束：晨光.mp3",
                                  "旧节目开始淡出: [5000]毫秒,<早安新闻.wav>",
                                  "播放淡出停止:<早安新闻.wav>"};
        for (const char* m : messages) {
            station.log().LogLine(core::Utf8ToGbk(m));
            sim.advanceBy(1370);
        }
        ok = save(his, out + "/log-window.png") && ok;
    }
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
