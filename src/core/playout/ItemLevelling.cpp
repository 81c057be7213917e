#include "core/playout/ItemLevelling.h"

#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/loudness/LoudnessBook.h"
#include "core/playout/PlayProcessLog.h"

namespace pelvano::core {

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

ItemLevelling LevelItem(const PlayoutContext& c, TcbDSMixerChannel& channel,
                        const std::optional<LoudnessFacts>& taken) {
    if (!c.loudness || (!c.loudness->Loudness && !c.loudness->TrimSilence)) return {};
    const std::string& native = channel.FileName();
    std::optional<LoudnessFacts> facts = taken;
    if (c.loudnessBook) {
        const std::optional<LoudnessFacts> known = c.loudnessBook->find(native);
        if (known && (!known->estimate || !facts)) facts = known;
    }
    const bool chime = startsWith(native, c.paths.chimesDir());
    const ItemLevelling levelling = LoudnessGain::forItem(facts, *c.loudness, chime);
    if (levelling == ItemLevelling{}) return levelling;
    channel.SetLevellingGain(levelling.gainDb);
    if (levelling.cueInMs > 0) channel.SetStartPos(levelling.cueInMs);
    if (levelling.cueOutMs > 0) channel.SetEndPos(levelling.cueOutMs);
    c.log.LogLine(Gbk("音量均衡: 增益[") + Format("%+.1f", levelling.gainDb) + Gbk("]dB,入点[") +
                  std::to_string(levelling.cueInMs) + Gbk("]毫秒,出点[") +
                  std::to_string(levelling.cueOutMs) + Gbk("]毫秒,<") +
                  StoredFormOfNativePath(FileNameOf(native)) + ">");
    return levelling;
}

}  // namespace pelvano::core
