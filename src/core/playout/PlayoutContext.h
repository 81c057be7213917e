#pragma once
// The pieces of the station that the item start, the scheduler and the clock work on. The
// station owns them and hands this bundle to each part. UI thread.
#include <string>

namespace pelvano::core {

struct ScheduleTable;
class StationSettings;
class PlayProcessLog;
struct PlayoutState;
class PlayerView;
class LyricsHooks;
class Clock;
class StoredPathResolver;
class Timer;
class TMyDelay;
struct AppPaths;
class AsRunLog;
class NowPlayingFile;
class FileWriteQueue;
struct LoudnessSettings;
class LoudnessBook;

struct PlayoutContext {
    ScheduleTable& table;
    StationSettings& settings;
    PlayProcessLog& log;
    PlayoutState& state;
    PlayerView& view;
    LyricsHooks& lyrics;
    const Clock& clock;
    const StoredPathResolver& resolver;
    const AppPaths& paths;
    TMyDelay& delay;
    // The player's sliders (volume and pan of the next item and of the item on air).
    int& tbVol;
    int& tbPan;
    // The settings and log writes that must not wait on the disk here.
    FileWriteQueue& fileWrites;
    // The scheduler timer, switched off during each item start; null until it exists.
    Timer* tmCheckPlay = nullptr;
    // Where items on air are recorded; null: nowhere.
    AsRunLog* asRun = nullptr;
    // Told of every item that went on air; null: nobody.
    NowPlayingFile* nowPlaying = nullptr;
    // How items are levelled; null: they play as they are.
    const LoudnessSettings* loudness = nullptr;
    // The loudness facts known by path; null: only those taken with each file.
    const LoudnessBook* loudnessBook = nullptr;
};

}  // namespace pelvano::core
