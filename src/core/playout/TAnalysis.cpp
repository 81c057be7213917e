#include "core/playout/TAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/PlayerView.h"
#include "core/playout/PlayoutState.h"

namespace pelvano::core {

TAnalysis::TAnalysis(TcbDSMixerChannel& channel, int columns, int framesPerTick)
    : channel_(channel),
      channelCount_(channel.Channels() <= 1 ? 1 : 2),
      framesPerColumn_(std::max(1, framesPerTick / std::max(1, columns))),
      framesPerTick_(framesPerTick),
      columns_(std::max(1, columns)),
      sampleOffset_(channel.BitsPerSample() == 8 ? 0 : 128),
      max_(static_cast<std::size_t>(columns_ * channelCount_), 128),
      min_(static_cast<std::size_t>(columns_ * channelCount_), 128) {}

void TAnalysis::Analyse() {
    const int blockAlign = channel_.BlockAlign();
    if (blockAlign <= 0) return;
    DataAhead ahead;
    channel_.GetDataAhead(0, static_cast<std::uint32_t>(framesPerTick_ * blockAlign), ahead);
    const std::uint8_t* starts[2] = {ahead.data1, ahead.data2};
    const std::uint32_t lengths[2] = {ahead.length1, ahead.length2};
    const int bytesPerSample = channel_.BitsPerSample() / 8;
    for (int a = 0; a < channelCount_; ++a) {
        int totalMax = 0, totalMin = 255, colMax = 0, colMin = 255, column = 0, k = 1;
        bool heard = false;
        for (int piece = 0; piece < 2; ++piece) {
            if (!starts[piece] || lengths[piece] == 0) continue;
            std::uint32_t frames = lengths[piece] / static_cast<std::uint32_t>(blockAlign);
            // The most significant byte of the sample: channel 0 reads the frame's last sample.
            const std::uint8_t* p = starts[piece] + blockAlign - 1 - bytesPerSample * a;
            while (column < columns_) {
                for (; k <= framesPerColumn_; ++k, --frames, p += blockAlign) {
                    if (frames == 0) goto nextPiece;
                    const int v = (*p + sampleOffset_) % 256;
                    colMax = std::max(colMax, v);
                    colMin = std::min(colMin, v);
                    heard = true;
                }
                totalMax = std::max(totalMax, colMax);
                totalMin = std::min(totalMin, colMin);
                max_[index(column, a)] = static_cast<std::uint8_t>(colMax);
                min_[index(column, a)] = static_cast<std::uint8_t>(colMin);
                colMax = 0;
                colMin = 255;
                ++column;
                k = 1;
            }
        nextPiece:;
        }
        // No data at all is silence, not the full swing that the empty extremes would suggest.
        const int peak = heard ? std::max(std::abs(totalMin - 128), std::abs(totalMax - 128)) : 0;
        levels_[static_cast<std::size_t>(a)] = static_cast<float>(std::sqrt(std::min(peak, 128) / 128.0));
    }
    channel_.ReleaseDataAhead();
}

void LevelMeters::tmInvsTimer() {
    TcbDSMixerChannel* current = state_.CurrentChannel;
    if (!current || current->State() != ChannelState::Playing) return;
    if (!analysis_ || &analysis_->channel() != current) {
        analysis_ = std::make_unique<TAnalysis>(*current, kColumns, 50 * current->SampleRate() / 1000);
    }
    analysis_->Analyse();
    view_.setLevels(std::pow(analysis_->level(0), 8), std::pow(analysis_->level(1), 8));
}

}  // namespace pelvano::core
