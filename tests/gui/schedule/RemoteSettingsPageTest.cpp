// The settings window's "远程控制" page, offscreen on a station in virtual time.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "core/app/AtomicFile.h"
#include "core/playout/StationFixture.h"
#include "gui/schedule/FrmPara.h"
#include "gui/schedule/RemoteSettingsPage.h"

namespace pelvano::test {
namespace {

class RemoteSettingsPageTest : public StationFixture {
  protected:
    std::string key(const std::string& name) const {
        return core::IniReadDef(paths.settingsFile(), "Remote", name, "(absent)");
    }
    core::InlineWork inlineWork;
};

TEST_F(RemoteSettingsPageTest, SavesEachChangeAndOnlyTheHashOfANewPassword) {
    core::IniWriteMany(paths.settingsFile(), "Remote", {{"Port", "8123"}, {"User", "admin"}});
    writeSchedule({{""}});
    work = &inlineWork;
    startStation();
    gui::TFrmPara para(*station);
    std::vector<core::RemoteSettings> heard;
    para.onRemoteSettingsChanged = [&](const core::RemoteSettings& s) { heard.push_back(s); };
    EXPECT_EQ(para.pages()->tabText(2), QStringLiteral("远程控制"));
    gui::RemoteSettingsPage& page = *para.remotePage();
    EXPECT_FALSE(page.chkEnabled()->isChecked());
    EXPECT_EQ(page.edBind()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(page.spPort()->value(), 8123);
    EXPECT_EQ(page.edUser()->text(), QStringLiteral("admin"));
    EXPECT_FALSE(page.chkPublicStatus()->isChecked());
    EXPECT_TRUE(page.lbAddress()->text().contains(QStringLiteral("尚未设置密码")));

    Q_EMIT page.edBind()->editingFinished();
    EXPECT_TRUE(heard.empty()) << "an edit that changed nothing restarted the server";

    page.chkEnabled()->click();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_TRUE(heard.back().Enabled);
    EXPECT_EQ(key("Enabled"), "YES");

    const QString password = QStringLiteral("长城 secret 42");
    page.edPassword()->setText(password);
    Q_EMIT page.edPassword()->editingFinished();
    ASSERT_EQ(heard.size(), 2u);
    const std::string hash = key("PasswordHash");
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
    EXPECT_EQ(heard.back().PasswordHash, hash);
    EXPECT_TRUE(page.edPassword()->text().isEmpty()) << "the typed password stays shown";
    EXPECT_EQ(page.lbNote()->text(), QStringLiteral("密码已保存"));
    EXPECT_FALSE(page.lbAddress()->text().contains(QStringLiteral("尚未设置密码")));
    std::string file;
    ASSERT_EQ(core::ReadWholeFile(paths.settingsFile(), file, nullptr), core::ReadOutcome::Read);
    EXPECT_EQ(file.find("secret 42"), std::string::npos) << "the password itself was saved";
    for (QLineEdit* edit : page.findChildren<QLineEdit*>())
        EXPECT_FALSE(edit->text().contains(QString::fromStdString(hash.substr(30))));

    // Without a user there is no login to set: nothing is saved.
    page.edUser()->setText(QString());
    Q_EMIT page.edUser()->editingFinished();
    page.edPassword()->setText(password);
    Q_EMIT page.edPassword()->editingFinished();
    EXPECT_EQ(page.lbNote()->text(), QStringLiteral("请先填写用户名，再输入密码"));
    EXPECT_TRUE(page.edPassword()->text().isEmpty());
}

}  // namespace
}  // namespace pelvano::test
