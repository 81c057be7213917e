#pragma once
// Title and artist of an audio file for a new schedule row: from its ID3v2 or ID3v1 tag, else
// from its WMA header. UI thread.
#include "core/schedule/RowFillPorts.h"

namespace pelvano::core {

class FileTagTextReader : public TagTextReader {
  public:
    // Nothing for a missing or unreadable file and for one without a tag.
    std::optional<TitleArtist> readTitleArtist(const std::string& nativePath) override;
};

}  // namespace pelvano::core
