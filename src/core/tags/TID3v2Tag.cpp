#include "core/tags/TID3v2Tag.h"

#include "core/app/ReadOnlyFiles.h"
#include "core/tags/Id3v2Layout.h"
#include "core/tags/Id3v2Text.h"
#include "core/tags/TagFile.h"

namespace pelvano::core {

namespace {

enum class Field { None, Comment, Album, Title, Artist, Year, Lyrics };

// Version 2 has three-letter identifiers; version 4 keeps the year in TDRC.
Field fieldOf(std::string_view id, int version) {
    struct Name {
        std::string_view v2, v3;
        Field field;
    };
    static constexpr Name kNames[] = {
        {"COM", "COMM", Field::Comment}, {"TAL", "TALB", Field::Album},
        {"TT2", "TIT2", Field::Title},   {"TP1", "TPE1", Field::Artist},
        {"TYE", "TYER", Field::Year},    {"TXX", "TXXX", Field::Lyrics},
    };
    for (const Name& name : kNames) {
        if (id == (version == 2 ? name.v2 : name.v3)) return name.field;
    }
    return version == 4 && id == "TDRC" ? Field::Year : Field::None;
}

std::size_t indexOf(Field field) {
    return static_cast<std::size_t>(field) - 1;
}

// The text of a plain text frame's field (const or not, for reading and for writing).
template <class Tag>
auto* plainText(Tag& tag, Field field) {
    switch (field) {
        case Field::Album:
            return &tag.Album;
        case Field::Title:
            return &tag.Title;
        case Field::Artist:
            return &tag.Artist;
        case Field::Year:
            return &tag.Year;
        default:
            return static_cast<decltype(&tag.Album)>(nullptr);
    }
}

constexpr std::uint32_t kLargestTag = (1u << 28) - 1;  // what 28 bits can count

// A frame of the old tag that the new tag carries over. Named TXXX values of other programs are
// not lyrics and stay. Version 2.4 frames are rewritten with the plain sizes of version 2.3;
// those whose format flags change their data cannot be carried over unchanged and are dropped.
void appendKeptFrame(std::string& kept, const Id3v2Frame& frame, int version) {
    if (frame.rawData.empty()) return;
    const Field field = fieldOf(frame.id, version);
    if (field == Field::Lyrics ? DecodeId3v2Lyrics(frame.data).has_value() : field != Field::None)
        return;
    if (version != 4) {
        kept += frame.rawHeader;
        kept += frame.rawData;
        return;
    }
    if ((frame.flags & 0xFF) != 0) return;
    kept += frame.id;
    kept += WriteBigEndian32(static_cast<std::uint32_t>(frame.rawData.size()));
    kept += static_cast<char>((frame.flags >> 7) & 0xE0);  // status flags, in their 2.3 places
    kept += '\0';
    kept += frame.rawData;
}

}  // namespace

TID3v2Tag::TID3v2Tag(TID3v1Tag* id3v1) : id3v1_(id3v1 ? id3v1 : &ownId3v1_) {}

void TID3v2Tag::clear() {
    Exists = ExistsV1 = false;
    TagSize = 0;
    Version = 0;
    Comment.clear();
    Album.clear();
    Title.clear();
    Artist.clear();
    Year.clear();
    Lyrics.clear();
    read_ = {};
}

Id3v2TextForm TID3v2Tag::formOf(std::size_t index, const std::string& text) const {
    const ReadText& read = read_[index];
    if (read.fromId3v2 && read.text == text) return read.form;
    return FormForText(text, TextEncoding);
}

namespace {

void appendFrame(std::string& frames, std::string_view id, std::string_view data) {
    frames += id;
    frames += WriteBigEndian32(static_cast<std::uint32_t>(data.size()));
    frames += std::string(2, '\0');
    frames += data;
}

}  // namespace

void TID3v2Tag::ReadFromFile(const std::string& fileName) {
    clear();
    const Id3v2Layout layout = InspectId3v2(TagFile(fileName));
    Exists = layout.hasTag;
    if (Exists) {
        TagSize = static_cast<std::int32_t>(layout.header.sizeValue);
        Version = layout.header.version;
        WalkId3v2Frames(layout.frameBytes, layout.header, [this](const Id3v2Frame& frame) {
            if (!frame.usable || frame.data.empty()) return;
            const Field field = fieldOf(frame.id, Version);
            bool taken = true;
            if (field == Field::Comment) {
                taken = Comment.empty();
                if (taken) Comment = DecodeId3v2Comment(frame.data);
            } else if (field == Field::Lyrics) {
                auto lyrics = DecodeId3v2Lyrics(frame.data);
                taken = lyrics.has_value();
                if (taken) Lyrics += *lyrics;
            } else if (std::string* text = plainText(*this, field)) {
                *text += DecodeId3v2Text(frame.data);
            } else {
                taken = false;
            }
            // A text of several frames is wide when any of them is.
            if (taken && FormOfFrame(frame.data) == Id3v2TextForm::Utf16)
                read_[indexOf(field)].form = Id3v2TextForm::Utf16;
        });
        const std::string* texts[kTextCount] = {&Comment, &Album, &Title, &Artist, &Year, &Lyrics};
        for (std::size_t i = 0; i < kTextCount; ++i) {
            read_[i].fromId3v2 = true;
            read_[i].text = *texts[i];
        }
        return;
    }
    id3v1_->ReadFromFile(fileName);
    ExistsV1 = id3v1_->Exists;
    if (!ExistsV1) return;
    TagSize = TID3v1Tag::kSize;
    Comment = id3v1_->Comment;
    Album = id3v1_->Album;
    Title = id3v1_->Title;
    Artist = id3v1_->Artist;
    Year = id3v1_->Year;
}

std::string TID3v2Tag::buildTag(const std::string& keptFrames) const {
    std::string frames;
    auto addFrames = [&frames](std::string_view id, std::string_view text, Id3v2TextForm form,
                               auto encode) {
        for (std::string_view piece : SplitForFrames(text, kFrameTextLimit, form))
            appendFrame(frames, id, encode(piece, form));
    };
    const Id3v2TextForm commentForm = formOf(indexOf(Field::Comment), Comment);
    if (Comment.empty()) {
    } else if (commentForm == Id3v2TextForm::Local) {
        // The older system's bytes: language and terminator count towards the first frame.
        addFrames("COMM", std::string("chi", 4) + Comment, commentForm, EncodeId3v2Text);
    } else {
        // One frame: a standard reader keeps one comment per language and description.
        appendFrame(frames, "COMM", EncodeId3v2Comment(Comment, commentForm));
    }
    const std::pair<std::string_view, Field> plainFrames[] = {{"TALB", Field::Album},
                                                              {"TIT2", Field::Title},
                                                              {"TPE1", Field::Artist},
                                                              {"TYER", Field::Year}};
    for (const auto& [id, field] : plainFrames) {
        const std::string& text = *plainText(*this, field);
        addFrames(id, text, formOf(indexOf(field), text), EncodeId3v2Text);
    }
    addFrames("TXXX", Lyrics, formOf(indexOf(Field::Lyrics), Lyrics), EncodeId3v2Lyrics);
    frames += keptFrames;
    if (frames.size() > kLargestTag) throw TagFileError("The tag is too large to be written");
    return std::string("ID3\x03\x00\x00", 6) +
           WriteSyncsafe(static_cast<std::uint32_t>(frames.size())) + frames;
}

TagSaveResult TID3v2Tag::SaveToFile(const std::string& fileName, bool keepOtherFrames) {
    return rewrite(fileName, true, keepOtherFrames);
}

TagSaveResult TID3v2Tag::RemoveFromFile(const std::string& fileName) {
    return rewrite(fileName, false, false);
}

TagSaveResult TID3v2Tag::rewrite(const std::string& fileName, bool withTag, bool keepOtherFrames) {
    if (IsMarkedReadOnly(fileName)) return {false, ReadOnlyRefusalGbk(fileName), {}};
    const TagFile file(fileName);
    Id3v2Layout layout = InspectId3v2(file);
    LocateAudioEnd(file, layout);
    if (!layout.audioStart)
        throw TagFileError("Cannot locate the audio in file \"" + fileName + "\"");
    if (!withTag && !layout.hasTag && !layout.hasV1Tag) return TagSaveResult{true, {}, {}};
    std::string kept;
    if (withTag && keepOtherFrames && layout.hasTag && layout.header.version != 2) {
        WalkId3v2Frames(layout.frameBytes, layout.header, [&](const Id3v2Frame& frame) {
            appendKeptFrame(kept, frame, layout.header.version);
        });
    }
    return ReplaceTaggedFile(fileName, withTag ? buildTag(kept) : std::string(), file,
                             *layout.audioStart, layout.audioEnd);
}

}  // namespace pelvano::core
