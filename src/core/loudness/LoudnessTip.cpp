#include "core/loudness/LoudnessTip.h"

#include "core/app/Encoding.h"
#include "core/app/NativePaths.h"
#include "core/app/TextHelpers.h"
#include "core/loudness/LoudnessGain.h"

namespace pelvano::core {

namespace {

bool hasDrive(const std::string& stored) {
    return stored.size() > 1 && stored[1] == ':';
}

std::string asWritten(const std::string& applicationDir, const std::string& stored) {
    std::string native = stored[0] == '/' || stored[0] == '\\' ? "" : applicationDir;
    bool first = true;
    for (const std::string& part : SplitStoredPath(stored)) {
        if (!first || stored[0] == '/' || stored[0] == '\\') native += '/';
        native += GbkToUtf8(part);
        first = false;
    }
    return native;
}

}  // namespace

std::string RowLoudnessTip(const LoudnessBook& book, const LoudnessSettings& settings,
                           const std::string& applicationDir, const std::string& storedPath) {
    if (storedPath.empty()) return {};
    const auto facts = hasDrive(storedPath) ? std::nullopt
                                            : book.find(asWritten(applicationDir, storedPath));
    if (!facts) return "响度尚未测量";
    std::string tip = Format("响度 %.1f LUFS，真峰值 %.1f dBTP，响度范围 %.1f LU",
                             facts->integratedLufs, facts->truePeakDbtp, facts->lraLu);
    if (facts->estimate) tip += "（开头估计）";
    tip += settings.Loudness
               ? Format("\n增益 %+.1f dB", LoudnessGain::gainDb(*facts, settings.TargetLUFS))
               : std::string("\n增益 0.0 dB（音量均衡未启用）");
    if (facts->cueOutSeconds > facts->cueInSeconds) {
        tip += Format("\n入点 %.2f 秒，出点 %.2f 秒", facts->cueInSeconds, facts->cueOutSeconds);
        if (!settings.TrimSilence) tip += "（未启用）";
    }
    return tip;
}

}  // namespace pelvano::core
