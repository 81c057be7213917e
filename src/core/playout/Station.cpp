#include "core/playout/Station.h"

#include <algorithm>
#include <exception>

#include "core/app/AtomicFileLeftovers.h"
#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixer.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/loudness/StoredPathFacts.h"
#include "core/playout/SettingsKeyWrites.h"
#include "core/ports/Clock.h"
#include "core/ports/LoudnessSource.h"
#include "core/schedule/SettingsFileCheck.h"

namespace pelvano::core {

Station::Station(const StationPorts& ports)
    : ports_(ports),
      view_(ports.view ? *ports.view : defaultView_),
      lyrics_(ports.lyrics ? *ports.lyrics : defaultLyrics_),
      settings_(ports.paths.settingsFile(), ports.autostart, ports.executablePath),
      resolver_(
          StoredPathResolver::fromSettings(ports.paths.applicationDir, ports.paths.settingsFile())),
      log_(*ports.clock, [this] { return settings_.chkRcdHis(); }, files_),
      writeFailures_(*ports.clock, files_, log_),
      asRun_(*ports.clock, ports.paths.historyDir(), files_),
      nowPlaying_(*ports.clock, files_, ports.paths.applicationDir, ports.nowPlaying),
      delay_(*ports.timers, *ports.pump),
      sliders_(settings_, state_, view_),
      tmCheckPlay_(ports.timers->createTimer()),
      timer1_(ports.timers->createTimer()),
      tmInvs_(ports.timers->createTimer()),
      context_{table_,
               settings_,
               log_,
               state_,
               view_,
               lyrics_,
               *ports.clock,
               resolver_,
               ports_.paths,
               delay_,
               sliders_.tbVol,
               sliders_.tbPan,
               files_,
               tmCheckPlay_.get(),
               &asRun_,
               &nowPlaying_},
      preparer_(ports.work ? *ports.work : inlineWork_, *ports.audio.sources, resolver_),
      items_(context_, preparer_),
      crashResume_(context_, items_, ports.work ? *ports.work : inlineWork_, *ports.audio.sources),
      scheduler_(context_, items_),
      chimes_(context_, [this](const std::string& path) { OpenSchedule(path); }),
      meters_(state_, view_),
      measurer_(state_),
      uiStalls_(*ports.clock, *ports.timers, [this](std::int64_t longestMs) {
          log_.LogLine(Gbk("界面线程最长停顿: [") + std::to_string(longestMs) + Gbk("]毫秒"));
      }),
      fallback_(context_, preparer_, items_, ports.work ? *ports.work : inlineWork_) {
    context_.loudness = &loudnessSettings_;
    context_.loudnessBook = &loudness_;
    preparer_.onLoudness = [this](const std::string& native, const LoudnessFacts& facts) {
        noteLoudness(native, facts);
    };
    scheduler_.onNothingPlayable = [this] { fallback_.fill(); };
    tmCheckPlay_->setInterval(kSchedulerIntervalMs);
    tmCheckPlay_->setOnTimer([this] {
        watchForDeadAir();
        fallback_.tick();
        scheduler_.tmCheckPlayTimer();
        refreshCuedEstimates();
        asRun_.poll();
        writeFailures_.poll();
    });
    timer1_->setInterval(kClockIntervalMs);
    timer1_->setOnTimer([this] { chimes_.Timer1Timer(); });
    asRun_.onTimedLateness = [this](std::int64_t us) {
        timedLateness_.observe(static_cast<double>(us) / 1e6);
    };
    tmInvs_->setInterval(kLevelsIntervalMs);
    tmInvs_->setOnTimer([this] { meters_.tmInvsTimer(); });
}

Station::~Station() {
    *alive_ = nullptr;
    setTimersEnabled(false);
    uiStalls_.stop();
    asRun_.closeAll();
    freeChannels();
    mixer_.reset();
}

std::string Station::dayFileOfToday() const {
    return ports_.paths.historyDir() + FormatDate(ports_.clock->now(), true) + ".his";
}

StartupOutcome Station::start() {
    const LocalDateTime today = ports_.clock->now();
    const std::string& ini = settings_.file();
    // The schedule window's and the player's part.
    // What a crash during a replace left in the station folder goes first.
    RemoveLeftoverTemporaries(ports_.paths.applicationDir);
    ports_.paths.ensureHistoryDir();
    log_.setDayFile(dayFileOfToday());
    table_.CurrentSchedulePath = TodayScheduleFile(ports_.paths, today);
    view_.setScheduleWindowVisible(IsYes(IniReadDef(ini, "START", "PlayList", "YES")));
    table_.PlayingRow = 0;
    playerLeft = StrToIntDef(IniRead(ini, Gbk("主窗口"), "Left"), 0);
    playerTop = StrToIntDef(IniRead(ini, Gbk("主窗口"), "Top"), 0);
    sliders_.load();
    // The settings window's part: settings, audio output, schedule, resume, play.
    settings_.load();
    const int openBound = StrToIntDef(IniRead(ini, "Linux", "OpenTimeoutMs"), 0);
    preparer_.setBound(openBound > 0 ? std::chrono::milliseconds(openBound)
                                     : ItemPreparer::kDefaultBound);
    applyLoudnessSettings(LoadLoudnessSettings(ini));
    applyDeadAirSettings(DeadAirSettings::read(ini));
    mixer_ = std::make_unique<TcbDSMixer>(ports_.audio);
    if (mixer_->DeviceCount() < 2) {
        mixer_.reset();
        return StartupOutcome::NoDevice;
    }
    const int device = StrToIntDef(IniRead(ini, "START", "cbDevID"), 0);
    if (device < 0 || device >= mixer_->DeviceCount()) return StartupOutcome::InvalidDevice;
    mixer_->SetDeviceIndex(device);
    createChannels();
    OpenSchedule(table_.CurrentSchedulePath);
    chimes_.LastLoadWeekday = today.weekday();
    const int p = StrToIntDef(IniRead(ini, "START", "LastJMPos"), 1);
    const bool resume =
        IniRead(ini, "START", "LastDate") == FormatDate(today, true) &&
        IniRead(ini, "START", "LastJMFile") == Utf8ToGbk(table_.CurrentSchedulePath) &&
        p < table_.sgJM.rowCount();
    table_.sgJM.setCurrentRow(resume ? std::max(1, p) : 1);
    // A first file that cannot play must not keep the station off the air: its error goes to
    // the UI loop once the loop runs, and the scheduler moves on to the next row.
    std::exception_ptr firstStartError;
    try {
        if (!crashResume_.begin(preparer_.bound())) items_.btnPlayClick();
    } catch (...) {
        firstStartError = std::current_exception();
    }
    // The log window exists from here on; the timers tick once the loop runs.
    log_.attachWindow(&logWindow_);
    for (const std::string& line : CheckSettingsFile(ini)) log_.LogLine(line);
    if (firstStartError) reportFirstStartError(firstStartError);
    chimes_.firstShow = true;
    setTimersEnabled(true);
    uiStalls_.start();
    return StartupOutcome::Running;
}

void Station::reportFirstStartError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        items_.LogStartFailure(table_.PlayingRow, e.what());
    } catch (...) {
    }
    if (ports_.audio.events) ports_.audio.events->post([error] { std::rethrow_exception(error); });
}

