// pelvano-cli loudness FILE... [--json] [--station DIR]: the figures the station measures of
// each file; with --station, through that station's cache (kept files are not measured again,
// new ones are kept), at its cue level.
#include <cstdio>
#include <iostream>
#include <memory>

#include "CliCommand.h"
#include "JsonObject.h"
#include "core/app/AppPaths.h"
#include "core/loudness/CueLevel.h"
#include "platform/loudness/CachedMeasurement.h"

namespace pelvano::cli {

namespace {

constexpr const char* kSyntax = "loudness FILE... [--json] [--station DIR]";

std::string TextLine(const std::string& file, const core::LoudnessFacts& f) {
    char figures[200];
    std::snprintf(figures, sizeof figures,
                  "\t%.2f LUFS\tLRA %.2f LU\ttrue peak %.2f dBTP\tcue %.3f-%.3f s",
                  f.integratedLufs, f.lraLu, f.truePeakDbtp, f.cueInSeconds, f.cueOutSeconds);
    return file + figures;
}

std::string JsonLine(const std::string& file, const core::LoudnessFacts& f) {
    return JsonObject()
        .add("file", file)
        .addFigure("integrated_lufs", f.integratedLufs, 2)
        .addFigure("lra_lu", f.lraLu, 2)
        .addFigure("true_peak_dbtp", f.truePeakDbtp, 2)
        .addFigure("cue_in_s", f.cueInSeconds, 3)
        .addFigure("cue_out_s", f.cueOutSeconds, 3)
        .str();
}

int run(const Args& args) {
    bool json = false;
    std::string station;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            json = true;
        } else if (a == "--station" && i + 1 < args.size()) {
            station = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return usageError("unexpected argument: " + a);
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) return usageError(std::string("usage: ") + kSyntax);
    // The cue level of the station (in the current folder without --station), as it measures.
    const core::AppPaths paths = core::AppPaths::ofFolder(station.empty() ? "." : station);
    const double cueLevel = core::ReadCueLevel(paths.settingsFile());
    std::unique_ptr<platform::LoudnessCache> cache;
    if (!station.empty()) {
        paths.ensureHistoryDir();
        cache = std::make_unique<platform::LoudnessCache>(platform::LoudnessCacheFile(paths));
    }
    int status = 0;
    bool first = true;
    if (json) std::cout << "[";
    for (const std::string& file : files) {
        platform::MeasureRequest request;
        request.path = file;
        request.cueLevelDbfs = cueLevel;
        const auto facts = cache ? platform::MeasureThroughCache(*cache, request)
                                 : platform::MeasureLoudness(request);
        if (!facts) {
            status = failure("cannot decode " + file);
            continue;
        }
        if (json) {
            std::cout << (first ? "\n" : ",\n") << JsonLine(file, *facts);
        } else {
            std::cout << TextLine(file, *facts) << "\n";
        }
        first = false;
    }
    if (json) std::cout << (first ? "]\n" : "\n]\n");
    return status;
}

const CliRegistration registration("loudness", kSyntax, run);

}  // namespace

}  // namespace pelvano::cli
