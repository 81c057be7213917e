#include "core/tags/TagFileReplace.h"

#include <unistd.h>

#include <cstdio>

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

namespace {

// Gives the finished temporary file the name the operator is told, never replacing a file
// that is already there. The writer removes its own name afterwards.
bool keepUnder(const std::string& tempPath, const std::string& keptPath) {
    if (::link(tempPath.c_str(), keptPath.c_str()) == 0) return true;
    // Folders without hard links (FAT drives): a plain rename, when the name is free.
    return !FileExists(keptPath) && std::rename(tempPath.c_str(), keptPath.c_str()) == 0;
}

}  // namespace

std::string TemporaryTagFileName(const std::string& fileName) {
    const std::size_t nameStart = fileName.find_last_of('/') + 1;  // npos + 1 == 0
    const std::size_t dot = fileName.rfind('.');
    const std::string stem =
        dot != std::string::npos && dot >= nameStart ? fileName.substr(0, dot) : fileName;
    return stem + "-2.MP3";
}

TagSaveResult ReplaceTaggedFile(const std::string& fileName, std::string_view tag,
                                const TagFile& source, std::uint64_t audioStart,
                                std::uint64_t audioEnd) {
    AtomicFileWriter writer(fileName);
    if (writer.write(tag))
        source.copyRange(audioStart, audioEnd, [&writer](std::string_view block) {
            if (!writer.write(block)) throw TagFileError(writer.error());
        });
    if (!writer.ok()) throw TagFileError(writer.error());

    TagSaveResult result;
    if (writer.commit()) {
        result.replaced = true;
        return result;
    }
    const std::string kept = TemporaryTagFileName(fileName);
    if (keepUnder(writer.tempPath(), kept)) {
        result.resultPath = kept;
        result.message = Utf8ToGbk("不能修改源文件:" + fileName + "\n修改结果保存在文件:" + kept);
    } else {
        result.message = Utf8ToGbk("不能保存源文件:" + fileName + "\n" + writer.error());
    }
    return result;
}

}  // namespace pelvano::core
