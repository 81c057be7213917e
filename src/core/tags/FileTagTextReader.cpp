#include "core/tags/FileTagTextReader.h"

#include "core/app/FileHelpers.h"
#include "core/tags/TID3v2Tag.h"
#include "core/tags/TWma_Tag.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

std::optional<TitleArtist> FileTagTextReader::readTitleArtist(const std::string& nativePath) {
    if (!FileExists(nativePath)) return std::nullopt;
    try {
        TID3v2Tag id3;
        id3.ReadFromFile(nativePath);
        if (id3.Exists || id3.ExistsV1) return TitleArtist{id3.Title, id3.Artist};
        TWma_Tag wma;
        if (wma.ReadFromFile(nativePath)) return TitleArtist{wma.Title, wma.Author};
    } catch (const TagFileError&) {
        // A file the engine could measure but we cannot read is simply shown untagged.
    }
    return std::nullopt;
}

}  // namespace pelvano::core
