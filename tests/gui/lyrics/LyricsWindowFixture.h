#pragma once
// The two lyrics windows over a station in virtual time playing a real MP3 file (a tone encoded
// by ffmpeg) whose tag holds Chinese lyrics; the windows made before the station starts, as the
// application makes them.
#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "core/app/Encoding.h"
#include "core/app/IniFile.h"
#include "core/audio/TcbDSMixerChannel.h"
#include "core/playout/StationFixture.h"
#include "gui/app/WindowHooks.h"
#include "gui/lyrics/FrmMusic.h"
#include "gui/lyrics/FrmMusicSet.h"
#include "platform/ffmpeg/FfmpegSource.h"
#include "support/EncodedTone.h"

namespace pelvano::test {

class LyricsWindowFixture : public StationFixture {
  protected:
    LyricsWindowFixture() : StationFixture({2026, 12, 7, 8, 0, 0}, false) {}
    ~LyricsWindowFixture() override {
        editorWindow.reset();
        music.reset();
        station.reset();
    }

    // A 20-second MP3 tone whose tag holds these lyric lines (UTF-8 here, GBK in the tag).
    std::string makeSong(const std::string& name, const std::vector<std::string>& lines) {
        const std::string path = dir.file(name);
        if (!EncodeTone(path, 20)) return {};
        std::string text;
        for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
        core::Id3v2LyricsTag().writeLyrics(path, core::Utf8ToGbk(text), false);
        return path;
    }

    // The song on air from the start, the lyrics display on, the windows made and attached.
    void startWithWindows(const std::string& song) {
        setKey("spOut", "0");
        setKey("spIN", "0");
        setKey("chkChangePB", "YES");
        core::IniWrite(paths.settingsFile(), "Music", "chkPlaySongText", "YES");
        core::IniWrite(paths.settingsFile(), "Music", "Width", "420");
        core::IniWrite(paths.settingsFile(), "Music", "Height", "140");
        writeSchedule({{song}});
        decoder = &ffmpeg;
        lyrics = &relay;
        makeStation();
        music = std::make_unique<gui::TFrmMusic>(*station, sim.timers());
        editorWindow = std::make_unique<gui::TFrmMusicSet>(*music, *station);
        relay.attach(music.get());
        startStation();
        ASSERT_NE(station->state().CurrentChannel, nullptr);
    }

    int position() { return station->state().CurrentChannel->Position(); }
    void runToPosition(int ms) {
        ASSERT_TRUE(sim.runUntil([&] { return position() >= ms; }, 30000)) << ms;
    }

    // What a window shows, keyed-out parts transparent.
    static QImage shot(QWidget& w) {
        QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    // Saved for the documentation when PELVANO_SCREENSHOTS names a folder.
    static void keepShot(const QImage& image, const std::string& name) {
        if (const char* folder = std::getenv("PELVANO_SCREENSHOTS"))
            image.save(QString::fromStdString(std::string(folder) + "/" + name));
    }

    platform::FfmpegSourceFactory ffmpeg;
    gui::LyricsRelay relay;  // as the application builds the station
    std::unique_ptr<gui::TFrmMusic> music;
    std::unique_ptr<gui::TFrmMusicSet> editorWindow;
};

}  // namespace pelvano::test
