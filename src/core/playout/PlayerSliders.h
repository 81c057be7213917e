#pragma once
// The player's volume, balance and transparency sliders and its colour style: each change is
// stored at once and applied to the item on air. UI thread.
#include <string>

#include "core/app/Colors.h"
#include "core/playout/PlayerView.h"

namespace pelvano::core {

class StationSettings;
struct PlayoutState;

class PlayerSliders {
public:
    PlayerSliders(StationSettings& settings, PlayoutState& state, PlayerView& view)
        : settings_(settings), state_(state), view_(view) {}

    // Reads "tbVol", "tbPan", "tbTrs" and "ColorStyle" and applies the transparency and style.
    void load();

    int tbVol = 0;
    int tbPan = 0;
    int tbTrs = 255;

    void setVolume(int value);        // −3400 .. 0
    void setPan(int value);           // −10000 .. 10000
    void setTransparency(int value);  // 0 .. 255
    void setColorStyle(ColorStyle style);
    ColorStyle colorStyle() const { return style_; }

    static TColor AccentOf(ColorStyle style);
    static const std::string& NameOf(ColorStyle style);  // GBK "蓝色", "绿色", "红色"

private:
    void applyTransparency();

    StationSettings& settings_;
    PlayoutState& state_;
    PlayerView& view_;
    ColorStyle style_ = ColorStyle::Red;
};

}  // namespace pelvano::core
