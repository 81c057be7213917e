#include "core/tags/TagFileReplace.h"

#include "core/app/AtomicFile.h"
#include "core/app/Encoding.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

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
    if (audioStart > audioEnd || audioEnd > source.size())
        throw TagFileError("Cannot read file \"" + fileName + "\"");
    AtomicFileWriter writer(fileName);
    // The audio is copied by the kernel: the tag changes, the megabytes behind it need not pass
    // through this process.
    if (writer.write(tag)) writer.copyFrom(source.fd(), audioStart, audioEnd - audioStart);
    if (!writer.ok()) throw TagFileError(writer.error());

    TagSaveResult result;
    if (writer.commit()) {
        result.replaced = true;
        return result;
    }
    const std::string kept = TemporaryTagFileName(fileName);
    if (writer.keepAs(kept)) {
        result.resultPath = kept;
        result.message = Utf8ToGbk("不能修改源文件:" + fileName + "\n修改结果保存在文件:" + kept);
    } else {
        result.message = Utf8ToGbk("不能保存源文件:" + fileName + "\n" + writer.error());
    }
    return result;
}

}  // namespace pelvano::core
