#include "core/playout/PlayProcessLog.h"

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/FileWriteQueue.h"
#include "core/app/TextHelpers.h"
#include "core/ports/Clock.h"

namespace pelvano::core {

void LogWindowModel::add(const std::string& line) {
    lines_.push_back(line);
    if (view_) view_->appendLine(line);
    if (tap_) tap_(line);
    // Past the limit the memo starts afresh: even the line that crossed it is not shown.
    if (lines_.size() > kMaxLines) clear();
}

void LogWindowModel::clear() {
    lines_.clear();
    if (view_) view_->clear();
}

PlayProcessLog::PlayProcessLog(const Clock& clock, std::function<bool()> recording,
                               FileWriteQueue& files)
    : clock_(clock), recording_(std::move(recording)), files_(files) {}

void PlayProcessLog::LogLine(const std::string& message) {
    if (!window_) return;
    window_->add(NowHmsMs(clock_.now()) + ": " + message);
    if (recording_ && recording_() && !dayFile_.empty()) {
        files_.appendLine(dayFile_, NowHms(clock_.now()) + ": " + message,
                          Gbk("写入播放记录失败:<") + Utf8ToGbk(FileNameOf(dayFile_)) + ">");
    }
}

const std::string& PlayProcessLog::equalsRule() {
    static const std::string rule(51, '=');
    return rule;
}

const std::string& PlayProcessLog::minusRule() {
    static const std::string rule(51, '-');
    return rule;
}

}  // namespace pelvano::core
