// The writer that the crash harness kills: it rewrites one file of a kind again and again
// through the program's own writers, alternating two generations, and checks afterwards that
// a file holds one generation whole.
//   pelvano-crash-writer write KIND FILE   rewrites until killed (creating the file first)
//   pelvano-crash-writer once KIND FILE    what the next start does: the folder's leftovers go
//                                          (as Station::start does), then one rewrite
//   pelvano-crash-writer check KIND FILE   exit 0 when the file parses and is one generation
// KIND: settings, schedule, lyrics, tags, mpl.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "core/app/AtomicFile.h"
#include "core/app/AtomicFileLeftovers.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/lyrics/LrcText.h"
#include "core/lyrics/LyricsFile.h"
#include "core/schedule/ScheduleFile.h"
#include "core/schedule/ScheduleTable.h"
#include "core/tags/Mp3ListFile.h"
#include "core/tags/TID3v2Tag.h"

namespace {

using namespace pelvano::core;

constexpr int kSettingsKeys = 60;
constexpr int kScheduleRows = 300;
constexpr int kLyricLines = 400;
constexpr int kListRows = 2000;
constexpr std::size_t kAudioBytes = 3u << 20;

std::string generationText(int generation) {
    return generation == 0 ? "old" : "new";
}

// MPEG-1 layer III frame headers with varied payload: what a tag rewrite carries over.
const std::string& audio() {
    static const std::string bytes = [] {
        std::string a;
        unsigned seed = 7;
        while (a.size() < kAudioBytes) {
            a += "\xFF\xFB\x90\x64";
            for (int i = 0; i < 413; ++i)
                a += static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
        }
        return a;
    }();
    return bytes;
}

struct Kind {
    std::function<bool(const std::string&, int)> write;
    // The generation the file holds whole, or -1.
    std::function<int(const std::string&)> generationOf;
};

int sameEverywhere(const std::vector<std::string>& values, std::size_t expected) {
    if (values.size() != expected) return -1;
    for (int generation : {0, 1}) {
        bool all = true;
        for (const std::string& v : values) all = all && v == generationText(generation);
        if (all) return generation;
    }
    return -1;
}

const std::map<std::string, Kind>& kinds() {
    static const std::map<std::string, Kind> table = {
        {"settings",
         {[](const std::string& file, int g) {
              std::vector<std::pair<std::string, std::string>> values;
              for (int k = 0; k < kSettingsKeys; ++k)
                  values.emplace_back("key" + std::to_string(k), generationText(g));
              return IniWriteMany(file, "START", values);
          },
          [](const std::string& file) {
              std::vector<std::string> values;
              for (int k = 0; k < kSettingsKeys; ++k)
                  values.push_back(IniRead(file, "START", "key" + std::to_string(k)));
              return sameEverywhere(values, kSettingsKeys);
          }}},
        {"schedule",
         {[](const std::string& file, int g) {
              Grid grid(kScheduleColumns, kScheduleRows + 1);
              for (int r = 1; r <= kScheduleRows; ++r)
                  grid.setCell(kColTitle, r, generationText(g));
              return SaveSchedule(file, grid, {}).ok;
          },
          [](const std::string& file) {
              Grid grid;
              LoadSchedule(file, grid, {});
              std::vector<std::string> titles;
              for (int r = 1; r < grid.rowCount(); ++r) titles.push_back(grid.cell(kColTitle, r));
              return sameEverywhere(titles, kScheduleRows);
          }}},
        {"lyrics",
         {[](const std::string& file, int g) {
              std::string text;
              for (int l = 0; l < kLyricLines; ++l)
                  text += "[" + FormatWholeSeconds(l) + "]" + generationText(g) + "\r\n";
              return WriteFileAtomically(file, text);
          },
          [](const std::string& file) {
              std::string bytes;
              if (!ReadFileBytes(file, bytes)) return -1;
              std::vector<std::string> texts;
              for (const std::string& line : SplitLyricLines(DecodeLyricsFile(bytes).text))
                  texts.push_back(line.substr(line.find(']') + 1));
              return sameEverywhere(texts, kLyricLines);
          }}},
        {"tags",
         {[](const std::string& file, int g) {
              if (!FileExists(file) && !WriteFileAtomically(file, audio())) return false;
              TID3v2Tag tag;
              tag.Title = generationText(g);
              tag.Lyrics = std::string(2000, 'l');
              return tag.SaveToFile(file, false).replaced;
          },
          [](const std::string& file) {
              TID3v2Tag tag;
              tag.ReadFromFile(file);
              std::string bytes;
              ReadFileBytes(file, bytes);
              const bool audioWhole =
                  bytes.size() > kAudioBytes &&
                  bytes.compare(bytes.size() - audio().size(), std::string::npos, audio()) == 0;
              if (!audioWhole) return -1;
              return sameEverywhere({tag.Title}, 1);
          }}},
        {"mpl",
         {[](const std::string& file, int g) {
              Grid grid(kListColCount, kListRows + 1);
              for (int r = 1; r <= kListRows; ++r) {
                  grid.setCell(kListColTitle, r, generationText(g));
                  grid.setCell(kListColFile, r, "music/" + std::to_string(r) + ".mp3");
              }
              return SaveList(file, grid);
          },
          [](const std::string& file) {
              Grid grid;
              LoadList(file, grid);
              std::vector<std::string> titles;
              for (int r = 1; r < grid.rowCount(); ++r)
                  titles.push_back(grid.cell(kListColTitle, r));
              return sameEverywhere(titles, kListRows);
          }}},
    };
    return table;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || !kinds().count(argv[2])) {
        std::fprintf(
            stderr,
            "usage: pelvano-crash-writer write|once|check settings|schedule|lyrics|tags|mpl "
            "FILE\n");
        return 2;
    }
    const std::string mode = argv[1];
    const Kind& kind = kinds().at(argv[2]);
    const std::string file = argv[3];
    try {
        if (mode == "check") {
            const int generation = kind.generationOf(file);
            if (generation < 0) std::fprintf(stderr, "damaged: %s\n", file.c_str());
            return generation < 0 ? 1 : 0;
        }
        if (mode == "once") {
            RemoveLeftoverTemporaries(FolderOf(file));
            return kind.write(file, 0) ? 0 : 1;
        }
        for (int generation = 0;; generation ^= 1) {
            if (!kind.write(file, generation)) return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), e.what());
        return 1;
    }
    return 2;
}
