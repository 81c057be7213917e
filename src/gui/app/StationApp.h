#pragma once
// The application around the station: the ports on Qt and the real adapters, the station, and
// the windows created in their order, then the station's start-up (settings, audio output,
// schedule, resume, play). The window system's loop runs it afterwards; destroying it destroys
// the windows in reverse order, then the station, which frees the channels and then the mixer.
// UI thread only.
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "core/playout/NowPlayingTee.h"
#include "core/playout/Station.h"
#include "gui/app/AppContext.h"
#include "gui/app/QtPorts.h"
#include "gui/app/WindowHooks.h"

namespace pelvano::core {
class Autostart;
class Clock;
}  // namespace pelvano::core

namespace pelvano::platform {
class RemoteStation;
class StreamOutput;
}  // namespace pelvano::platform

namespace pelvano::gui {

class UiErrors;

struct StationAppOptions {
    std::string stationFolder;   // native, the station's ApplicationDir
    std::string executablePath;  // what the autostart entry starts
    // A start-up message box (no device); the program ends after it.
    std::function<void(const QString&)> showMessage;
    // Told each item on air besides the stream (the service manager's status); may be null.
    core::NowPlayingListener* nowPlaying = nullptr;
};

class StationApp {
  public:
    StationApp(UiErrors& errors, StationAppOptions options);
    ~StationApp();
    StationApp(const StationApp&) = delete;
    StationApp& operator=(const StationApp&) = delete;

    // Creates the windows and starts the station. 0: the station runs and the player is shown;
    // otherwise the exit status (the message, if any, has been shown).
    int start();

    core::Station& station() { return *station_; }
    // The internet stream of the station's mix; configure() it when [Stream] changes.
    platform::StreamOutput& stream() { return *stream_; }
    // The browser remote control; configure() it when [Remote] changes.
    platform::RemoteStation& remote() { return *remote_; }
    AppWindows& windows() { return windows_; }
    AppContext& context() { return *context_; }

  private:
    void createWindows();

    UiErrors& errors_;
    StationAppOptions options_;
    std::unique_ptr<core::Clock> clock_;
    QtEventQueue events_;
    QtTimerService timers_;
    QtEventPump pump_;
    // The sound card, and the output the station plays on: the card with a copy of the mix
    // going to the stream.
    std::unique_ptr<platform::StreamOutput> stream_;
    std::unique_ptr<core::SoundOutput> device_;
    std::unique_ptr<core::SoundOutput> output_;
    core::NowPlayingTee announced_;
    std::unique_ptr<core::AudioSourceFactory> decoder_;
    // The workers that open files; they outlive the station.
    std::unique_ptr<core::BackgroundWork> work_;
    std::unique_ptr<core::Autostart> autostart_;
    // Measures and keeps the files' loudness; it outlives the station.
    std::unique_ptr<core::LoudnessSource> loudness_;
    PlayerViewRelay view_;
    LyricsRelay lyrics_;
    std::unique_ptr<core::Station> station_;
    std::unique_ptr<platform::RemoteStation> remote_;  // goes before the station
    AppWindows windows_;
    std::unique_ptr<AppContext> context_;
};

}  // namespace pelvano::gui
