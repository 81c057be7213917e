#pragma once
// What the playout shows in the player window. The window implements it; headless stations and
// tests use this empty default or record the calls. Texts are GBK. UI thread.
#include <string>

namespace pelvano::core {

enum class PlayerLabel { plPlayTime, plPlayTime2, plPlayTimeOld, plLength, plDate, plTime, lbWeek };

enum class ColorStyle { Blue, Green, Red };

class PlayerView {
public:
    virtual ~PlayerView() = default;
    // The progress bar PB.
    virtual void setProgressVisible(bool) {}
    virtual void setProgressMaximum(int) {}
    virtual void setProgressPosition(int) {}
    virtual void setProgressCaption(const std::string&) {}
    virtual void setLabel(PlayerLabel, const std::string&) {}
    virtual void setApplicationTitle(const std::string&) {}
    // The schedule grid marks the playing row.
    virtual void repaintSchedule() {}
    virtual void setScheduleCaption(const std::string&) {}
    // The owners (PlayoutHoldOwner bits) holding the automatic playout; 0: none.
    virtual void showPlayoutHold(unsigned) {}
    virtual void setScheduleWindowVisible(bool) {}
    virtual void minimizeApplication() {}
    // Opacity 160..255 with translucency on, or translucency off.
    virtual void setTranslucency(bool, int) {}
    virtual void applyColorStyle(ColorStyle) {}
    // The level meters, 0.0 .. 1.0, after each analysis.
    virtual void setLevels(double, double) {}
};

// What the playout asks of the lyrics display and editor.
class LyricsHooks {
public:
    virtual ~LyricsHooks() = default;
    virtual bool chkPlaySongText() const { return false; }
    virtual bool chkEditMusic() const { return false; }
    // The item at a native path went on air: load its lyrics and show the current line.
    virtual void itemStarted(const std::string&) {}
    virtual void setDisplayVisible(bool) {}
    virtual void LyricAdvance(int) {}
    virtual void LyricSeek(int) {}
};

}  // namespace pelvano::core
