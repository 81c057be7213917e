#include "core/playout/CrashResume.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/app/StoredPathResolver.h"
#include "core/app/TextHelpers.h"
#include "core/audio/TcbAudioFileReader.h"
#include "core/audio/WaveFormat.h"
#include "core/playout/PlayProcessLog.h"
#include "core/playout/PlayoutState.h"
#include "core/playout/SettingsKeyWrites.h"
#include "core/ports/Clock.h"
#include "core/schedule/ScheduleTable.h"
#include "core/schedule/StationSettings.h"

namespace pelvano::core {

namespace {

std::int64_t msOfDay(const LocalDateTime& t) {
    return t.secondsOfDay() * 1000LL + t.millisecond;
}

}  // namespace

std::optional<std::int64_t> MeasureItemLength(std::unique_ptr<AudioSource> source,
                                              const std::string& native) {
    if (!source || native.empty() || !FileExists(native)) return std::nullopt;
    try {
        TcbAudioFileReader reader(std::move(source), native);
        std::int64_t duration = reader.Duration();
        if (const auto count = reader.ExactDurationJob()) {
            if (const auto exact = count()) duration = *exact;
        }
        return duration / kStreamTimePerMs;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

CrashResume::CrashResume(PlayoutContext& context, ItemStart& items, BackgroundWork& work,
                         AudioSourceFactory& sources)
    : c_(context),
      items_(items),
      work_(work),
      sources_(sources),
      alive_(std::make_shared<CrashResume*>(this)) {}

CrashResume::~CrashResume() {
    *alive_ = nullptr;
}

WalkSchedule CrashResume::walkSchedule() const {
    const Grid& grid = c_.table.sgJM;
    WalkSchedule s;
    s.rows.resize(static_cast<std::size_t>(grid.rowCount()));
    for (int row = 1; row < grid.rowCount(); ++row) {
        s.rows[row].crossSeconds = items_.ItemTimesOf(row).tOver;
        s.rows[row].hasStartTime = grid.cell(kColStartTime, row).find(':') != std::string::npos;
    }
    if (c_.settings.chkTimedPlay()) s.timed = c_.table.TimedStartList;
    s.loops = {c_.settings.chkSectCycle(), c_.settings.chkAllCycle()};
    return s;
}

bool CrashResume::begin(std::chrono::milliseconds bound) {
    const std::string& ini = c_.settings.file();
    const bool clean = IsYes(IniRead(ini, "START", kCleanCloseKey));
    // No key counts as unclean: a settings file without it is left as it is.
    if (clean) {
        PostSettingsKeys(c_.fileWrites, ini, "START", {{std::string(kCleanCloseKey), "NO"}});
        return false;
    }
    if (!c_.settings.chkManOper()) return false;
    const LocalDateTime now = c_.clock.now();
    const Grid& grid = c_.table.sgJM;
    const int row = grid.currentRow();
    const std::optional<std::int64_t> started =
        ParseTimeOfDayMs(IniRead(ini, "START", ItemStart::kStartedAtKey));
    if (!started || IniRead(ini, "START", "LastDate") != FormatDate(now, true) ||
        IniRead(ini, "START", "LastJMFile") != Utf8ToGbk(c_.table.CurrentSchedulePath) ||
        StrToIntDef(IniRead(ini, "START", "LastJMPos"), 0) != row || row < 1)
        return false;
    Pending pending{walkSchedule(), row, *started, FormatDate(now, true)};
    std::vector<std::string> storedPaths(static_cast<std::size_t>(grid.rowCount()));
    for (int r = 1; r < grid.rowCount(); ++r) storedPaths[r] = grid.cell(kColFile, r);
    // The job measures what a walk a little past its own end needs: the walk on the UI thread,
    // at the real start, finds every length it asks for.
    const std::int64_t horizonMs = msOfDay(now) + bound.count() + 1000;
    // The job owns all it uses, its sources made here: it may outlive the station when a
    // file hangs.
    struct Measuring {
        std::vector<std::unique_ptr<AudioSource>> sources;
        Lengths lengths;
    };
    auto measuring = std::make_shared<Measuring>();
    const std::size_t wanted = std::min<std::size_t>(kMaxMeasuredRows, storedPaths.size());
    for (std::size_t i = 0; i < wanted; ++i) measuring->sources.push_back(sources_.createSource());
    auto job = [measuring, pending, storedPaths = std::move(storedPaths), resolver = c_.resolver,
                horizonMs] {
        Measuring& m = *measuring;
        WalkToNow(pending.schedule, pending.row, pending.startedMs, horizonMs,
                  [&](int r) -> std::optional<std::int64_t> {
                      if (const auto known = m.lengths.find(r); known != m.lengths.end())
                          return known->second;
                      if (m.sources.empty()) return std::nullopt;
                      std::unique_ptr<AudioSource> source = std::move(m.sources.back());
                      m.sources.pop_back();
                      const auto length =
                          MeasureItemLength(std::move(source), resolver.resolve(storedPaths[r]));
                      if (length) m.lengths.emplace(r, *length);
                      return length;
                  });
    };
    std::weak_ptr<CrashResume*> alive = alive_;
    work_.run(std::move(job), bound, [alive, measuring, pending](BackgroundWork::Outcome outcome) {
        const auto self = alive.lock();
        if (!self || !*self) return;
        (*self)->finish(pending,
                        outcome == BackgroundWork::Outcome::Done ? measuring->lengths : Lengths{});
    });
    return true;
}

void CrashResume::finish(const Pending& pending, const Lengths& lengths) {
    ScheduleTable& table = c_.table;
    // Something went on air meanwhile (a timed row, the operator), or another schedule opened.
    if (table.PlayingRow != 0 || c_.state.CurrentChannel ||
        table.sgJM.rowCount() != static_cast<int>(pending.schedule.rows.size()))
        return;
    const LocalDateTime now = c_.clock.now();
    std::optional<ResumePoint> point;
    if (FormatDate(now, true) == pending.date) {
        point = WalkToNow(pending.schedule, pending.row, pending.startedMs, msOfDay(now),
                          [&lengths](int r) -> std::optional<std::int64_t> {
                              const auto known = lengths.find(r);
                              if (known == lengths.end()) return std::nullopt;
                              return known->second;
                          });
    }
    if (!point) {
        table.sgJM.setCurrentRow(pending.row);
        items_.btnPlayClick();
        return;
    }
    table.sgJM.setCurrentRow(point->row);
    const std::int64_t seconds = point->offsetMs / 1000;
    c_.log.LogLineKept(
        Gbk("异常退出后恢复播出：<") + FileNameOf(table.sgJM.cell(kColFile, point->row)) +
        Gbk("> 从 ") +
        Format("%2.2d:%2.2d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60)) +
        Gbk(" 开始"));
    c_.state.Unplayable.clear();
    items_.StartSelectedRowFrom(point->offsetMs);
}

}  // namespace pelvano::core
