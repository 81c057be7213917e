#include "core/playout/ItemStart.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/app/StoredPathResolver.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TMyDelay.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/AsRunLog.h"
#include "core/playout/ItemLevelling.h"
#include "core/playout/NowPlayingFile.h"
#include "core/playout/PlayProcessLog.h"
#include "core/playout/PlayerView.h"
#include "core/playout/ResumeWalk.h"
#include "core/playout/SettingsKeyWrites.h"
#include "core/ports/Clock.h"
#include "core/ports/TimerService.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

namespace {

bool isStopped(const TcbDSMixerChannel& ch) {
    return ch.State() == ChannelState::Stopped;
}

}  // namespace

std::string ChannelFileName(const PlayoutState& state, const TcbDSMixerChannel& channel) {
    for (std::size_t i = 0; i < state.PlayoutChannels.size(); ++i) {
        if (state.PlayoutChannels[i] == &channel && !state.StoredFileNames[i].empty())
            return state.StoredFileNames[i];
    }
    return StoredFormOfNativePath(FileNameOf(channel.FileName()));
}

ItemTimes ItemStart::ItemTimesOf(int row) const {
    const Grid& grid = c_.table.sgJM;
    ItemTimes t;
    t.tOver = std::max(0, StrToIntDef(grid.cell(kColCross, row), c_.settings.spOver()));
    t.tIn = std::clamp(StrToIntDef(grid.cell(kColFadeIn, row), c_.settings.spIN()), 0, 59);
    t.tOut = std::clamp(StrToIntDef(grid.cell(kColFadeOut, row), c_.settings.spOut()), 0, 59);
    return t;
}

ItemStart::ItemStart(PlayoutContext& context, ItemPreparer& preparer)
    : c_(context), preparer_(preparer) {
    preparer_.onSettled = [this](const std::string& storedPath) { onPrepared(storedPath); };
    preparer_.onExactDuration = [this](const std::string& native, std::int64_t duration) {
        onExactDuration(native, duration);
    };
}

void ItemStart::PrepareRow(int row) {
    // An armed timed start holds its file already.
    if (row < 1 || row >= c_.table.sgJM.rowCount() || preparedRow() == row) return;
    preparer_.request(c_.table.sgJM.cell(kColFile, row));
}

void ItemStart::showLength(TcbDSMixerChannel& ch) {
    progressMaximum_ = ch.Length();
    c_.view.setProgressMaximum(ch.Length());
    c_.view.setLabel(PlayerLabel::plLength,
                     Format("%2.2d:%2.2d", ch.Length() / 60000, (ch.Length() / 1000) % 60));
}

void ItemStart::completeStart(int row, const std::string& storedPath) {
    try {
        if (!startItem(row, storedPath)) return;
    } catch (const std::exception& e) {
        markUnplayable(row);
        LogStartFailure(row, e.what());
        throw;
    }
    const Grid& grid = c_.table.sgJM;
    c_.state.Unplayable.clear();
    c_.view.setProgressVisible(true);
    std::string title = grid.cell(kColTitle, row);
    if (!grid.cell(kColArtist, row).empty()) title += " - " + grid.cell(kColArtist, row);
    c_.view.setApplicationTitle(title);
    c_.view.setProgressCaption(title);
    if (c_.lyrics.chkPlaySongText()) c_.lyrics.itemStarted(c_.state.CurrentChannel->FileName());
    c_.lyrics.setDisplayVisible(c_.lyrics.chkPlaySongText());
    announce(row);
}

