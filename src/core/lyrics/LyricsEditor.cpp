#include "core/lyrics/LyricsEditor.h"

#include <algorithm>
#include <exception>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/ReadOnlyFiles.h"
#include "core/app/StoredPathResolver.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/lyrics/LoadLyrics.h"
#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsEditCommands.h"
#include "core/lyrics/LyricsFile.h"

namespace pelvano::core {

namespace {

std::string JoinLines(const std::vector<std::string>& lines, bool endLast) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (endLast || i + 1 < lines.size()) text += "\r\n";
    }
    return text;
}

LyricsStoreResult Failed(std::string error) {
    return {LyricsStoreResult::Outcome::Failed, std::move(error)};
}

struct ChannelSnapshot {
    std::int32_t position;
    ChannelState state;
    std::int32_t volume;
    std::int32_t pan;
};

// Opens the file again where the item was, at its level; a stopped item stays stopped there.
void Reopen(TcbDSMixerChannel& ch, const std::string& path, const ChannelSnapshot& was) {
    ch.SetFileName(path);
    ch.SetVolume(was.volume);
    ch.SetPan(was.pan);
    ch.SetPosition(was.position);
    if (was.state == ChannelState::Stopped) return;
    ch.Play();
    if (was.state == ChannelState::Paused) ch.Pause();
}

}  // namespace

LyricsEditor::LyricsEditor(LyricsState& state, LyricsPlayout& playout, Mp3LyricsTag& tags)
    : state_(state), playout_(playout), tags_(tags) {}

void LyricsEditor::setChkEditMusic(bool on) {
    chkEditMusic_ = on;
    UpdateEditorButtons();
}

void LyricsEditor::setSpAddTime(int seconds) {
    spAddTime_ = std::clamp(seconds, kStepLow, kStepHigh);
}

void LyricsEditor::UpdateEditorButtons() {
    const bool on = chkEditMusic_;
    LyricsEditorControls c;
    c.btnInsertText = c.btnAddText = c.btnCopyText = c.btnDeleteText = c.btnSetTime = on;
    c.btnTwoRow = c.btnTrim = c.btnEqual = c.btnAddTime = c.spAddTime = on;
    c.btnSaveMusicText = c.btnSaveLrctoMP3 = c.chkPause = c.btnInputLrc = c.btnPlay = on;
    c.gridEditing = on;
    if (on) {
        if (const TcbDSMixerChannel* ch = playout_.currentChannel())
            c.btnSaveLrctoMP3 = IsMp3Path(ch->FileName());
    }
    controls_ = c;
    playout_.setPlayoutHold(on);
}

void LyricsEditor::btnInsertTextClick() {
    InsertLyricLine(state_.table, spAddTime_);
}
void LyricsEditor::btnAddTextClick() {
    AddLyricLine(state_.table, spAddTime_);
}
void LyricsEditor::btnCopyTextClick() {
    CopyLyricLine(state_.table, spAddTime_);
}
void LyricsEditor::btnDeleteTextClick() {
    DeleteLyricLine(state_.table);
}
void LyricsEditor::btnTwoRowClick() {
    SplitLyricLine(state_.table);
}
void LyricsEditor::btnTrimClick() {
    TrimLyricTexts(state_.table);
}
void LyricsEditor::btnEqualClick() {
    SpreadLyricTimes(state_.table, spAddTime_);
}
void LyricsEditor::btnAddTimeClick() {
    ShiftLyricTimes(state_.table, spAddTime_);
}

void LyricsEditor::btnSetTimeClick() {
    TcbDSMixerChannel* ch = playout_.currentChannel();
    if (chkPause && ch && ch->State() == ChannelState::Playing) ch->Pause();
    // The table keeps the file's times, which the offset moves at display.
    TakeLyricTime(state_.table,
                  static_cast<long long>(playout_.shownPositionMs()) + state_.offsetMs);
}

void LyricsEditor::btnPlayClick() {
    TcbDSMixerChannel* ch = playout_.currentChannel();
    if (ch && ch->State() == ChannelState::Paused) ch->Play();
}

LyricsStoreResult LyricsEditor::SaveLyricsFile() {
    const TcbDSMixerChannel* ch = playout_.currentChannel();
    if (!ch || ch->FileName().empty()) return {};
    std::string target = WithExtension(ch->FileName(), ".lrc");
    // Rewrite the lyrics file the loader finds, whatever the letter case of its name.
    if (std::string existing = MatchPathIgnoringCase(target); !existing.empty()) target = existing;
    state_.rawLines = LyricsToLines(state_.table, state_.offsetMs);
    if (state_.rawLines.empty()) return {};
    if (IsMarkedReadOnly(target)) return Failed(ReadOnlyRefusal(target));
    std::string error;
    if (!WriteLyricsFile(target, JoinLines(state_.rawLines, true),
                         NewLyricsFileEncoding(tags_.textEncoding()), &error))
        return Failed(error);
    return {LyricsStoreResult::Outcome::Stored, {}};
}

LyricsStoreResult LyricsEditor::btnSaveLrctoMP3Click() {
    // Only the edit mode holds the playout while the item on air is stopped for the rewrite.
    TcbDSMixerChannel* ch = playout_.currentChannel();
    if (!ch || !chkEditMusic_) return {};
    const std::string path = ch->FileName();
    if (!IsMp3Path(path) || !FileExists(path)) return {};
    if (LyricsStoreResult saved = SaveLyricsFile();
        saved.outcome == LyricsStoreResult::Outcome::Failed)
        return saved;

    const ChannelSnapshot was{ch->Position(), ch->State(), ch->Volume(), ch->Pan()};
    ch->Stop();
    ch->SetFileName({});
    std::string error;
    try {
        const TagSaveResult result =
            tags_.writeLyrics(path, JoinLines(state_.rawLines, false), CheckBox1);
        if (!result.replaced) error = GbkToUtf8(result.message);
    } catch (const std::exception& e) {
        error = e.what();
    }
    try {
        Reopen(*ch, path, was);
    } catch (const std::exception& e) {
        error += error.empty() ? e.what() : std::string("; ") + e.what();
    }
    if (!error.empty()) return Failed(error);
    return {LyricsStoreResult::Outcome::Stored, {}};
}

bool LyricsEditor::importLyricsFile(const std::string& nativePath) {
    const std::optional<LyricsFileText> file = ReadLyricsFile(nativePath);
    if (!file) return false;
    state_.table.reset();
    TakeLyricLines(SplitLyricLines(file->text), state_);
    return true;
}

}  // namespace pelvano::core
