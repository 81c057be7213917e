#include "core/schedule/SettingsFileCheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/schedule/StreamSettings.h"

namespace pelvano::core {

std::vector<std::string> CheckSettingsFile(const std::string& path) {
    std::string bytes;
    std::string reason;
    if (ReadWholeFile(path, bytes, &reason) == ReadOutcome::Unreadable)
        return {Gbk("无法读取参数设置文件：") + Utf8ToGbk(path) + ": " + Utf8ToGbk(reason)};
    struct stat st {};
    if (LoadStreamSettings(path).Password.empty() || ::stat(path.c_str(), &st) != 0 ||
        (st.st_mode & 077) == 0) {
        return {};
    }
    if (::chmod(path.c_str(), st.st_mode & 07700) != 0) {
        return {Gbk("参数设置文件含推流密码，其他用户可读，无法更改权限：") + Utf8ToGbk(path) +
                ": " + Utf8ToGbk(std::strerror(errno))};
    }
    return {Gbk("参数设置文件含推流密码，已改为仅所有者可读写：") + Utf8ToGbk(path)};
}

}  // namespace pelvano::core