bool ItemStart::startItem(int row, const std::string& storedPath) {
    PlayoutState& s = c_.state;
    TcbDSMixerChannel& ch = freeItemChannel();
    // A prepared timed start is taken over as it is; any other start replaces it.
    const bool adopted = prepared_ && prepared_->row == row &&
                         prepared_->storedPath == storedPath && prepared_->channel == &ch;
    if (prepared_ && !adopted) CancelPreparedStart();
    const std::optional<std::int64_t> armedUs =
        adopted ? std::optional<std::int64_t>(prepared_->dueUs) : std::nullopt;
    prepared_.reset();
    s.PreviousTimes = s.times();
    const ItemTimes t = ItemTimesOf(row);
    s.tOver = t.tOver;
    s.tIn = t.tIn;
    s.tOut = t.tOut;
    c_.log.LogLine(Gbk("计算新播放节目的时间参数tOver,tIn,tOut: 【") +
                   Format("%d-%d-%d", t.tOver, t.tIn, t.tOut) + Gbk("】"));
    const std::string name = FileNameOf(storedPath);
    const bool onA = &ch == s.PlayoutChannels[kItemChannelA];
    if (!adopted) {
        ItemPreparer::Taken file = preparer_.take(storedPath);
        if (file.state != ItemPreparer::State::Ready) {
            failStart(row, file);
            return false;
        }
        ch.SetReader(std::move(file.reader));
        LevelItem(c_, ch, file.loudness);
    }
    s.StoredFileNames[onA ? kItemChannelA : kItemChannelB] = name;
    ch.SetPan(c_.tbPan);
    const std::int64_t into = playFrom(ch, t, name, armedUs);
    const LocalDateTime now = c_.clock.now();
    const std::int64_t began =
        std::max<std::int64_t>(0, now.secondsOfDay() * 1000LL + now.millisecond - into);
    startedAt_ = FormatTimeOfDayMs(began);
    showLength(ch);
    c_.view.setProgressPosition(static_cast<int>(std::max<std::int64_t>(0, into)));
    s.CurrentChannel = &ch;
    if (c_.asRun) {
        const Grid& grid = c_.table.sgJM;
        AsRunItem item{row, grid.cell(kColTitle, row), grid.cell(kColArtist, row), storedPath,
                       std::nullopt};
        item.dueUs = timedDueUs_;
        c_.asRun->started(onA ? 0 : 1, ch, item);
    }
    return true;
}

std::int64_t ItemStart::playFrom(TcbDSMixerChannel& ch, const ItemTimes& t, const std::string& name,
                                 std::optional<std::int64_t> armedUs) {
    if (offset_) {
        const std::int64_t into = std::clamp<std::int64_t>(
            offset_->offsetMs + (c_.clock.tickUs() - offset_->atUs) / 1000, 0, ch.Length());
        ch.SetPosition(static_cast<std::int32_t>(into));
        ch.SetVolume(kFadeInStartLevel);
        ch.Play();
        ch.Fade(kResumeFadeInMs, c_.tbVol);
        c_.log.LogLine(Gbk("播放成功并淡入: [") + std::to_string(kResumeFadeInMs) + Gbk("]毫秒,<") +
                       name + ">");
        return into;
    }
    if (!armedUs) PlayWithFadeIn(ch, t.tIn, c_.tbVol);
    if (t.tIn < 1) {
        c_.log.LogLine(Gbk("播放成功无淡入: <") + name + ">");
    } else {
        c_.log.LogLine(Gbk("播放成功并淡入: [") + std::to_string(t.tIn * 1000) + Gbk("]毫秒,<") +
                       name + ">");
    }
    // An armed start sounded from its second, which the tick may have followed a little.
    return armedUs ? (c_.clock.tickUs() - *armedUs) / 1000 : 0;
}

void ItemStart::failStart(int row, const ItemPreparer::Taken& file) {
    switch (file.state) {
        case ItemPreparer::State::Failed:
            throw std::runtime_error(file.error);
        case ItemPreparer::State::TimedOut:
            markUnplayable(row);
            c_.log.LogLine(Gbk("打开文件超时[序号") + std::to_string(row) + "]," +
                           FileNameOf(c_.table.sgJM.cell(kColFile, row)));
            break;
        default:
            markUnplayable(row);
            LogStartFailure(row, Gbk("文件不存在"));
            break;
    }
    c_.view.setProgressCaption(Gbk("播放失败[序号") + std::to_string(row) + "]," +
                               c_.table.sgJM.cell(kColTitle, row));
}

void ItemStart::onPrepared(const std::string& storedPath) {
    if (!waiting_ || waiting_->storedPath != storedPath) return;
    const WaitingStart w = *std::exchange(waiting_, std::nullopt);
    // The schedule changed under the waiting start: it is dropped with its file.
    if (c_.table.PlayingRow != w.row || c_.table.sgJM.cell(kColFile, w.row) != storedPath) {
        preparer_.take(storedPath);
        return;
    }
    timedDueUs_ = w.dueUs;
    offset_ = w.offset;
    struct Forget {
        std::optional<std::int64_t>& due;
        std::optional<StartOffset>& offset;
        PlayerView& view;
        ~Forget() {
            due.reset();
            offset.reset();
            view.repaintSchedule();
        }
    } forget{timedDueUs_, offset_, c_.view};
    completeStart(w.row, storedPath);
    postResumeKeys(w.row, FormatDate(c_.clock.now(), true));
}

