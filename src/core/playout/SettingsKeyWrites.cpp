#include "core/playout/SettingsKeyWrites.h"

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/FileWriteQueue.h"
#include "core/app/IniFile.h"

namespace pelvano::core {

void PostSettingsKeys(FileWriteQueue& files, const std::string& settingsFile, std::string section,
                      IniKeys keys) {
    files.post(settingsFile,
               Gbk("写入参数设置文件失败:<") + Utf8ToGbk(FileNameOf(settingsFile)) + ">",
               [file = settingsFile, section = std::move(section), keys = std::move(keys)](
                   std::string* error) { return IniWriteMany(file, section, keys, error); });
}

}  // namespace pelvano::core
