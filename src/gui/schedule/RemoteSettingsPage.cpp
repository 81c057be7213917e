#include "gui/schedule/RemoteSettingsPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "gui/schedule/SettingsLook.h"

namespace pelvano::gui {

RemoteSettingsPage::RemoteSettingsPage(QWidget* parent) : QWidget(parent) {
    QGridLayout* grid = NewSettingsPageGrid(this);
    QWidget* panel = grid->parentWidget();

    const auto checkIn = [&](int row, const char* caption) {
        return AddSettingsCheckBox(grid, row, caption, 4, [this] { edited(); });
    };
    const auto lineEditIn = [&](int row, int column, const char* caption, int span = 1) {
        return AddSettingsLineEdit(grid, row, column, caption, span, [this] { edited(); });
    };

    chkEnabled_ = checkIn(0, "启用远程控制（用浏览器查看和控制播出）");
    edBind_ = lineEditIn(1, 0, "监听地址：");
    spPort_ = new QSpinBox(panel);
    spPort_->setRange(1, 65535);
    connect(spPort_, &QSpinBox::valueChanged, this, &RemoteSettingsPage::edited);
    PlaceSettingsSpin(grid, 1, 2, "端口：", spPort_);
    edUser_ = lineEditIn(2, 0, "用户名：");
    edPassword_ = lineEditIn(2, 2, "新密码：");
    edPassword_->setEchoMode(QLineEdit::Password);
    edPassword_->setPlaceholderText(QStringLiteral("不修改请留空"));
    chkPublicStatus_ = checkIn(3, "不登录也可查看播出状态（控制仍需登录）");
    edCertFile_ = lineEditIn(4, 0, "证书文件：", 3);
    edKeyFile_ = lineEditIn(5, 0, "私钥文件：", 3);
    edMetricsToken_ = lineEditIn(6, 0, "监控令牌：", 3);
    const SettingsPageFoot foot = AddSettingsPageFoot(
        grid, 7, "修改后立即保存，远程控制随之重新启动。只在本机地址监听时，其他电脑无法连接。");
    lbNote_ = foot.warning;
    lbAddress_ = foot.address;
}

void RemoteSettingsPage::setSettings(const core::RemoteSettings& s) {
    filling_ = true;
    shown_ = s;
    chkEnabled_->setChecked(s.Enabled);
    edBind_->setText(QString::fromStdString(s.Bind));
    spPort_->setValue(s.Port);
    edUser_->setText(QString::fromStdString(s.User));
    edPassword_->clear();
    chkPublicStatus_->setChecked(s.PublicStatus);
    edCertFile_->setText(QString::fromStdString(s.CertFile));
    edKeyFile_->setText(QString::fromStdString(s.KeyFile));
    edMetricsToken_->setText(QString::fromStdString(s.MetricsToken));
    lbAddress_->setText(QStringLiteral("浏览器地址：%1://%2:%3/  %4")
                            .arg(s.tls() ? QStringLiteral("https") : QStringLiteral("http"))
                            .arg(QString::fromStdString(s.Bind))
                            .arg(s.Port)
                            .arg(s.PasswordHash.empty() ? QStringLiteral("（尚未设置密码）")
                                                        : QString()));
    filling_ = false;
}

core::RemoteSettings RemoteSettingsPage::settings() const {
    core::RemoteSettings s = shown_;
    s.Enabled = chkEnabled_->isChecked();
    s.Bind = edBind_->text().toStdString();
    s.Port = spPort_->value();
    s.User = edUser_->text().toStdString();
    s.PublicStatus = chkPublicStatus_->isChecked();
    s.CertFile = edCertFile_->text().toStdString();
    s.KeyFile = edKeyFile_->text().toStdString();
    s.MetricsToken = edMetricsToken_->text().toStdString();
    return s;
}

std::string RemoteSettingsPage::takePassword() {
    const std::string password = edPassword_->text().toStdString();
    edPassword_->clear();
    return password;
}

void RemoteSettingsPage::showNote(const QString& note) {
    lbNote_->setText(note);
    lbNote_->setVisible(!note.isEmpty());
}

void RemoteSettingsPage::edited() {
    if (!filling_ && onEdited) onEdited();
}

}  // namespace pelvano::gui
