#pragma once
// What every window of the application is built with: the station it draws and commands, the
// other windows, the UI loop's error reporting and the relays the station calls. A window is
// created with `AppContext&` and keeps the reference; everything in it outlives every window.
// UI thread only.
#include <QWidget>
#include <memory>
#include <vector>

#include "core/playout/Station.h"
#include "gui/app/WindowHooks.h"

namespace pelvano::gui {

class UiErrors;
class TFrmMain;

// The windows in their creation order. A window that is not built yet stays null; the
// application owns every window and destroys them in reverse order, before the station.
struct AppWindows {
    ScheduleWindowHooks* frmPlayJM = nullptr;  // the schedule window
    TFrmMain* frmMain = nullptr;               // the player
    PlayerDock* playerDock = nullptr;          // the player, as the docked window sees it
    QWidget* frmMusic = nullptr;               // lyrics display
    QWidget* frmMusicSet = nullptr;            // lyrics settings and editor
    QWidget* frmPara = nullptr;                // settings
    QWidget* frmHis = nullptr;                 // play-process log
    QWidget* frmeditTag = nullptr;             // MP3 list and tags
    QWidget* frmEditText = nullptr;            // tag and lyrics text editor

    // Takes ownership of a created window and returns it.
    template <class W>
    W* own(std::unique_ptr<W> window) {
        W* raw = window.get();
        owned_.push_back(std::move(window));
        return raw;
    }
    void destroyAll() {
        while (!owned_.empty()) owned_.pop_back();
    }

  private:
    std::vector<std::unique_ptr<QWidget>> owned_;
};

struct AppContext {
    core::Station& station;
    AppWindows& windows;
    UiErrors& errors;
    // The lyrics display plugs itself in here: lyrics.attach(this).
    LyricsRelay& lyrics;
    // Waits and long loads in the windows process events through this.
    core::EventPump& pump;
    core::TimerService& timers;
};

}  // namespace pelvano::gui
