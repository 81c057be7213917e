#pragma once
// The whole station without its windows: settings, schedule, log, mixer and channels, item
// start, scheduler, clock and meters, with the start-up sequence, the schedule loads, the
// output-device change and the keys of a close. The player and the headless tools both drive
// this one object. UI thread.
#include <exception>
#include <memory>
#include <string>

#include "core/app/AppPaths.h"
#include "core/app/FileWriteQueue.h"
#include "core/app/StoredPathResolver.h"
#include "core/audio/AudioServices.h"
#include "core/audio/TMyDelay.h"
#include "core/loudness/LoudnessBook.h"
#include "core/loudness/LoudnessSettings.h"
#include "core/playout/AsRunLog.h"
#include "core/playout/ClockChimes.h"
#include "core/playout/CrashResume.h"
#include "core/playout/DeadAirWatch.h"
#include "core/playout/FallbackPlayer.h"
#include "core/playout/ItemPreparer.h"
#include "core/playout/ItemStart.h"
#include "core/playout/MeasuringChannel.h"
#include "core/playout/NowPlayingFile.h"
#include "core/playout/PlayProcessLog.h"
#include "core/playout/PlayerSliders.h"
#include "core/playout/PlayerView.h"
#include "core/playout/PlayoutState.h"
#include "core/playout/Scheduler.h"
#include "core/playout/SettingsKeyWrites.h"
#include "core/playout/TAnalysis.h"
#include "core/playout/UiStallWatch.h"
#include "core/playout/WriteFailureReport.h"
#include "core/ports/TimerService.h"
#include "core/remote/LatenessHistogram.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

class Autostart;
class LoudnessSource;
class TcbDSMixer;

struct StationPorts {
    AppPaths paths;
    const Clock* clock = nullptr;
    TimerService* timers = nullptr;
    EventPump* pump = nullptr;
    AudioServices audio;
    PlayerView* view = nullptr;      // null: nothing is shown
    LyricsHooks* lyrics = nullptr;   // null: no lyrics
    Autostart* autostart = nullptr;  // null: no start at log-on
    std::string executablePath;
    // Told of every item that goes on air, after nowplaying.json; null: nobody else.
    NowPlayingListener* nowPlaying = nullptr;
    // Where files are opened and lengths counted; null: on the UI thread, without a bound
    // (tools and tests that have no workers).
    BackgroundWork* work = nullptr;
    // Where the loudness of files is measured and kept; it outlives the station. Null: none is.
    LoudnessSource* loudness = nullptr;
};

enum class StartupOutcome {
    Running,
    NoDevice,       // "没有检查到播出设备！"; the program ends
    InvalidDevice,  // the stored device index selects nothing; the program ends silently
};

class Station {
  public:
    static constexpr std::uint32_t kSchedulerIntervalMs = 100;
    static constexpr std::uint32_t kClockIntervalMs = 1000;
    static constexpr std::uint32_t kLevelsIntervalMs = 50;
    // Resolving the files of a whole schedule may search folders without letter case.
    static constexpr std::chrono::milliseconds kResolveBound{60000};

    explicit Station(const StationPorts& ports);
    ~Station();  // stops and frees the channels, then the mixer
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // From the files fixed to the play command; the log starts keeping messages at its end.
    StartupOutcome start();
    // Every load of a schedule ends here.
    void OpenSchedule(const std::string& path);
    // The schedule file that plays today (dated, weekday or default), native path.
    std::string todayScheduleFile() const;
    // The player's load button: today's schedule file becomes the current one and is opened.
    void loadTodaySchedule();
    // The operator chose another output device: nothing is restarted afterwards.
    void changeOutputDevice(int index);
    // The keys written when the player closes, with the mark of a clean close.
    void writeCloseKeys();
    // "LastJMFile", "LastJMPos" and "LastDate": where the next start resumes. Both wait, up to
    // the write queue's close bound, until these and every write queued before them are done.
    void writeResumeKeys();
    // The layout keys and progress of every schedule load and save of the station's table.
    ScheduleIoOptions scheduleIoOptions(ScheduleProgressView* progress = nullptr);

