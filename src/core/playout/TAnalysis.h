#pragma once
// The level analysis behind the player's meters: every 50 ms, the envelope (72 columns of
// maxima and minima per channel) and the peak level of the audio about to be heard on the item
// channel. Reads the channel's pinned mirror; allocates only when created. UI thread.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace pelvano::core {

class TcbDSMixerChannel;
class PlayerView;
struct PlayoutState;

class TAnalysis {
public:
    TAnalysis(TcbDSMixerChannel& channel, int columns, int framesPerTick);

    void Analyse();

    TcbDSMixerChannel& channel() const { return channel_; }
    int channelCount() const { return channelCount_; }
    int columns() const { return columns_; }
    int framesPerColumn() const { return framesPerColumn_; }
    std::uint8_t columnMax(int column, int a) const { return max_[index(column, a)]; }
    std::uint8_t columnMin(int column, int a) const { return min_[index(column, a)]; }
    // Peak level of analysis channel 0 or 1, 0.0 .. 1.0 (channel 1 stays 0 for mono files).
    float level(int a) const { return levels_[static_cast<std::size_t>(a)]; }

private:
    std::size_t index(int column, int a) const { return static_cast<std::size_t>(column * channelCount_ + a); }

    TcbDSMixerChannel& channel_;
    int channelCount_;
    int framesPerColumn_;
    int framesPerTick_;
    int columns_;
    std::uint8_t sampleOffset_;
    std::vector<std::uint8_t> max_;
    std::vector<std::uint8_t> min_;
    std::array<float, 2> levels_{};
};

// The tick of tmInvs: analyses the item on air and hands the meter positions to the view.
class LevelMeters {
public:
    static constexpr int kColumns = 72;

    LevelMeters(PlayoutState& state, PlayerView& view) : state_(state), view_(view) {}
    void tmInvsTimer();
    // The channels are about to be freed.
    void reset() { analysis_.reset(); }
    const TAnalysis* analysis() const { return analysis_.get(); }

private:
    PlayoutState& state_;
    PlayerView& view_;
    std::unique_ptr<TAnalysis> analysis_;
};

}  // namespace pelvano::core
