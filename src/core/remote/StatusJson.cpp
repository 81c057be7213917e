#include "core/remote/StatusJson.h"

#include <cmath>

#include "core/app/JsonText.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

std::string number(double value) {
    if (!std::isfinite(value)) return "0";
    return Format("%.1f", value);
}

const char* flag(bool value) {
    return value ? "true" : "false";
}

std::string rowJson(const StatusRow& r) {
    return "{\"row\":" + std::to_string(r.row) + ",\"name\":" + JsonQuoted(r.name) +
           ",\"file\":" + JsonQuoted(r.file) + ",\"timed\":" + JsonQuoted(r.timed) +
           ",\"length_s\":" + number(r.lengthS) +
           ",\"estimated_start\":" + JsonQuoted(r.estimatedStart) + ",\"on_air\":" + flag(r.onAir) +
           "}";
}

std::string rowsJson(const std::vector<StatusRow>& rows) {
    std::string json = "[";
    for (const StatusRow& r : rows) {
        if (json.size() > 1) json += ',';
        json += rowJson(r);
    }
    return json + "]";
}

std::string itemJson(const std::optional<StatusItem>& item) {
    if (!item) return "null";
    return "{\"row\":" + std::to_string(item->row) + ",\"name\":" + JsonQuoted(item->name) +
           ",\"title\":" + JsonQuoted(item->title) + ",\"artist\":" + JsonQuoted(item->artist) +
           ",\"elapsed_s\":" + number(item->elapsedS) + ",\"length_s\":" + number(item->lengthS) +
           ",\"remaining_s\":" + number(std::max(0.0, item->lengthS - item->elapsedS)) + "}";
}

}  // namespace

std::string LevelsJson(const StationStatus& s) {
    return "{\"left\":" + number(s.levelLeft) + ",\"right\":" + number(s.levelRight) + "}";
}

std::string StatusJson(const StationStatus& s, const std::string& csrf) {
    std::string json = "{\"station\":" + JsonQuoted(s.station) + ",\"time\":" + JsonQuoted(s.time) +
                       ",\"state\":" + JsonQuoted(s.state) + ",\"hold\":" + JsonQuoted(s.hold) +
                       ",\"item\":" + itemJson(s.item) + ",\"schedule\":" + JsonQuoted(s.schedule) +
                       ",\"device\":{\"name\":" + JsonQuoted(s.deviceName) +
                       ",\"ok\":" + flag(s.deviceOk) + "},\"stream\":{\"enabled\":" +
                       flag(s.streamEnabled) + ",\"connected\":" + flag(s.streamConnected) +
                       ",\"text\":" + JsonQuoted(s.streamText) + "},\"levels\":" + LevelsJson(s);
    if (!csrf.empty()) json += ",\"csrf\":" + JsonQuoted(csrf);
    return json + "}";
}

std::string ScheduleJson(const StationStatus& s) {
    return "{\"rows\":" + rowsJson(*s.rows) + ",\"next\":" + rowsJson(s.next) + "}";
}

std::string LogLineJson(const StatusLogLine& line) {
    return "{\"seq\":" + std::to_string(line.seq) + ",\"text\":" + JsonQuoted(line.text) + "}";
}

std::string LogJson(const std::vector<StatusLogLine>& lines, std::uint64_t last) {
    std::string json = "{\"lines\":[";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) json += ',';
        json += LogLineJson(lines[i]);
    }
    return json + "],\"last\":" + std::to_string(last) + "}";
}

std::string AsRunDaysJson(const std::vector<std::string>& days) {
    std::string json = "{\"days\":[";
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (i > 0) json += ',';
        json += JsonQuoted(days[i]);
    }
    return json + "]}";
}

}  // namespace pelvano::core