void Station::applyDeadAirSettings(const DeadAirSettings& settings) {
    deadAirSettings_ = settings;
    deadAir_.setRules(settings);
    fallback_.setFolder(settings.fallbackFolder);
}

void Station::setDeadAirSettings(const DeadAirSettings& settings) {
    if (settings == deadAirSettings_) return;
    PostSettingsKeys(files_, settings_.file(), "Linux", settings.keys());
    applyDeadAirSettings(settings);
}

bool Station::meantOnAir() const {
    // Before the first start nothing is meant to play (no manual start, no timed row yet).
    return table_.PlayingRow > 0 && !state_.Paused && !state_.StopRequested &&
           !state_.PlayoutHold;
}

void Station::watchForDeadAir() {
    const float peak = mixer_ ? mixer_->TakeOutputPeak() : 0.0f;
    const bool deadAir =
        deadAir_.observe(ports_.clock->tickUs() / 1000, peak, meantOnAir(), [this](int seconds) {
            return scheduler_.timedRowWithin(seconds) || chimes_.chimeWithin(seconds);
        });
    if (!deadAir) return;
    log_.LogLine(Gbk("检测到静音") + std::to_string(deadAir_.silentSeconds()) + Gbk("秒"));
    scheduler_.moveOnFromDeadAir();
}

