#pragma once
// The lyrics editor: which of its controls are enabled, the edit mode that holds the automatic
// playout, and the commands that time lines against the item on air, store the lyrics as an
// ".lrc" file or in the MP3 file, and import a lyrics file. The table operations themselves are
// in LyricsEditCommands.h. UI thread only.
#include <string>

#include "core/lyrics/LyricsTable.h"
#include "core/lyrics/Mp3LyricsTag.h"

namespace pelvano::core {

class TcbDSMixerChannel;

// What the editor needs of the playout.
class LyricsPlayout {
  public:
    virtual ~LyricsPlayout() = default;
    // The channel of the item on air, or null.
    virtual TcbDSMixerChannel* currentChannel() = 0;
    // The play position the player's progress bar shows, ms.
    virtual int shownPositionMs() const = 0;
    // While on, automatic playout decisions are suspended.
    virtual void setPlayoutHold(bool on) = 0;
};

struct LyricsEditorControls {
    bool btnInsertText = false;
    bool btnAddText = false;
    bool btnCopyText = false;
    bool btnDeleteText = false;
    bool btnSetTime = false;
    bool btnTwoRow = false;
    bool btnTrim = false;
    bool btnEqual = false;
    bool btnAddTime = false;
    bool spAddTime = false;
    bool btnSaveMusicText = false;
    bool btnSaveLrctoMP3 = false;
    bool chkPause = false;
    bool btnInputLrc = false;
    bool btnPlay = false;
    // The grid: cells editable and selected by cell ranges while editing; whole rows and ranges
    // selected otherwise.
    bool gridEditing = false;
};

struct LyricsStoreResult {
    enum class Outcome { NothingDone, Stored, Failed };
    Outcome outcome = Outcome::NothingDone;
    std::string error;  // for the operator when Failed (UTF-8)
};

class LyricsEditor {
  public:
    static constexpr int kStepLow = -20;
    static constexpr int kStepHigh = 20;

    LyricsEditor(LyricsState& state, LyricsPlayout& playout, Mp3LyricsTag& tags);

    bool chkEditMusic() const { return chkEditMusic_; }
    // The edit mode check box was clicked.
    void setChkEditMusic(bool on);
    bool chkPause = false;
    // Keep the tag's other frames when the lyrics go into the MP3 file.
    bool CheckBox1 = false;
    int spAddTime() const { return spAddTime_; }
    void setSpAddTime(int seconds);

    // Enables the controls for the edit mode and the item on air; sets the playout hold.
    void UpdateEditorButtons();
    const LyricsEditorControls& controls() const { return controls_; }

    void btnInsertTextClick();
    void btnAddTextClick();
    void btnCopyTextClick();
    void btnDeleteTextClick();
    void btnTwoRowClick();
    void btnTrimClick();
    void btnEqualClick();
    void btnAddTimeClick();
    // Times the current line at the shown position (pausing first when chkPause is on).
    void btnSetTimeClick();
    // Resumes a paused item.
    void btnPlayClick();
    // The table as an ".lrc" file beside the item on air, replacing an existing one in the
    // encoding it has; a new file is encoded as the tag text setting says. A file marked
    // read-only is left alone.
    LyricsStoreResult SaveLyricsFile();
    // The ".lrc" file and the MP3 file's tag, in edit mode only; the item on air is stopped for
    // the rewrite and resumes where it was, also when the rewrite fails.
    LyricsStoreResult btnSaveLrctoMP3Click();
    // Replaces the table by the lyrics of a file, read as the loader reads ".lrc" files (stored
    // only by one of the two store commands).
    bool importLyricsFile(const std::string& nativePath);

  private:
    LyricsState& state_;
    LyricsPlayout& playout_;
    Mp3LyricsTag& tags_;
    bool chkEditMusic_ = false;
    int spAddTime_ = 10;
    LyricsEditorControls controls_;
};

}  // namespace pelvano::core
