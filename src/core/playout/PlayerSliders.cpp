#include "core/playout/PlayerSliders.h"

#include <algorithm>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/PlayoutState.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

TColor PlayerSliders::AccentOf(ColorStyle style) {
    switch (style) {
        case ColorStyle::Blue: return MakeColor(38, 71, 134);
        case ColorStyle::Green: return MakeColor(59, 136, 74);
        case ColorStyle::Red: break;
    }
    return MakeColor(129, 7, 42);
}

const std::string& PlayerSliders::NameOf(ColorStyle style) {
    switch (style) {
        case ColorStyle::Blue: return Gbk("蓝色");
        case ColorStyle::Green: return Gbk("绿色");
        case ColorStyle::Red: break;
    }
    return Gbk("红色");
}

void PlayerSliders::load() {
    const std::string& file = settings_.file();
    tbVol = std::clamp(StrToIntDef(IniRead(file, "START", "tbVol"), 0), kFadeInStartLevel, 0);
    tbPan = std::clamp(StrToIntDef(IniRead(file, "START", "tbPan"), 0), -10000, 10000);
    tbTrs = std::clamp(StrToIntDef(IniRead(file, "START", "tbTrs"), 255), 0, 255);
    const std::string style = IniRead(file, "START", "ColorStyle");
    style_ = style == NameOf(ColorStyle::Blue)    ? ColorStyle::Blue
             : style == NameOf(ColorStyle::Green) ? ColorStyle::Green
                                                  : ColorStyle::Red;
    view_.applyColorStyle(style_);
    applyTransparency();
}

void PlayerSliders::setVolume(int value) {
    tbVol = std::clamp(value, kFadeInStartLevel, 0);
    IniWrite(settings_.file(), "START", "tbVol", std::to_string(tbVol));
    TcbDSMixerChannel* current = state_.CurrentChannel;
    if (!current) return;
    if (current->State() == ChannelState::Playing) {
        current->Fade(static_cast<std::uint32_t>(settings_.spIN()) * 1000, tbVol);
    } else {
        current->SetVolume(tbVol);
    }
}

void PlayerSliders::setPan(int value) {
    tbPan = std::clamp(value, -10000, 10000);
    IniWrite(settings_.file(), "START", "tbPan", std::to_string(tbPan));
    if (state_.CurrentChannel) state_.CurrentChannel->SetPan(tbPan);
}

void PlayerSliders::setTransparency(int value) {
    tbTrs = std::clamp(value, 0, 255);
    applyTransparency();
    IniWrite(settings_.file(), "START", "tbTrs", std::to_string(tbTrs));
}

void PlayerSliders::applyTransparency() {
    if (tbTrs == 255) {
        view_.setTranslucency(false, 255);
    } else {
        view_.setTranslucency(true, std::max(160, tbTrs));
    }
}

void PlayerSliders::setColorStyle(ColorStyle style) {
    style_ = style;
    view_.applyColorStyle(style);
    IniWrite(settings_.file(), "START", "ColorStyle", NameOf(style));
}

}  // namespace pelvano::core
