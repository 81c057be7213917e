#include "core/playout/AsRunLog.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/FileWriteQueue.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/ClockTimes.h"
#include "core/ports/Clock.h"

namespace pelvano::core {

namespace {

const char* EndName(AsRunEnd how) {
    switch (how) {
        case AsRunEnd::Natural:
            return "自然结束";
        case AsRunEnd::Faded:
            return "淡出";
        case AsRunEnd::Stopped:
            return "停止";
        case AsRunEnd::Error:
            return "错误";
    }
    return "";
}

// Microseconds in units of `unit`, to a tenth ("0.0", never "-0.0").
std::string Tenths(std::int64_t us, std::int64_t unit) {
    const long long tenths =
        std::llround(static_cast<double>(us) * 10.0 / static_cast<double>(unit));
    return Format("%s%lld.%lld", tenths < 0 ? "-" : "", std::llabs(tenths) / 10,
                  std::llabs(tenths) % 10);
}

std::string DateTimeMs(const LocalDateTime& t) {
    return FormatDate(t, true) + " " + NowHmsMs(t);
}

}  // namespace

const char* AsRunLog::header() {
    return "序号,标题,艺术家,文件,定时,开播时间,结束时间,播出秒数,结束方式,迟到毫秒";
}

bool AsRunLog::appendLine(const std::string& path, const std::string& line, std::string* error) {
    std::string bytes;
    if (ReadWholeFile(path, bytes, error) == ReadOutcome::Unreadable) return false;
    const std::string head = std::string(kUtf8Bom) + header() + "\r\n";
    if (bytes.empty()) return AppendTextLine(path, head + line, error);
    std::string_view first(bytes);
    if (first.starts_with(kUtf8Bom)) first.remove_prefix(kUtf8Bom.size());
    first = first.substr(0, first.find_first_of("\r\n"));
    if (first == header()) return AppendTextLine(path, line, error);
    // Its first line was lost or another program wrote it: the header goes in front.
    if (bytes.back() != '\n') bytes += "\r\n";
    return WriteFileAtomically(path, head + bytes + line + "\r\n", error);
}

std::string CsvField(const std::string& text) {
    // Quoting does not stop a formula; a leading apostrophe does.
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
    const std::string safe = formula ? "'" + text : text;
    if (safe.find_first_of(",\"\r\n") == std::string::npos) return safe;
    std::string quoted = "\"";
    for (char c : safe) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void AsRunLog::started(int channel, TcbDSMixerChannel& ch, const AsRunItem& item) {
    if (open_[channel]) write(*open_[channel], AsRunEnd::Stopped);
    open_[channel] = Open{item, &ch, std::nullopt};
}

void AsRunLog::poll() {
    for (auto& open : open_) {
        if (open) measure(*open);
    }
}

void AsRunLog::measure(Open& open) {
    if (open.onAirUs) return;
    open.onAirUs = open.channel->FirstHeardUs();
    if (open.onAirUs && open.item.dueUs && onTimedLateness)
        onTimedLateness(*open.onAirUs - *open.item.dueUs);
}

void AsRunLog::ended(int channel, AsRunEnd how) {
    auto& open = open_[channel];
    if (!open) return;
    measure(*open);
    write(*open, how);
    open.reset();
}

void AsRunLog::closeAll() {
    for (int channel = 0; channel < kChannels; ++channel) ended(channel, AsRunEnd::Stopped);
}

void AsRunLog::write(const Open& open, AsRunEnd how) {
    const LocalDateTime end = clock_.now();
    const std::string path = folder_ + FormatDate(end, true) + ".asrun.csv";
    const AsRunItem& item = open.item;
    std::string line = std::to_string(item.row) + "," + CsvField(GbkToUtf8(item.title)) + "," +
                       CsvField(GbkToUtf8(item.artist)) + "," + CsvField(GbkToUtf8(item.file)) +
                       ",";
    if (item.dueUs) line += NowHms(LocalTimeAt(clock_, *item.dueUs));
    line += ",";
    if (open.onAirUs) line += DateTimeMs(LocalTimeAt(clock_, *open.onAirUs));
    line += "," + DateTimeMs(end) + ",";
    if (open.onAirUs) {
        line += Tenths(std::max<std::int64_t>(0, clock_.tickUs() - *open.onAirUs), 1000000);
    }
    line += std::string(",") + EndName(how) + ",";
    if (item.dueUs && open.onAirUs) line += Tenths(*open.onAirUs - *item.dueUs, 1000);
    files_.post(path, Gbk("写入播出记录失败:<") + Utf8ToGbk(FileNameOf(path)) + ">",
                [path, line](std::string* error) { return appendLine(path, line, error); });
}

}  // namespace pelvano::core
