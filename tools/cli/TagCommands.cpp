// pelvano-cli tags and wma: the texts of MP3 tags (read, set, strip) and of WMA headers, as
// one JSON object per file with texts in UTF-8.
#include <iostream>
#include <map>

#include "CliCommand.h"
#include "JsonObject.h"
#include "core/app/AppPaths.h"
#include "core/app/Encoding.h"
#include "core/lyrics/LyricsFile.h"
#include "core/tags/Mp3List.h"
#include "core/tags/Mp3ListFile.h"
#include "core/tags/Mp3ListUpdate.h"
#include "core/tags/TID3v2Tag.h"
#include "core/tags/TWma_Tag.h"
#include "core/tags/TagFile.h"

namespace pelvano::cli {

namespace {

using core::GbkToUtf8;
using core::TID3v2Tag;

std::string tagJson(const std::string& file, const TID3v2Tag& tag) {
    JsonObject json;
    json.add("file", file)
        .add("tag", tag.Exists     ? "id3v2"
                    : tag.ExistsV1 ? "id3v1"
                                   : "none")
        .add("version", static_cast<long long>(tag.Version))
        .add("TagSize", static_cast<long long>(tag.TagSize))
        .add("Title", GbkToUtf8(tag.Title))
        .add("Artist", GbkToUtf8(tag.Artist))
        .add("Album", GbkToUtf8(tag.Album))
        .add("Year", GbkToUtf8(tag.Year))
        .add("Comment", GbkToUtf8(tag.Comment))
        .add("Lyrics", GbkToUtf8(tag.Lyrics));
    return json.str();
}

int reportSave(const core::TagSaveResult& result, const std::string& file) {
    if (!result.replaced) return failure(GbkToUtf8(result.message));
    TID3v2Tag tag;
    tag.ReadFromFile(file);
    std::cout << tagJson(file, tag) << "\n";
    return 0;
}

int showTags(const Args& files) {
    if (files.empty()) return usageError("tags: no file given");
    int status = 0;
    for (const std::string& file : files) {
        try {
            TID3v2Tag tag;
            tag.ReadFromFile(file);
            std::cout << tagJson(file, tag) << "\n";
        } catch (const core::TagFileError& e) {
            status = failure(e.what());
        }
    }
    return status;
}

// tags set FILE [--title T] [--artist A] [--album B] [--year Y] [--comment C]
//               [--lyrics-file F] [--keep-frames]
int setTags(const Args& args) {
    if (args.empty() || args[0].starts_with("--")) return usageError("tags set: no file given");
    const std::string& file = args[0];
    TID3v2Tag tag;
    tag.TextEncoding = core::ReadTagTextEncoding(core::AppPaths::ofFolder(".").settingsFile());
    tag.ReadFromFile(file);
    const std::map<std::string, std::string*> texts = {
        {"--title", &tag.Title}, {"--artist", &tag.Artist},   {"--album", &tag.Album},
        {"--year", &tag.Year},   {"--comment", &tag.Comment},
    };
    bool keepFrames = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--keep-frames") {
            keepFrames = true;
            continue;
        }
        const bool known = texts.count(option) || option == "--lyrics-file";
        if (!known) return usageError("tags set: unknown option " + option);
        if (i + 1 >= args.size()) return usageError("tags set: " + option + " needs a value");
        const std::string& value = args[++i];
        if (option != "--lyrics-file") {
            *texts.at(option) = core::Utf8ToGbk(value);
        } else if (auto lyrics = core::ReadLyricsFile(value)) {
            tag.Lyrics = std::move(lyrics->text);
        } else {
            return failure("tags set: cannot read " + value);
        }
    }
    return reportSave(tag.SaveToFile(file, keepFrames), file);
}

int stripTags(const Args& args) {
    if (args.size() != 1) return usageError("tags strip: give exactly one file");
    TID3v2Tag tag;
    return reportSave(tag.RemoveFromFile(args[0]), args[0]);
}