void Station::OpenSchedule(const std::string& path) {
    state_.Unplayable.clear();
    OpenScheduleTable(table_, path, scheduleIoOptions(), settings_.spOver());
    view_.setScheduleCaption(table_.caption);
    view_.repaintSchedule();
    log_.setDayFile(dayFileOfToday());
    measureScheduleAhead();
}

bool Station::setLoudnessSettings(const LoudnessSettings& settings) {
    const bool saved = SaveLoudnessSettings(settings_.file(), settings);
    const bool trimmed = loudnessSettings_.TrimSilence;
    const bool measured = measuresLoudness();
    applyLoudnessSettings(ValidLoudnessSettings(settings));
    if (trimmed != loudnessSettings_.TrimSilence) {
        FillEstimates(table_.sgJM, settings_.spOver(), cuedRowSeconds());
        view_.repaintSchedule();
    }
    if (!measured && measuresLoudness()) measureScheduleAhead();
    return saved;
}

// Files are measured only while the station levels or trims: a measurement opens each file a
// second time, and a second open of a file whose read hangs on a share waits in the kernel
// beyond any signal, so a station that does not need the figures does not take that risk.
bool Station::measuresLoudness() const {
    return ports_.loudness && (loudnessSettings_.Loudness || loudnessSettings_.TrimSilence);
}

void Station::applyLoudnessSettings(const LoudnessSettings& settings) {
    loudnessSettings_ = settings;
    preparer_.setLoudness(measuresLoudness() ? ports_.loudness : nullptr);
}

RowSeconds Station::cuedRowSeconds() const {
    return CuedRowSeconds(table_.sgJM, loudness_, loudnessSettings_, ports_.paths.applicationDir);
}

void Station::noteLoudness(const std::string& native, const LoudnessFacts& facts) {
    loudness_.note(native, facts);
    estimatesStale_ = estimatesStale_ || (loudnessSettings_.TrimSilence && !facts.estimate);
}

void Station::refreshCuedEstimates() {
    if (!estimatesStale_) return;
    estimatesStale_ = false;
    FillEstimates(table_.sgJM, settings_.spOver(), cuedRowSeconds());
    view_.repaintSchedule();
}

void Station::measureScheduleAhead() {
    if (!measuresLoudness()) return;
    std::vector<std::string> stored;
    for (int row = 1; row < table_.sgJM.rowCount(); ++row) {
        const std::string& file = table_.sgJM.cell(kColFile, row);
        if (!file.empty()) stored.push_back(file);
    }
    auto natives = std::make_shared<std::vector<std::string>>();
    std::weak_ptr<Station*> alive = alive_;
    work().run(
        [natives, stored = std::move(stored), resolver = resolver_] {
            for (const std::string& file : stored) natives->push_back(resolver.resolve(file));
        },
        kResolveBound,
        [alive, natives](BackgroundWork::Outcome outcome) {
            const auto self = alive.lock();
            if (!self || !*self || outcome != BackgroundWork::Outcome::Done) return;
            (*self)->ports_.loudness->measureAhead(
                *natives, [alive](const std::string& native, const LoudnessFacts& facts) {
                    const auto station = alive.lock();
                    if (station && *station) (*station)->noteLoudness(native, facts);
                });
        });
}

ScheduleIoOptions Station::scheduleIoOptions(ScheduleProgressView* progress) {
    ScheduleIoOptions options;
    options.settingsFile = settings_.file();
    options.keepMessage = settings_.chkKeepMessage();
    options.pump = ports_.pump;
    options.progress = progress;
    options.holder = &scheduleWindowSize;
    return options;
}

std::string Station::todayScheduleFile() const {
    return TodayScheduleFile(ports_.paths, ports_.clock->now());
}

