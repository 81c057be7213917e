// The MP3 list window's batch update (title, artist, album of every file, each rewritten
// through the safe replace: temporary file, flush to disk, rename) against mutagen's mid3v2
// setting the same texts, once per file as a script would, and once for all files at a time.
// Both start from identical copies of the same files. mid3v2 writes in place: a crash in the
// middle of a file leaves it damaged, which the safe replace never does.
// Usage: bench_tag_batch [FILES [MB [FOLDER]]]   (1000 files of 5 MB in a temporary folder)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app/Encoding.h"
#include "core/tags/Mp3List.h"
#include "core/tags/Mp3ListFile.h"
#include "core/tags/Mp3ListUpdate.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using namespace pelvano::core;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct QuietView final : Mp3BatchView {
    int problems = 0;
    void batchProgress(int, int) override {}
    void batchReport(const std::string& line) override {
        ++problems;
        std::fprintf(stderr, "%s\n", GbkToUtf8(line).c_str());
    }
};

std::string shellQuoted(const std::string& path) {
    return "'" + path + "'";
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int megabytes = argc > 2 ? std::atoi(argv[2]) : 5;
    const fs::path root =
        argc > 3 ? fs::path(argv[3]) : fs::temp_directory_path() / "pelvano-bench-tag-batch";
    if (std::system("command -v ffmpeg >/dev/null && command -v mid3v2 >/dev/null") != 0) {
        std::fprintf(stderr, "bench_tag_batch needs ffmpeg and mid3v2 (python3-mutagen)\n");
        return 1;
    }
    fs::remove_all(root);
    fs::create_directories(root / "ours");
    fs::create_directories(root / "mid3v2");

    // One song of the size asked (128 kbit/s), tagged as the older system tags, copied.
    const std::string base = (root / "base.mp3").string();
    const int seconds = megabytes * 1024 * 1024 / 16000;
    const std::string encode =
        "ffmpeg -v error -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds) +
        " -c:a libmp3lame -b:a 128k -id3v2_version 3 " +
        "-metadata title=Old -metadata artist=Someone " + shellQuoted(base);
    if (std::system(encode.c_str()) != 0) return 1;
    std::printf("files: %d of %.1f MB in %s\n", files,
                static_cast<double>(fs::file_size(base)) / 1e6, root.c_str());

    TID3v2Tag tag;
    Mp3List list(StoredPathResolver(root.string() + "/", ""), nullptr, nullptr, tag);
    list.sgSong.setRowCount(files + 1);
    std::vector<std::string> theirs;
    for (int i = 1; i <= files; ++i) {
        const std::string name = "song" + std::to_string(i) + ".mp3";
        fs::copy_file(base, root / "ours" / name);
        fs::copy_file(base, root / "mid3v2" / name);
        theirs.push_back((root / "mid3v2" / name).string());
        list.sgSong.setCell(kListColTitle, i, Utf8ToGbk("北京欢迎你 " + std::to_string(i)));
        list.sgSong.setCell(kListColFile, i, Utf8ToGbk((root / "ours" / name).string()));
    }
    std::system("sync");

    Mp3ListUpdater updater(list, tag, nullptr);
    QuietView view;
    Clock::time_point start = Clock::now();
    const int written = updater.RunBatch(Utf8ToGbk("专集一"), Utf8ToGbk("歌手甲"), view);
    const double ours = secondsSince(start);
    std::printf("batch update (safe replace, flushed): %d files in %.2f s, %.2f ms per file\n",
                written, ours, ours * 1000 / files);

    start = Clock::now();
    for (int i = 1; i <= files; ++i) {
        const std::string command = "mid3v2 -t '北京欢迎你 " + std::to_string(i) +
                                    "' -a 歌手甲 -A 专集一 " +
                                    shellQuoted(theirs[static_cast<std::size_t>(i - 1)]);
        if (std::system(command.c_str()) != 0) return 1;
    }
    const double perFile = secondsSince(start);
    std::printf("mid3v2 once per file (in place, not flushed): %.2f s, %.2f ms per file\n", perFile,
                perFile * 1000 / files);

    std::string all = "mid3v2 -a 歌手乙 -A 专集二";
    for (const std::string& path : theirs) all += " " + shellQuoted(path);
    start = Clock::now();
    if (std::system(all.c_str()) != 0) return 1;
    const double oneCall = secondsSince(start);
    std::printf("mid3v2 one call for all files (artist and album only): %.2f s, %.2f ms per file\n",
                oneCall, oneCall * 1000 / files);
    std::printf("ratio mid3v2 per file / ours: %.2f; mid3v2 one call / ours: %.2f\n",
                perFile / ours, oneCall / ours);
    fs::remove_all(root);
    return view.problems == 0 ? 0 : 1;
}
