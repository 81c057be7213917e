#include "core/remote/MetricsText.h"

#include "core/app/TextHelpers.h"

namespace pelvano::core {

namespace {

void metric(std::string& out, const char* name, const char* type, const char* help,
            const std::string& value) {
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n" +
           name + " " + value + "\n";
}

std::string seconds(double value) {
    return Format("%.3f", value);
}

void histogram(std::string& out, const LatenessHistogram& h) {
    const std::string name = "pelvano_timed_start_lateness_seconds";
    out += "# HELP " + name +
           " How late timed rows went on air, by their first heard sample.\n# TYPE " + name +
           " histogram\n";
    for (std::size_t i = 0; i < LatenessHistogram::kBounds.size(); ++i) {
        out += name + "_bucket{le=\"" + Format("%g", LatenessHistogram::kBounds[i]) + "\"} " +
               std::to_string(h.bucket(i)) + "\n";
    }
    out += name + "_bucket{le=\"+Inf\"} " + std::to_string(h.count()) + "\n";
    out += name + "_sum " + seconds(h.sum()) + "\n";
    out += name + "_count " + std::to_string(h.count()) + "\n";
}

}  // namespace

std::string MetricsText(const StationStatus& s) {
    std::string out;
    const StationFigures& f = s.figures;
    const bool onAir = s.state == "playing" && s.item;
    metric(out, "pelvano_on_air", "gauge", "1 while an item plays, else 0.", onAir ? "1" : "0");
    metric(out, "pelvano_item_elapsed_seconds", "gauge", "Seconds played of the item on air.",
           seconds(s.item ? s.item->elapsedS : 0));
    histogram(out, f.timedLateness);
    metric(out, "pelvano_failed_rows_total", "counter", "Schedule rows that could not start.",
           std::to_string(f.failedRows));
    metric(out, "pelvano_dead_air_seconds_total", "counter",
           "Seconds the mix stayed silent while it was meant to be on air.",
           seconds(f.deadAirSeconds));
    metric(out, "pelvano_dead_air_episodes_total", "counter", "Times dead air was detected.",
           std::to_string(f.deadAirEpisodes));
    metric(out, "pelvano_stream_connected", "gauge", "1 while the internet stream is connected.",
           s.streamConnected ? "1" : "0");
    metric(out, "pelvano_device_losses_total", "counter", "Times the sound device stopped working.",
           std::to_string(f.deviceLosses));
    metric(out, "pelvano_ui_stall_longest_seconds", "gauge",
           "The longest time the station's UI thread stood still since the start.",
           seconds(static_cast<double>(f.longestStallMs) / 1000.0));
    metric(out, "pelvano_log_write_failures_total", "counter",
           "Log, as-run and settings writes that failed.", std::to_string(f.logWriteFailures));
    return out;
}

}  // namespace pelvano::core
