// The tag and lyrics text editor offscreen: what it shows for files with each kind of tag, and
// what update, removal and reload do to the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QMessageBox>

#include "core/app/Encoding.h"
#include "gui/tags/FrmEditText.h"
#include "support/TagTestFiles.h"
#include "support/TempDir.h"

namespace pelvano::gui {
namespace {

using test::Id3v1Block;
using test::Id3v2Frame;
using test::MpegAudio;
using test::StandardTag;
using test::TextFrame;

class FrmEditTextTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    core::TID3v2Tag tag;
    TFrmEditText window{tag};
};

TEST_F(FrmEditTextTest, ShowsEachKindOfTag) {
    EXPECT_EQ(window.windowTitle(), "  MP3[tag] 歌词编辑器");
    EXPECT_EQ(window.size(), QSize(425, 463));
    EXPECT_FALSE(window.btnID3Update->isEnabled());
    EXPECT_EQ(window.edTitle->maxLength(), 1024);

    window.LoadFile(
        dir.write("v1.mp3", MpegAudio(2) + Id3v1Block("Old", "Artist", "Album", "1999", "Note")));
    EXPECT_EQ(window.lblID3Status->text(), "ID3v1tag,Bytes:128");
    EXPECT_EQ(window.edTitle->text(), "Old");
    EXPECT_EQ(window.edComm->text(), "Note");
    EXPECT_TRUE(window.btnID3Update->isEnabled());
    // Saving writes the texts as an ID3v2 tag.
    window.btnID3UpdateClick();
    EXPECT_FALSE(window.btnID3Update->isEnabled());
    EXPECT_FALSE(window.btnID3Kill->isEnabled());
    tag.ReadFromFile(dir.file("v1.mp3"));
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.Year, "1999");

    window.LoadFile(dir.write("none.mp3", MpegAudio(2)));
    EXPECT_EQ(window.lblID3Status->text(), "没有 MP3 Tag !");
    EXPECT_TRUE(window.edTitle->text().isEmpty());
    window.edTitle->setText("晚风");
    window.btnID3UpdateClick();
    tag.ReadFromFile(dir.file("none.mp3"));
    EXPECT_EQ(tag.Title, core::Utf8ToGbk("晚风"));
}

TEST_F(FrmEditTextTest, LyricsLinesFramesAndRemoval) {
    const std::string apic = Id3v2Frame("APIC", std::string("\0image/png\0\x03\0PNG", 16));
    const std::string path =
        dir.write("song.mp3", StandardTag(TextFrame("TIT2", "T") + apic) + MpegAudio(2));
    window.LoadFile(path);
    EXPECT_TRUE(window.lblID3Status->text().startsWith("ID3v2tag,Bytes:"));
    window.mmText->setPlainText("[00:01.00]第一行\n[00:02.00]第二行");
    window.btnID3UpdateClick();  // CheckBox1 off: the picture goes
    EXPECT_EQ(dir.read("song.mp3").find("APIC"), std::string::npos);

    window.btnLoadClick();
    EXPECT_EQ(window.mmText->toPlainText(), "[00:01.00]第一行\n[00:02.00]第二行");
    tag.ReadFromFile(path);
    EXPECT_EQ(tag.Lyrics, core::Utf8ToGbk("[00:01.00]第一行\r\n[00:02.00]第二行"));

    window.btnID3KillClick();
    EXPECT_EQ(dir.read("song.mp3"), MpegAudio(2));
    EXPECT_EQ(window.edTitle->text(), "T");  // the boxes keep their texts
    EXPECT_FALSE(window.btnID3Kill->isEnabled());
}

TEST_F(FrmEditTextTest, AReadOnlyFileIsNotRewritten) {
    const std::string original = StandardTag(TextFrame("TIT2", "T")) + MpegAudio(2);
    const std::string path = dir.write("readonly.mp3", original);
    ::chmod(path.c_str(), 0444);
    window.LoadFile(path);
    window.edTitle->setText("new");
    window.btnID3UpdateClick();
    EXPECT_EQ(dir.read("readonly.mp3"), original);
    const auto* box = window.findChild<QMessageBox*>("tagMessage");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), "文件只读，未修改: " + path);
}

}  // namespace
}  // namespace pelvano::gui