void ItemStart::postResumeKeys(int row, const std::string& date) {
    PostSettingsKeys(c_.fileWrites, c_.settings.file(), "START",
                     {{"LastJMPos", std::to_string(row)},
                      {"LastDate", date},
                      {std::string(kStartedAtKey), startedAt_},
                      {"LastJMFile", Utf8ToGbk(c_.table.CurrentSchedulePath)}});
}

void ItemStart::onExactDuration(const std::string& native, std::int64_t duration) {
    for (const int i : {kItemChannelA, kItemChannelB}) {
        TcbDSMixerChannel* ch = c_.state.PlayoutChannels[i];
        if (!ch || ch->FileName() != native) continue;
        ch->SetExactDuration(native, duration);
        if (ch == c_.state.CurrentChannel) showLength(*ch);
    }
}

void ItemStart::StartSelectedRowFrom(std::int64_t offsetMs) {
    offset_ = StartOffset{offsetMs, c_.clock.tickUs()};
    struct Forget {
        std::optional<StartOffset>& offset;
        ~Forget() { offset.reset(); }
    } forget{offset_};
    StartSelectedRow();
}

void ItemStart::StartTimedRow(std::int64_t dueUs) {
    timedDueUs_ = dueUs;
    struct Forget {
        std::optional<std::int64_t>& due;
        ~Forget() { due.reset(); }
    } forget{timedDueUs_};
    StartSelectedRow();
}

TcbDSMixerChannel& ItemStart::freeItemChannel() const {
    return FreeItemChannel(c_.state);
}

TcbDSMixerChannel& FreeItemChannel(const PlayoutState& s) {
    return s.CurrentChannel == s.PlayoutChannels[kItemChannelA] ? *s.PlayoutChannels[kItemChannelB]
                                                                : *s.PlayoutChannels[kItemChannelA];
}

void PlayWithFadeIn(TcbDSMixerChannel& ch, int fadeInSeconds, int volume) {
    if (fadeInSeconds < 1) {
        ch.SetVolume(volume);
        ch.Play();
        return;
    }
    ch.SetVolume(kFadeInStartLevel);
    ch.Play();
    ch.Fade(static_cast<std::uint32_t>(fadeInSeconds) * 1000, volume);
}

bool ItemStart::PrepareTimedStart(int row, std::int64_t dueUs, bool takeSoundingChannel) {
    if (prepared_ && prepared_->row == row && prepared_->dueUs == dueUs) return true;
    if (prepared_) CancelPreparedStart();
    // Only a file opened ahead is armed: the start at its second deals with any other.
    const std::string storedPath = c_.table.sgJM.cell(kColFile, row);
    preparer_.request(storedPath);
    if (preparer_.state(storedPath) != ItemPreparer::State::Ready) return false;
    TcbDSMixerChannel& ch = freeItemChannel();
    if (ch.State() != ChannelState::Stopped) {
        if (!takeSoundingChannel) return false;
        recordEnd(ch, false);
        ch.Stop();
        c_.log.LogLine(Gbk("播放淡出停止:<") + ChannelFileName(c_.state, ch) + ">");
    }
    TcbDSMixerChannel* current = c_.state.CurrentChannel;
    const ItemTimes t = ItemTimesOf(row);
    try {
        ItemPreparer::Taken file = preparer_.take(storedPath);
        ch.SetReader(std::move(file.reader));
        LevelItem(c_, ch, file.loudness);
        ch.SetPan(c_.tbPan);
        ch.SetVolume(t.tIn < 1 ? c_.tbVol : kFadeInStartLevel);
        ch.PlayAt(dueUs);
        if (t.tIn >= 1)
            ch.FadeAt(static_cast<std::uint64_t>(dueUs / 1000),
                      static_cast<std::uint32_t>(t.tIn) * 1000, c_.tbVol);
        if (current && current->State() == ChannelState::Playing) {
            current->FadeAt(static_cast<std::uint64_t>(dueUs / 1000),
                            static_cast<std::uint32_t>(c_.settings.spOut()) * 1000, kFadeOutLevel);
        } else {
            current = nullptr;
        }
    } catch (const std::exception&) {
        // The start at its second meets the same failure and reports it as always.
        ch.Stop();
        return false;
    }
    prepared_ = PreparedStart{row, storedPath, &ch, current, dueUs};
    // The channel now holds the armed start, no longer the item that ended on it: the end fade
    // of a previous item must not take it for that item and fade it out.
    if (c_.state.PreviousChannel == &ch) c_.state.PreviousChannel = nullptr;
    return true;
}

