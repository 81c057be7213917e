#include "gui/app/StationApp.h"

#include "core/app/Encoding.h"
#include "core/schedule/RemoteSettings.h"
#include "core/schedule/StreamSettings.h"
#include "core/stream/TeeSoundOutput.h"
#include "gui/app/UiErrors.h"
#include "gui/lyrics/FrmMusic.h"
#include "gui/lyrics/FrmMusicSet.h"
#include "gui/playout/FrmHis.h"
#include "gui/playout/TFrmMain.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/FrmPlayJM.h"
#include "gui/tags/FrmEditText.h"
#include "gui/tags/FrmeditTag.h"
#include "platform/OutputSelection.h"
#include "platform/autostart/XdgAutostart.h"
#include "platform/clock/SystemClock.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "platform/loudness/StationLoudness.h"
#include "platform/remote/RemoteStation.h"
#include "platform/stream/StreamOutput.h"
#include "platform/worker/WorkerThreads.h"

namespace pelvano::gui {

StationApp::StationApp(UiErrors& errors, StationAppOptions options)
    : errors_(errors),
      options_(std::move(options)),
      clock_(std::make_unique<platform::SystemClock>()),
      events_(errors),
      timers_(errors),
      stream_(std::make_unique<platform::StreamOutput>(events_,
                                                       [this](const std::string& line) {
                                                           if (station_)
                                                               station_->log().LogLine(
                                                                   core::Utf8ToGbk(line));
                                                       })),
      device_(platform::CreateSoundOutput(platform::OutputSelectionFromEnvironment())),
      output_(std::make_unique<core::TeeSoundOutput>(*device_, stream_->ring())),
      announced_(stream_.get(), options_.nowPlaying),
      decoder_(std::make_unique<platform::FfmpegSourceFactory>()),
      work_(std::make_unique<platform::WorkerThreads>(events_)),
      autostart_(std::make_unique<platform::XdgAutostart>(std::string(), options_.stationFolder)),
      loudness_(platform::StationLoudnessOf(core::AppPaths::ofFolder(options_.stationFolder),
                                            events_)) {
    core::StationPorts ports;
    ports.paths = core::AppPaths::ofFolder(options_.stationFolder);
    ports.clock = clock_.get();
    ports.timers = &timers_;
    ports.pump = &pump_;
    ports.audio =
        core::AudioServices{output_.get(), decoder_.get(), clock_.get(), &events_, nullptr};
    ports.view = &view_;
    ports.lyrics = &lyrics_;
    ports.autostart = autostart_.get();
    ports.executablePath = options_.executablePath;
    ports.nowPlaying = &announced_;
    ports.work = work_.get();
    ports.loudness = loudness_.get();
    station_ = std::make_unique<core::Station>(ports);
    remote_ = std::make_unique<platform::RemoteStation>(*station_, events_, timers_, stream_.get());
    context_ = std::make_unique<AppContext>(
        AppContext{*station_, windows_, errors_, lyrics_, pump_, timers_});
    // Every error the UI loop reports goes to the play-process log too.
    errors_.setLogSink(
        [this](const std::string& text) { station_->log().LogLine(core::Utf8ToGbk(text)); });
}

StationApp::~StationApp() {
    remote_.reset();
    errors_.setLogSink(nullptr);
    view_.attach(nullptr);
    lyrics_.attach(nullptr);
    windows_.destroyAll();
}

// The windows in their order; each window's constructor runs its own creation steps, so a
// window never sees one later in the list. A window attaches itself where the station or the
// player calls it (view_, lyrics_, windows_.frmPlayJM).
void StationApp::createWindows() {
    // 1. TFrmPlayJM, the schedule window.
    auto* frmPlayJM = windows_.own(std::make_unique<TFrmPlayJM>(*context_));
    windows_.frmPlayJM = frmPlayJM;
    // 2. TFrmMain, the player; its PB4 shows the schedule window's saves.
    windows_.frmMain = windows_.own(std::make_unique<TFrmMain>(*context_));
    windows_.playerDock = windows_.frmMain;
    view_.attach(windows_.frmMain);
    frmPlayJM->saveProgress = windows_.frmMain->scheduleSaveBar();
    // 3. TFrmMusic, the lyrics display; the station's lyrics calls reach it from now on.
    auto* frmMusic = windows_.own(std::make_unique<TFrmMusic>(*station_, timers_));
    windows_.frmMusic = frmMusic;
    lyrics_.attach(frmMusic);
    // 4. TFrmMusicSet, the lyrics editor: reads and applies the display settings.
    windows_.frmMusicSet = windows_.own(std::make_unique<TFrmMusicSet>(*frmMusic, *station_));
    // 5. TFrmPara, the settings window; the station's start-up below is its creation's part.
    windows_.frmPara = windows_.own(std::make_unique<TFrmPara>(*context_));
    // Its 网络直播 page re-points the running stream.
    static_cast<TFrmPara*>(windows_.frmPara)->onStreamSettingsChanged =
        [this](const core::StreamSettings& settings) { stream_->configure(settings); };
    // Its 远程控制 page restarts the remote control.
    static_cast<TFrmPara*>(windows_.frmPara)->onRemoteSettingsChanged =
        [this](const core::RemoteSettings& settings) { remote_->configure(settings); };
    // 6. TFrmHis, the play-process log window.
    windows_.frmHis = windows_.own(std::make_unique<TFrmHis>(*context_));
    // 7. TFrmeditTag, the MP3 list and tag window: it measures files on the station's
    //    measuring channel; the settings window's "MP3歌词编辑" shows it modally.
    const core::AppPaths& paths = station_->paths();
    auto* frmeditTag = windows_.own(std::make_unique<TFrmeditTag>(
        TagWindowSetup{paths.applicationDir, paths.settingsFile(), &station_->measurer(), &pump_}));
    windows_.frmeditTag = frmeditTag;
    static_cast<TFrmPara*>(windows_.frmPara)->onTagWindow = [frmeditTag, frmMusic] {
        frmMusic->itemReleased();
        frmeditTag->showModal();
    };
    // 8. TFrmEditText, the tag and lyrics text editor, on the list window's shared tag.
    auto* frmEditText = windows_.own(std::make_unique<TFrmEditText>(frmeditTag->sharedTag()));
    frmeditTag->setTextEditor(frmEditText);
    windows_.frmEditText = frmEditText;
}

int StationApp::start() {
    createWindows();
    switch (station_->start()) {
        case core::StartupOutcome::NoDevice:
            if (options_.showMessage) options_.showMessage(QStringLiteral("没有检查到播出设备！"));
            return 1;
        case core::StartupOutcome::InvalidDevice:
            return 1;
        case core::StartupOutcome::Running:
            break;
    }
    // After the start, whose end opens the play-process log: the stream's lines are kept.
    stream_->configure(core::LoadStreamSettings(station_->paths().settingsFile()));
    remote_->configure(core::LoadRemoteSettings(station_->paths().settingsFile()));
    windows_.frmMain->showPlayer();
    return 0;
}

}  // namespace pelvano::gui