// Problems go to stderr, one line each; the caption's "row/count" only when asked.
class ConsoleBatchView final : public core::Mp3BatchView {
  public:
    explicit ConsoleBatchView(bool progress) : progress_(progress) {}
    void batchProgress(int row, int count) override {
        if (progress_) std::cout << row << "/" << count << std::endl;
    }
    void batchReport(const std::string& line) override { std::cerr << GbkToUtf8(line) << "\n"; }

  private:
    bool progress_;
};

// tags batch LIST.mpl [--album B] [--artist A] [--progress]: the MP3 list window's batch update.
int batchTags(const Args& args) {
    if (args.empty() || args[0].starts_with("--"))
        return usageError("tags batch: no list file given");
    std::string album, artist;
    bool progress = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--progress") {
            progress = true;
            continue;
        }
        if (args[i] != "--album" && args[i] != "--artist")
            return usageError("tags batch: unknown option " + args[i]);
        if (i + 1 >= args.size()) return usageError("tags batch: " + args[i] + " needs a value");
        (args[i] == "--album" ? album : artist) = core::Utf8ToGbk(args[i + 1]);
        ++i;
    }
    const core::AppPaths station = core::AppPaths::ofFolder(".");
    TID3v2Tag tag;
    tag.TextEncoding = core::ReadTagTextEncoding(station.settingsFile());
    core::Mp3List list(
        core::StoredPathResolver::fromSettings(station.applicationDir, station.settingsFile()),
        nullptr, nullptr, tag);
    core::LoadList(args[0], list.sgSong);
    core::Mp3ListUpdater updater(list, tag, nullptr);
    ConsoleBatchView view(progress);
    const int written = updater.RunBatch(album, artist, view);
    std::cout << "{\"written\": " << written << ", \"rows\": " << list.sgSong.dataRowCount()
              << "}\n";
    return 0;
}

int tagsCommand(const Args& args) {
    if (!args.empty() && args[0] == "batch") return batchTags(Args(args.begin() + 1, args.end()));
    if (!args.empty() && args[0] == "set") return setTags(Args(args.begin() + 1, args.end()));
    if (!args.empty() && args[0] == "strip") return stripTags(Args(args.begin() + 1, args.end()));
    return showTags(args);
}

int wmaCommand(const Args& args) {
    if (args.size() != 1) return usageError("wma: give exactly one file");
    core::TWma_Tag tag;
    if (!tag.ReadFromFile(args[0])) return failure("wma: not an ASF file: " + args[0]);
    JsonObject json;
    json.add("file", args[0]).add("HeaderSize", static_cast<long long>(tag.HeaderSize));
    const std::pair<const char*, const std::string*> fields[] = {
        {"WMFSDKVersion", &tag.WMFSDKVersion},
        {"Title", &tag.Title},
        {"Author", &tag.Author},
        {"Rights", &tag.Rights},
        {"Description", &tag.Description},
        {"AlbumTitle", &tag.AlbumTitle},
        {"Year", &tag.Year},
        {"Genre", &tag.Genre},
        {"TrackNumber", &tag.TrackNumber},
        {"Track", &tag.Track},
        {"UserWebURL", &tag.UserWebURL},
        {"URL", &tag.URL},
        {"Lyrics", &tag.Lyrics},
        {"EncodedBy", &tag.EncodedBy},
    };
    for (const auto& [name, text] : fields) json.add(name, GbkToUtf8(*text));
    std::cout << json.str() << "\n";
    return 0;
}

const CliRegistration kTags(
    "tags",
    "tags FILE... | tags set FILE [--title T] [--artist A] [--album B] [--year Y] "
    "[--comment C] [--lyrics-file F] [--keep-frames] | tags strip FILE | "
    "tags batch LIST.mpl [--album B] [--artist A] [--progress]",
    tagsCommand);
const CliRegistration kWma("wma", "wma FILE", wmaCommand);

}  // namespace

}  // namespace pelvano::cli