std::optional<int> ItemStart::preparedRow() const {
    if (!prepared_) return std::nullopt;
    return prepared_->row;
}

void ItemStart::CancelPreparedStart() {
    if (!prepared_) return;
    prepared_->channel->Stop();
    // The item on air plays on as if nothing had been prepared.
    if (prepared_->fadedChannel)
        prepared_->fadedChannel->CancelFadeAt(static_cast<std::uint64_t>(prepared_->dueUs / 1000));
    prepared_.reset();
}

void ItemStart::StartSelectedRow() {
    ScheduleTable& table = c_.table;
    const Grid& grid = table.sgJM;
    table.PlayingRow = grid.currentRow();
    const int row = table.PlayingRow;
    const std::string date = FormatDate(c_.clock.now(), true);
    if (c_.tmCheckPlay) c_.tmCheckPlay->setEnabled(false);
    c_.log.LogLine(PlayProcessLog::minusRule());
    // The scheduler must run again whatever happens, even when the engine refuses the file.
    // The resume keys go to the write queue once the sound has started, whatever happens.
    startedAt_.clear();
    struct RestartScheduler {
        ItemStart& items;
        int row;
        const std::string& date;
        ~RestartScheduler() {
            items.postResumeKeys(row, date);
            if (items.c_.tmCheckPlay) items.c_.tmCheckPlay->setEnabled(true);
            items.c_.view.repaintSchedule();
        }
    } restart{*this, row, date};
    // Any start replaces one that waits for its file.
    waiting_.reset();
    PlayoutState& s = c_.state;
    s.Paused = false;
    s.StopRequested = false;
    const std::string storedPath = grid.cell(kColFile, row);
    // A start armed for this row is taken over; any other is called off (its file stays with
    // its channel, so this row's file is opened anew).
    const bool armed = prepared_ && prepared_->row == row && prepared_->storedPath == storedPath &&
                       prepared_->channel == &freeItemChannel();
    if (prepared_ && !armed) CancelPreparedStart();
    const ItemPreparer::State known = preparer_.state(storedPath);
    const bool missing =
        known == ItemPreparer::State::Missing || (known == ItemPreparer::State::Absent && !armed &&
                                                  !FileExists(c_.resolver.resolve(storedPath)));
    if (missing) {
        preparer_.take(storedPath);
        failStart(row, {});
        return;
    }
    if (s.CurrentChannel) s.PreviousChannel = s.CurrentChannel;
    c_.log.LogLine(Gbk("开始准备播放:<") + FileNameOf(storedPath) + Gbk(">【节目:") +
                   std::to_string(row) + Gbk("】"));
    if (!armed) {
        preparer_.request(storedPath);
        if (preparer_.state(storedPath) == ItemPreparer::State::Pending) {
            waiting_ = WaitingStart{row, storedPath, timedDueUs_, offset_};
            return;
        }
    }
    completeStart(row, storedPath);
}

void ItemStart::announce(int row) {
    if (!c_.nowPlaying) return;
    const Grid& grid = c_.table.sgJM;
    const NowPlayingItem item{row, GbkToUtf8(grid.cell(kColTitle, row)),
                              GbkToUtf8(grid.cell(kColArtist, row)),
                              GbkToUtf8(grid.cell(kColFile, row)),
                              timedDueUs_.value_or(c_.clock.tickUs()),
                              c_.state.CurrentChannel->Length()};
    c_.nowPlaying->itemStarted(item, FileNameOf(c_.table.CurrentSchedulePath));
}

void ItemStart::markUnplayable(int row) {
    c_.state.Unplayable.add(row);
    ++failedStarts_;
}

void ItemStart::LogStartFailure(int row, const std::string& reason) {
    c_.log.LogLine(Gbk("播放失败[序号") + std::to_string(row) + "],<" +
                   FileNameOf(c_.table.sgJM.cell(kColFile, row)) + ">: " + reason);
}

