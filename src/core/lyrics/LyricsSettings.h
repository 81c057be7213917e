#pragma once
// The lyrics display settings, section "Music" of the settings file: read once when the lyrics
// window is created, stored on apply, a few of them written the moment they change. Other code
// reads the live values from here. UI thread only.
#include <string>

#include "core/app/Colors.h"
#include "core/app/Fonts.h"

namespace pelvano::core {

enum class LyricsAlignment { Left = 0, Centred = 1, Right = 2 };

// Where and how the display window stands after an apply.
struct LyricsWindowPlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int opacity = 0;  // 0 .. 255, 255 opaque; black is transparent
    bool visible = false;
};

class LyricsSettings {
  public:
    static constexpr const char* kSection = "Music";

    explicit LyricsSettings(std::string settingsFile);

    // Every key with its default, values limited to their ranges.
    void LoadLyricsSettings();
    // Stores every key in one rewrite; returns the placement of the display window. False in
    // *stored (with the reason in *error) when the file could not be rewritten.
    LyricsWindowPlacement ApplyLyricsSettings(bool* stored = nullptr, std::string* error = nullptr);

    int spML() const { return spML_; }
    int spMT() const { return spMT_; }
    int spMW() const { return spMW_; }
    int spMH() const { return spMH_; }
    int spTransMusic() const { return spTransMusic_; }
    bool chkPlaySongText() const { return chkPlaySongText_; }
    bool chkInMP3lrcFirst() const { return chkInMP3lrcFirst_; }
    // The stored index; 0 left, 1 centred, anything else right.
    int chkMusicTextCenter() const { return chkMusicTextCenter_; }
    LyricsAlignment alignment() const;
    TColor plMusicFrameColor() const { return underlineColor_; }
    TColor plCurTextColor() const { return currentLineColor_; }
    const FontRecord& plMusicFont() const { return font_; }

    // Spin edits, the font and the underline colour: kept until the next apply.
    void setGeometry(int left, int top, int width, int height);
    void setSpTransMusic(int opacity);
    void setFont(const FontRecord& font) { font_ = font; }
    void setPlMusicFrameColor(TColor c) { underlineColor_ = c; }
    // Written at once (the window's visibility follows on apply or at the next item start).
    bool setChkPlaySongText(bool on);
    bool setChkInMP3lrcFirst(bool on);
    bool setChkMusicTextCenter(int index);
    bool setPlCurTextColor(TColor c);
    // The display window was dragged there: Left and Top follow and are written at once.
    bool moveDisplayTo(int left, int top);

    static FontRecord designFont();
    static constexpr TColor kDesignUnderlineColor = MakeColor(255, 128, 0);
    static constexpr TColor kDesignCurrentLineColor = clRed;

  private:
    bool write(const char* key, const std::string& value);

    std::string file_;
    int spML_ = 0;
    int spMT_ = 600;
    int spMW_ = 300;
    int spMH_ = 50;
    int spTransMusic_ = 200;
    bool chkPlaySongText_ = false;
    bool chkInMP3lrcFirst_ = true;
    int chkMusicTextCenter_ = 1;
    TColor underlineColor_ = kDesignUnderlineColor;
    TColor currentLineColor_ = kDesignCurrentLineColor;
    FontRecord font_;
};

}  // namespace pelvano::core