void Station::loadTodaySchedule() {
    table_.CurrentSchedulePath = todayScheduleFile();
    OpenSchedule(table_.CurrentSchedulePath);
}

void Station::createChannels() {
    // The output keeps pulling the mixer by the clock while its device is lost, and re-opens it.
    mixer_->OnDeviceLost = [this](const std::string&) {
        ++deviceLosses_;
        deviceLost_ = true;
        log_.LogLine(Gbk("播出设备失效，按时钟继续播出"));
    };
    mixer_->OnDeviceRestored = [this] {
        deviceLost_ = false;
        log_.LogLine(Gbk("播出设备已恢复"));
    };
    for (auto& ch : state_.PlayoutChannels) {
        ch = &mixer_->AddChannel();
        ch->OnFadeEnd = [this](TcbDSMixerChannel& sender) { items_.onFadeEnd(sender); };
        ch->OnEnd = [this](TcbDSMixerChannel& sender) { items_.onNaturalEnd(sender); };
        ch->OnStarved = [this](TcbDSMixerChannel& sender) {
            log_.LogLine(Gbk("缓冲补充迟到，以静音代替:<") + ChannelFileName(state_, sender) + ">");
        };
    }
    state_.PlayoutChannels[kChimeChannel]->OnEnd = nullptr;
    state_.PlayoutChannels[kMeasureChannel]->OnFadeEnd = nullptr;
}

void Station::freeChannels() {
    meters_.reset();
    for (TcbDSMixerChannel* ch : state_.PlayoutChannels) {
        if (!ch) continue;
        ch->OnFadeEnd = nullptr;
        ch->OnEnd = nullptr;
        ch->Stop();
        mixer_->FreeChannel(*ch);
    }
    state_.forgetChannels();
}

void Station::setTimersEnabled(bool enabled) {
    tmCheckPlay_->setEnabled(enabled);
    timer1_->setEnabled(enabled);
    tmInvs_->setEnabled(enabled);
}

void Station::changeOutputDevice(int index) {
    // The item on air goes with its channel and nothing restarts: the fallback fills the gap.
    const bool wasOnAir = meantOnAir() && state_.CurrentChannel &&
                          state_.CurrentChannel->State() == ChannelState::Playing;
    settings_.setCbDevID(index);
    setTimersEnabled(false);
    delay_.Delay(1100);
    // The old device sounded until now: a silence of the new one starts here, and nothing is
    // acted on in the middle of the change.
    deadAir_.observe(ports_.clock->tickUs() / 1000, mixer_->TakeOutputPeak(), meantOnAir(),
                     [](int) { return true; });
    // The item on air is forgotten with its channel: the as-run file must not show it on air
    // until the next start on that channel.
    asRun_.closeAll();
    freeChannels();
    mixer_.reset();
    mixer_ = std::make_unique<TcbDSMixer>(ports_.audio);
    mixer_->SetDeviceIndex(index);
    createChannels();
    setTimersEnabled(true);
    if (wasOnAir) fallback_.fill();
}

void Station::writeCloseKeys() {
    PostSettingsKeys(files_, settings_.file(), Gbk("主窗口"),
                     {{"Left", std::to_string(playerLeft)}, {"Top", std::to_string(playerTop)}});
    postResumeKeys({{std::string(CrashResume::kCleanCloseKey), "YES"}});
}

void Station::writeResumeKeys() {
    postResumeKeys({});
}

void Station::postResumeKeys(IniKeys more) {
    // Queued behind the resume keys of the item starts, so that theirs never land after these;
    // the operator's command waits for them, as it waits for the schedule it saved.
    IniKeys keys{{"LastJMFile", Utf8ToGbk(table_.CurrentSchedulePath)},
                 {"LastJMPos", std::to_string(table_.PlayingRow)},
                 {"LastDate", FormatDate(ports_.clock->now(), true)}};
    keys.insert(keys.end(), more.begin(), more.end());
    PostSettingsKeys(files_, settings_.file(), "START", std::move(keys));
    files_.flush(FileWriteQueue::kCloseBound);
}

}  // namespace pelvano::core