void ItemStart::FadeOutCurrentItem() {
    TcbDSMixerChannel* current = c_.state.CurrentChannel;
    if (!current) return;
    const int ms = c_.settings.spOut() * 1000;
    // At its second, a prepared timed start's fade armed for it is this fade-out: it stays even
    // when the prepared start is not taken over. Before the second, the item fades now.
    if (prepared_ && prepared_->fadedChannel == current && c_.clock.tickUs() >= prepared_->dueUs)
        prepared_->fadedChannel = nullptr;
    else
        current->Fade(static_cast<std::uint32_t>(ms), kFadeOutLevel);
    c_.log.LogLine(Gbk("当前节目开始淡出: [") + std::to_string(ms) + Gbk("]毫秒,<") +
                   ChannelFileName(c_.state, *current) + ">");
}

void ItemStart::btnPlayClick() {
    if (!c_.settings.chkManOper()) return;
    TcbDSMixerChannel* current = c_.state.CurrentChannel;
    if (current && current->State() == ChannelState::Playing) {
        current->Fade(static_cast<std::uint32_t>(c_.settings.spOut()) * 1000, kFadeOutLevel);
    }
    c_.state.Unplayable.clear();
    StartSelectedRow();
}

void ItemStart::btnPauseClick() {
    TcbDSMixerChannel* current = c_.state.CurrentChannel;
    if (!c_.settings.chkManOper() || !current || isStopped(*current)) return;
    if (c_.state.Paused) {
        current->Play();
        current->Fade(1000, c_.tbVol);
        c_.state.Paused = false;
    } else {
        current->Fade(1000, kDipLevel);
        c_.state.Paused = true;
    }
}

void ItemStart::btnStopClick() {
    c_.state.StopRequested = true;
    TcbDSMixerChannel* current = c_.state.CurrentChannel;
    if (!c_.settings.chkManOper() || !current || isStopped(*current)) return;
    current->Fade(1000, kFadeOutLevel);
}

void ItemStart::PBMouseUp(int x, int width) {
    TcbDSMixerChannel* current = c_.state.CurrentChannel;
    if (!c_.settings.chkChangePB() || !current || isStopped(*current) || width <= 0) return;
    // The wait processes events: a tick may start another item meanwhile, so the seek stays
    // with the channel it began on.
    TcbDSMixerChannel& ch = *current;
    ch.Fade(100, kDipLevel);
    c_.delay.Delay(100);
    ch.Pause();
    const auto target = static_cast<std::int32_t>(static_cast<long long>(std::clamp(x, 0, width)) *
                                                  progressMaximum_ / width);
    ch.SetPosition(target);
    ch.Play();
    ch.Fade(600, c_.tbVol);
    if (c_.lyrics.chkPlaySongText()) c_.lyrics.LyricSeek(target);
}

void ItemStart::recordEnd(TcbDSMixerChannel& ch, bool natural) {
    if (!c_.asRun) return;
    const PlayoutState& s = c_.state;
    const int channel = &ch == s.PlayoutChannels[kItemChannelA]   ? 0
                        : &ch == s.PlayoutChannels[kItemChannelB] ? 1
                                                                  : -1;
    if (channel < 0) return;
    AsRunEnd how = s.StopRequested ? AsRunEnd::Stopped : AsRunEnd::Faded;
    if (natural) how = ch.EndError().empty() ? AsRunEnd::Natural : AsRunEnd::Error;
    c_.asRun->ended(channel, how);
}

void ItemStart::onFadeEnd(TcbDSMixerChannel& ch) {
    const std::string name = ChannelFileName(c_.state, ch);
    if (!isStopped(ch)) {
        if (ch.Volume() <= kFadeOutLevel) {
            recordEnd(ch, false);
            ch.Stop();
            c_.log.LogLine(Gbk("播放淡出停止:<") + name + ">");
            c_.state.FadeOutStarted = false;
        }
        if (c_.state.Paused) {
            ch.Pause();
            c_.log.LogLine(Gbk("播放淡出暂停:<") + name + ">");
        }
    }
    if (ch.Volume() <= kFadeOutLevel) {
        c_.log.LogLine(Gbk("淡出结束：") + name);
        c_.state.FadeOutStarted = false;
    } else {
        c_.log.LogLine(Gbk("淡入结束：") + name);
    }
}

void ItemStart::onNaturalEnd(TcbDSMixerChannel& ch) {
    recordEnd(ch, true);
    if (c_.state.PlayoutHold) return;
    c_.log.LogLine(Gbk("自然结束播放: ") + ChannelFileName(c_.state, ch));
    c_.state.FadeOutStarted = false;
}

}  // namespace pelvano::core
