#include "core/app/ReadOnlyFiles.h"

#include <sys/stat.h>

#include "core/app/Encoding.h"
#include "core/app/NativePaths.h"

namespace pelvano::core {

namespace {

constexpr std::string_view kRefusal = "文件只读，未修改: ";

}  // namespace

bool IsMarkedReadOnly(const std::string& nativePath) {
    struct stat st {};
    return ::stat(nativePath.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

std::string ReadOnlyRefusal(std::string_view nativePath) {
    return std::string(kRefusal) + DisplayFormOfNativePath(nativePath);
}

std::string ReadOnlyRefusalGbk(std::string_view nativePath) {
    return Gbk(kRefusal) + StoredFormOfNativePath(nativePath);
}

}  // namespace pelvano::core
