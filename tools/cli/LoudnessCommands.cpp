// pelvano-cli loudness FILE... [--json]: the figures the station measures of each file.
#include <cstdio>
#include <iostream>

#include "CliCommand.h"
#include "JsonObject.h"
#include "core/app/AppPaths.h"
#include "core/loudness/CueLevel.h"
#include "platform/loudness/LoudnessMeter.h"

namespace pelvano::cli {

namespace {

constexpr const char* kUsage = "usage: loudness FILE... [--json]";

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
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else if (a.rfind("--", 0) == 0) {
            return usageError("unexpected argument: " + a);
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) return usageError(kUsage);
    // The cue level of the station in the current folder, as the station itself measures.
    const double cueLevel = core::ReadCueLevel(core::AppPaths::ofFolder(".").settingsFile());
    int status = 0;
    bool first = true;
    if (json) std::cout << "[";
    for (const std::string& file : files) {
        platform::MeasureRequest request;
        request.path = file;
        request.cueLevelDbfs = cueLevel;
        const auto facts = platform::MeasureLoudness(request);
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

const CliRegistration registration("loudness", kUsage, run);

}  // namespace

}  // namespace pelvano::cli
