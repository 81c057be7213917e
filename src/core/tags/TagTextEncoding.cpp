#include "core/tags/TagTextEncoding.h"

#include <algorithm>

#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"

namespace pelvano::core {

TagTextEncoding ReadTagTextEncoding(const std::string& settingsFile) {
    const std::string value = Trim(IniRead(settingsFile, "Linux", "TagTextEncoding"));
    return EqualsIgnoreCaseGbk(value, "GBK") ? TagTextEncoding::Gbk : TagTextEncoding::Unicode;
}

Id3v2TextForm FormForText(std::string_view gbk, TagTextEncoding setting) {
    if (setting == TagTextEncoding::Gbk) return Id3v2TextForm::Local;
    const bool ascii = std::all_of(gbk.begin(), gbk.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? Id3v2TextForm::Local : Id3v2TextForm::Utf16;
}

}  // namespace pelvano::core
