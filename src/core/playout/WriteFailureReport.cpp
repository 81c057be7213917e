#include "core/playout/WriteFailureReport.h"

#include "core/app/Encoding.h"
#include "core/app/FileWriteQueue.h"
#include "core/playout/PlayProcessLog.h"
#include "core/ports/Clock.h"

namespace pelvano::core {

void WriteFailureReport::poll() {
    for (const FileWriteQueue::Failure& failure : files_.takeFailures()) {
        const std::int64_t now = clock_.tickUs();
        const auto told = lastToldUs_.find(failure.file);
        if (told != lastToldUs_.end() && now - told->second < kQuietUs) continue;
        lastToldUs_[failure.file] = now;
        log_.LogLine(failure.message + ": " + Utf8ToGbk(failure.reason));
    }
}

}  // namespace pelvano::core
