#include "core/playout/NowPlayingFile.h"

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/FileWriteQueue.h"
#include "core/app/JsonText.h"
#include "core/app/TextHelpers.h"
#include "core/playout/ClockTimes.h"

namespace pelvano::core {

std::string NowPlayingJson(const NowPlayingItem& item, const LocalDateTime& started,
                           const std::string& scheduleName) {
    const std::string startedText = FormatDate(started, true) + "T" + NowHmsMs(started);
    return "{\n  \"title\": " + JsonQuoted(item.title) +
           ",\n  \"artist\": " + JsonQuoted(item.artist) +
           ",\n  \"file\": " + JsonQuoted(item.file) + ",\n  \"row\": " + std::to_string(item.row) +
           ",\n  \"started\": " + JsonQuoted(startedText) + ",\n  \"length\": " +
           Format("%lld.%03lld", static_cast<long long>(item.lengthMs / 1000),
                  static_cast<long long>(item.lengthMs % 1000)) +
           ",\n  \"schedule\": " + JsonQuoted(scheduleName) + "\n}\n";
}

NowPlayingFile::NowPlayingFile(const Clock& clock, FileWriteQueue& files, std::string folder,
                               NowPlayingListener* listener)
    : clock_(clock), files_(files), folder_(std::move(folder)), listener_(listener) {}

void NowPlayingFile::itemStarted(const NowPlayingItem& item, const std::string& scheduleName) {
    current_ = item;
    const std::string json =
        NowPlayingJson(item, LocalTimeAt(clock_, item.startedAtUs), scheduleName);
    files_.post(path(), Gbk("写入正在播出文件失败:<") + Utf8ToGbk(kFileName) + ">",
                [path = path(), json](std::string* error) {
                    return WriteFileAtomically(path, json, error);
                });
    if (listener_) listener_->nowPlaying(item);
}

}  // namespace pelvano::core
