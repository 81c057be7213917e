#include "core/tags/TagTextEncoding.h"

#include <algorithm>

#include "core/app/Encoding.h"
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
    if (ascii) return Id3v2TextForm::Local;
    // Bytes that are not GB18030 (a damaged tag's text) have no UTF-16 form: they keep their
    // stored bytes rather than lose some of them.
    return Utf16LeToGbk(GbkToUtf16Le(gbk)) == gbk ? Id3v2TextForm::Utf16 : Id3v2TextForm::Local;
}

}  // namespace pelvano::core
