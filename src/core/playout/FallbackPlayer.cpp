#include "core/playout/FallbackPlayer.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/app/StoredPathResolver.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/AsRunLog.h"
#include "core/playout/ItemLevelling.h"
#include "core/playout/ItemPreparer.h"
#include "core/playout/ItemStart.h"
#include "core/playout/NowPlayingFile.h"
#include "core/playout/PlayProcessLog.h"
#include "core/playout/PlayerView.h"
#include "core/playout/PlayoutState.h"
#include "core/playout/Scheduler.h"
#include "core/ports/BackgroundWork.h"
#include "core/ports/Clock.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

namespace {

// More than a scheduler tick past the cross-fade point: the item was not handed over.
constexpr int kCutShortMarginMs = 1000;

// The stored paths of the visible files of a folder, by name.
std::vector<std::string> StoredFilesOf(const std::string& native, const std::string& stored) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(native, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    const std::string prefix = stored.ends_with('/') || stored.ends_with('\\') ? stored : stored + "/";
    for (std::string& name : names) name = prefix + StoredFormOfNativePath(name);
    return names;
}

}  // namespace

FallbackPlayer::FallbackPlayer(PlayoutContext& context, ItemPreparer& preparer, ItemStart& items,
                               BackgroundWork& work)
    : c_(context),
      preparer_(preparer),
      items_(items),
      work_(work),
      random_(static_cast<std::mt19937::result_type>(context.clock.tickUs())),
      alive_(std::make_shared<FallbackPlayer*>(this)) {}

FallbackPlayer::~FallbackPlayer() {
    *alive_ = nullptr;
}

void FallbackPlayer::setFolder(const std::string& storedFolder) {
    if (storedFolder == folder_) return;
    folder_ = storedFolder;
    order_.clear();
    nextIndex_ = 0;
    next_.clear();
    barrenUntilUs_ = 0;
    if (enabled()) list();
}

void FallbackPlayer::list() {
    if (listing_) return;
    listing_ = true;
    auto found = std::make_shared<std::vector<std::string>>();
    auto job = [found, resolver = c_.resolver, folder = folder_] {
        *found = StoredFilesOf(resolver.resolve(folder), folder);
    };
    std::weak_ptr<FallbackPlayer*> alive = alive_;
    work_.run(std::move(job), preparer_.bound(), [alive, found](BackgroundWork::Outcome outcome) {
        const auto self = alive.lock();
        if (!self || !*self) return;
        (*self)->listed(outcome == BackgroundWork::Outcome::Done ? std::move(*found)
                                                                 : std::vector<std::string>{});
    });
}

void FallbackPlayer::listed(std::vector<std::string> storedPaths) {
    listing_ = false;
    order_ = std::move(storedPaths);
    nextIndex_ = 0;
    std::shuffle(order_.begin(), order_.end(), random_);
    // A new round does not begin with the file that ended the last one.
    if (order_.size() > 1 && order_.front() == lastPlayed_) std::swap(order_[0], order_[1]);
    if (order_.empty()) {
        barrenUntilUs_ = c_.clock.tickUs() + kBarrenRetryUs;
        wanted_ = false;
        return;
    }
    pickNext();
    tick();
}

void FallbackPlayer::pickNext() {
    if (nextIndex_ >= order_.size()) {
        next_.clear();
        list();
        return;
    }
    next_ = order_[nextIndex_++];
    preparer_.request(next_);
}

void FallbackPlayer::fill() {
    if (!enabled() || c_.clock.tickUs() < barrenUntilUs_) return;
    if (!wanted_) failuresInARow_ = 0;
    wanted_ = true;
    awaited_ = c_.state.CurrentChannel;
    if (next_.empty() && !listing_) pickNext();
    tick();
}

bool FallbackPlayer::mayStart() const {
    const PlayoutState& s = c_.state;
    return s.PlayoutChannels[kItemChannelA] && !s.Paused && !s.StopRequested && !s.PlayoutHold &&
           !items_.preparedRow() && !items_.startWaiting() && s.CurrentChannel == awaited_;
}

void FallbackPlayer::tick() {
    if (!wanted_) return;
    if (!mayStart()) {
        wanted_ = false;
        return;
    }
    while (!listing_ && wanted_) {
        // Every file of the folder failed in a row: it is left alone for a while.
        if (order_.empty() || failuresInARow_ >= static_cast<int>(order_.size())) {
            barrenUntilUs_ = c_.clock.tickUs() + kBarrenRetryUs;
            wanted_ = false;
            return;
        }
        if (next_.empty()) {
            pickNext();
            continue;
        }
        preparer_.request(next_);  // again when the preparer let it go
        switch (preparer_.state(next_)) {
            case ItemPreparer::State::Pending:
                return;
            case ItemPreparer::State::Ready:
                start(std::exchange(next_, {}));
                return;
            default:
                preparer_.take(next_);
                next_.clear();
                ++failuresInARow_;
                break;
        }
    }
}

void FallbackPlayer::start(const std::string& storedPath) {
    ItemPreparer::Taken file = preparer_.take(storedPath);
    PlayoutState& s = c_.state;
    TcbDSMixerChannel& ch = FreeItemChannel(s);
    const bool onA = &ch == s.PlayoutChannels[kItemChannelA];
    try {
        ch.SetReader(std::move(file.reader));
    } catch (const std::exception&) {
        ++failuresInARow_;
        return;
    }
    LevelItem(c_, ch, file.loudness);
    wanted_ = false;
    failuresInARow_ = 0;
    lastPlayed_ = storedPath;
    // An item cut short (dead air with nothing after it) fades out; one at its cross-fade point
    // fades by itself.
    if (TcbDSMixerChannel* replaced = s.CurrentChannel;
        replaced && replaced->State() == ChannelState::Playing &&
        RemainingMs(*replaced) > s.tOver * 1000 + kCutShortMarginMs) {
        items_.FadeOutCurrentItem();
    }
    s.PreviousTimes = s.times();
    s.tOver = std::max(0, c_.settings.spOver());
    s.tIn = std::clamp(c_.settings.spIN(), 0, 59);
    s.tOut = std::clamp(c_.settings.spOut(), 0, 59);
    if (s.CurrentChannel) s.PreviousChannel = s.CurrentChannel;
    const std::string name = FileNameOf(storedPath);
    s.StoredFileNames[onA ? kItemChannelA : kItemChannelB] = name;
    ch.SetPan(c_.tbPan);
    PlayWithFadeIn(ch, s.tIn, c_.tbVol);
    s.CurrentChannel = &ch;
    c_.log.LogLine(Gbk("播放备用节目：") + name);
    items_.showLength(ch);
    c_.view.setProgressPosition(0);
    const std::string title = BaseNameOf(name);
    c_.view.setProgressCaption(title);
    if (c_.asRun) c_.asRun->started(onA ? 0 : 1, ch, {0, title, {}, storedPath, std::nullopt, true});
    if (c_.nowPlaying) {
        c_.nowPlaying->itemStarted({0, GbkToUtf8(title), {}, GbkToUtf8(storedPath),
                                    c_.clock.tickUs(), ch.Length()},
                                   FileNameOf(c_.table.CurrentSchedulePath));
    }
    pickNext();
}

}  // namespace pelvano::core
