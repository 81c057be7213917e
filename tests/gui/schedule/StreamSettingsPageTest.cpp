// The settings window's "网络直播" page, offscreen on a station in virtual time.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "core/playout/StationFixture.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/StreamSettingsPage.h"

namespace pelvano::test {
namespace {

class StreamSettingsPageTest : public StationFixture {
  protected:
    std::string key(const std::string& name) const {
        return core::IniReadDef(paths.settingsFile(), "Stream", name, "(absent)");
    }
};

TEST_F(StreamSettingsPageTest, ShowsTheStoredValuesAndSavesEachChangedEdit) {
    core::IniWriteMany(paths.settingsFile(), "Stream",
                       {{"Port", "8010"}, {"Password", "secret"}, {"Name", core::Gbk("校园之声")}});
    writeSchedule({{""}});
    startStation();
    gui::TFrmPara para(*station);
    std::vector<core::StreamSettings> heard;
    para.onStreamSettingsChanged = [&](const core::StreamSettings& s) { heard.push_back(s); };
    ASSERT_EQ(para.pages()->count(), 5);
    EXPECT_EQ(para.pages()->tabText(1), QStringLiteral("网络直播"));
    gui::StreamSettingsPage& page = *para.streamPage();
    EXPECT_FALSE(page.chkEnabled()->isChecked());
    EXPECT_EQ(page.edHost()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(page.spPort()->value(), 8010);
    EXPECT_EQ(page.edMount()->text(), QStringLiteral("/pelvano.mp3"));
    EXPECT_EQ(page.edUser()->text(), QStringLiteral("source"));
    EXPECT_EQ(page.edPassword()->text(), QStringLiteral("secret"));
    EXPECT_EQ(page.edPassword()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(page.cbFormat()->currentData().toString(), QStringLiteral("mp3"));
    EXPECT_EQ(page.spBitrate()->value(), 128);
    EXPECT_EQ(page.edName()->text(), QStringLiteral("校园之声"));
    EXPECT_TRUE(heard.empty());  // showing values changes nothing

    // A finished edit that changes nothing saves nothing and restarts nothing.
    Q_EMIT page.edHost()->editingFinished();
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(key("Host"), "(absent)");

    page.edHost()->setText(QStringLiteral(" stream.example.org "));
    Q_EMIT page.edHost()->editingFinished();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard.back().Host, "stream.example.org");
    EXPECT_EQ(key("Host"), "stream.example.org");
    EXPECT_EQ(page.edHost()->text(), QStringLiteral("stream.example.org"));

    page.edMount()->setText(QStringLiteral("校园.ogg"));
    Q_EMIT page.edMount()->editingFinished();
    EXPECT_EQ(key("Mount"), core::Gbk("/校园.ogg"));
    EXPECT_EQ(page.edMount()->text(), QStringLiteral("/校园.ogg"));  // the "/" is shown
    EXPECT_EQ(page.lbListen()->text(),
              QStringLiteral("收听地址：http://stream.example.org:8010/校园.ogg"));

    page.chkEnabled()->click();
    EXPECT_EQ(key("Enabled"), "YES");
    page.cbFormat()->setCurrentIndex(2);
    Q_EMIT page.cbFormat()->activated(2);
    EXPECT_EQ(key("Format"), "opus");
    page.spBitrate()->setValue(96);
    EXPECT_EQ(key("Bitrate"), "96");
    page.edGenre()->setText(QStringLiteral("校园广播"));
    Q_EMIT page.edGenre()->editingFinished();
    EXPECT_EQ(key("Genre"), core::Gbk("校园广播"));

    // TLS: the saved key holds the mode's name.
    EXPECT_EQ(page.cbTls()->currentText(), QStringLiteral("自动（服务器支持时加密）"));
    page.cbTls()->setCurrentIndex(1);
    Q_EMIT page.cbTls()->activated(1);
    EXPECT_EQ(key("TLS"), "REQUIRED");

    ASSERT_EQ(heard.size(), 7u);
    const core::StreamSettings& last = heard.back();
    EXPECT_TRUE(last.Enabled);
    EXPECT_EQ(last.Format, "opus");
    EXPECT_EQ(last.Bitrate, 96);
    EXPECT_EQ(last.TLS, core::StreamTls::Required);
    EXPECT_EQ(last.Password, "secret");
    EXPECT_EQ(last, core::LoadStreamSettings(paths.settingsFile()));
    EXPECT_EQ(key("Password"), "secret");  // untouched keys stay as they were
    EXPECT_EQ(key("User"), "(absent)");

    // Shown again, the page reads the file again, and tells nobody.
    core::IniWrite(paths.settingsFile(), "Stream", "Bitrate", "192");
    para.show();
    EXPECT_EQ(page.spBitrate()->value(), 192);
    EXPECT_EQ(page.cbTls()->currentText(), QStringLiteral("必须加密（不加密不连接）"));
    EXPECT_EQ(heard.size(), 7u);
}

TEST_F(StreamSettingsPageTest, AHostThatNamesNoServerIsRefusedWithAMessage) {
    writeSchedule({{""}});
    startStation();
    gui::TFrmPara para(*station);
    int heard = 0;
    para.onStreamSettingsChanged = [&](const core::StreamSettings&) { ++heard; };
    gui::StreamSettingsPage& page = *para.streamPage();
    EXPECT_TRUE(page.lbProblem()->isHidden());

    // A port typed into the host field.
    page.edHost()->setText(QStringLiteral("8001"));
    Q_EMIT page.edHost()->editingFinished();
    EXPECT_EQ(heard, 0);
    EXPECT_EQ(key("Host"), "(absent)");
    EXPECT_EQ(page.edHost()->text(), QStringLiteral("127.0.0.1"));  // the saved host again
    EXPECT_FALSE(page.lbProblem()->isHidden());
    EXPECT_EQ(page.lbProblem()->text(),
              QStringLiteral("服务器地址不能只是一个数字（端口请填在“端口”栏）"));

    page.edHost()->setText(QStringLiteral("http://radio.example.org:8000/live"));
    Q_EMIT page.edHost()->editingFinished();
    EXPECT_EQ(heard, 0);
    EXPECT_EQ(page.lbProblem()->text(),
              QStringLiteral("服务器地址只填主机名或IP地址，不含“http://”和路径"));

    // A good host is saved and the message goes.
    page.edHost()->setText(QStringLiteral("radio.example.org"));
    Q_EMIT page.edHost()->editingFinished();
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(key("Host"), "radio.example.org");
    EXPECT_TRUE(page.lbProblem()->isHidden());
}

}  // namespace
}  // namespace pelvano::test
