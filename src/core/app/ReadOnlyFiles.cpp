#include "core/app/ReadOnlyFiles.h"

#include <sys/stat.h>

namespace pelvano::core {

bool IsMarkedReadOnly(const std::string& nativePath) {
    struct stat st {};
    return ::stat(nativePath.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

std::string ReadOnlyRefusal(std::string_view path) {
    return "文件只读，未修改: " + std::string(path);
}

}  // namespace pelvano::core
