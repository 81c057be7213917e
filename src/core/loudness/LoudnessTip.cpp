#include "core/loudness/LoudnessTip.h"

#include "core/app/TextHelpers.h"
#include "core/loudness/LoudnessGain.h"
#include "core/loudness/StoredPathFacts.h"

namespace pelvano::core {

std::string RowLoudnessTip(const LoudnessBook& book, const LoudnessSettings& settings,
                           const std::string& applicationDir, const std::string& storedPath) {
    if (storedPath.empty()) return {};
    const auto facts = FactsOfStoredPath(book, applicationDir, storedPath);
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
