#pragma once
// One rule for every rewrite of an operator's file (tags, lyrics): a file without write
// permission for its owner is left exactly as it is. The owner's mark counts, not whether this
// process could write the file, so a station run as root respects it too. Any thread.
#include <string>
#include <string_view>

namespace pelvano::core {

// The file exists and its owner may not write it.
bool IsMarkedReadOnly(const std::string& nativePath);
// What the operator is told: "文件只读，未修改: " and the path, in UTF-8 with the path as the
// operator reads it, or in the stored code page (GBK) with the path's stored form.
std::string ReadOnlyRefusal(std::string_view nativePath);
std::string ReadOnlyRefusalGbk(std::string_view nativePath);

}  // namespace pelvano::core