    StationSettings& settings() { return settings_; }
    ScheduleTable& table() { return table_; }
    PlayoutState& state() { return state_; }
    PlayerView& view() { return view_; }
    PlayProcessLog& log() { return log_; }
    LogWindowModel& logWindow() { return logWindow_; }
    ItemStart& items() { return items_; }
    ItemPreparer& preparer() { return preparer_; }
    // What is known of the files' loudness: from the schedule's measurement ahead and from
    // prepared items.
    const LoudnessBook& loudness() const { return loudness_; }
    // Where slow reads go: the workers of the ports, or the UI thread when there are none.
    BackgroundWork& work() { return ports_.work ? *ports_.work : inlineWork_; }
    Scheduler& scheduler() { return scheduler_; }
    ClockChimes& clockChimes() { return chimes_; }
    PlayerSliders& sliders() { return sliders_; }
    LevelMeters& meters() { return meters_; }
    MeasuringChannel& measurer() { return measurer_; }
    // How long the UI thread went without turning its loop (for the log and a status page).
    const UiStallWatch& uiStalls() const { return uiStalls_; }
    // Dead air found since the start: count() and totalSeconds(), for monitoring.
    const DeadAirWatch& deadAir() const { return deadAir_; }
    const DeadAirSettings& deadAirSettings() const { return deadAirSettings_; }
    // The settings window's silence keys: stored (on the write queue) and in force at once.
    void setDeadAirSettings(const DeadAirSettings& settings);
    FallbackPlayer& fallback() { return fallback_; }
    const NowPlayingFile& nowPlaying() const { return nowPlaying_; }
    // How late the timed rows went on air, by their first heard sample.
    const LatenessHistogram& timedLateness() const { return timedLateness_; }
    // The output device's losses since the start, and whether it is lost now.
    std::uint64_t deviceLosses() const { return deviceLosses_; }
    bool deviceLost() const { return deviceLost_; }
    // The logs', nowplaying.json's and the settings keys' writes, with the count of those that failed.
    FileWriteQueue& fileWrites() { return files_; }
    TcbDSMixer* mixer() { return mixer_.get(); }
    const AppPaths& paths() const { return ports_.paths; }
    const StoredPathResolver& resolver() const { return resolver_; }
    TMyDelay& delay() { return delay_; }
    const Clock& clock() const { return *ports_.clock; }
    EventPump* pump() const { return ports_.pump; }
    const LoudnessSettings& loudnessSettings() const { return loudnessSettings_; }
    // The settings page's values: saved, and used from the next item start on (the item on air
    // keeps its gain). False when the settings file could not be rewritten.
    bool setLoudnessSettings(const LoudnessSettings& settings);
    // The estimates' length of each row: from cue-in to cue-out where that is known and items
    // are trimmed (the schedule's length column keeps the file's length).
    RowSeconds cuedRowSeconds() const;

    // The client size of the schedule window, stored with the grid layout on save and read
    // back on every load.
    HolderSize scheduleWindowSize;

    int playerLeft = 0;
    int playerTop = 0;

  private:
    void createChannels();
    void freeChannels();
    void setTimersEnabled(bool enabled);
    void applyDeadAirSettings(const DeadAirSettings& settings);
    // Each scheduler tick: the output's peak to the dead-air watch, and its verdict acted on.
    void watchForDeadAir();
    bool meantOnAir() const;
    // Logs the failed first start and hands its error to the UI loop.
    void reportFirstStartError(const std::exception_ptr& error);
    std::string dayFileOfToday() const;
    void postResumeKeys(IniKeys more);
    // Facts arrived: with items trimmed, the estimate column follows at the next scheduler tick.
    void noteLoudness(const std::string& native, const LoudnessFacts& facts);
    void refreshCuedEstimates();
    // Asks the loudness source for every file of the loaded schedule, resolved on a worker.
    void measureScheduleAhead();
    bool measuresLoudness() const;
    void applyLoudnessSettings(const LoudnessSettings& settings);

    StationPorts ports_;
    PlayerView defaultView_;
    LyricsHooks defaultLyrics_;
    PlayerView& view_;
    LyricsHooks& lyrics_;
    StationSettings settings_;
    StoredPathResolver resolver_;
    ScheduleTable table_;
    PlayoutState state_;
    FileWriteQueue files_;  // before its writers: it outlives them and flushes what they left
    PlayProcessLog log_;
    WriteFailureReport writeFailures_;
    AsRunLog asRun_;
    NowPlayingFile nowPlaying_;
    LogWindowModel logWindow_;
    TMyDelay delay_;
    PlayerSliders sliders_;
    std::unique_ptr<Timer> tmCheckPlay_;
    std::unique_ptr<Timer> timer1_;
    std::unique_ptr<Timer> tmInvs_;
    LoudnessSettings loudnessSettings_;
    bool estimatesStale_ = false;
    PlayoutContext context_;
    InlineWork inlineWork_;
    ItemPreparer preparer_;
    ItemStart items_;
    CrashResume crashResume_;
    Scheduler scheduler_;
    ClockChimes chimes_;
    LevelMeters meters_;
    MeasuringChannel measurer_;
    UiStallWatch uiStalls_;
    FallbackPlayer fallback_;
    DeadAirWatch deadAir_;
    DeadAirSettings deadAirSettings_;
    LatenessHistogram timedLateness_;
    std::uint64_t deviceLosses_ = 0;
    bool deviceLost_ = false;
    std::unique_ptr<TcbDSMixer> mixer_;
    LoudnessBook loudness_;
    // Results posted before the station went away are dropped.
    std::shared_ptr<Station*> alive_ = std::make_shared<Station*>(this);
};

}  // namespace pelvano::core
