#include "gui/schedule/StreamSettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>

#include "gui/schedule/SettingsLook.h"

namespace pelvano::gui {

namespace {

struct FormatChoice {
    const char* key;
    const char* caption;
};

constexpr FormatChoice kFormats[] = {
    {"mp3", "MP3"},
    {"ogg", "Ogg Vorbis"},
    {"opus", "Ogg Opus"},
};

struct TlsChoice {
    core::StreamTls mode;
    const char* caption;
};

constexpr TlsChoice kTlsChoices[] = {
    {core::StreamTls::Auto, "自动（服务器支持时加密）"},
    {core::StreamTls::Required, "必须加密（不加密不连接）"},
    {core::StreamTls::No, "不加密"},
};

}  // namespace

StreamSettingsPage::StreamSettingsPage(QWidget* parent) : QWidget(parent) {
    QGridLayout* grid = NewSettingsPageGrid(this);
    QWidget* panel = grid->parentWidget();

    chkEnabled_ = AddSettingsCheckBox(grid, 0, "启用网络直播（把播出的声音同时送到 Icecast 服务器）",
                                      4, [this] { edited(); });

    const auto lineEditIn = [&](int row, int column, const char* caption, int span = 1) {
        return AddSettingsLineEdit(grid, row, column, caption, span, [this] { edited(); });
    };
    const auto spinIn = [&](int row, int column, const char* caption, int low, int high) {
        auto* spin = new QSpinBox(panel);
        spin->setRange(low, high);
        connect(spin, &QSpinBox::valueChanged, this, &StreamSettingsPage::edited);
        PlaceSettingsSpin(grid, row, column, caption, spin);
        return spin;
    };

    edHost_ = lineEditIn(1, 0, "服务器：");
    spPort_ = spinIn(1, 2, "端口：", 1, 65535);
    edMount_ = lineEditIn(2, 0, "挂载点：", 3);
    edUser_ = lineEditIn(3, 0, "用户名：");
    edPassword_ = lineEditIn(3, 2, "密码：");
    edPassword_->setEchoMode(QLineEdit::Password);

    grid->addWidget(SettingsLabel("格式：", panel), 4, 0);
    cbFormat_ = new QComboBox(panel);
    for (const FormatChoice& f : kFormats)
        cbFormat_->addItem(QString::fromUtf8(f.caption), QString::fromUtf8(f.key));
    connect(cbFormat_, &QComboBox::activated, this, &StreamSettingsPage::edited);
    grid->addWidget(cbFormat_, 4, 1);
    spBitrate_ = spinIn(4, 2, "码率(kbit/s)：", core::StreamSettings::kMinBitrate,
                        core::StreamSettings::kMaxBitrate);

    grid->addWidget(SettingsLabel("加密连接(TLS)：", panel), 5, 0);
    cbTls_ = new QComboBox(panel);
    for (const TlsChoice& t : kTlsChoices)
        cbTls_->addItem(QString::fromUtf8(t.caption), static_cast<int>(t.mode));
    connect(cbTls_, &QComboBox::activated, this, &StreamSettingsPage::edited);
    grid->addWidget(cbTls_, 5, 1);

    edName_ = lineEditIn(6, 0, "名称：");
    edGenre_ = lineEditIn(6, 2, "类型：");
    edDescription_ = lineEditIn(7, 0, "描述：", 3);

    const SettingsPageFoot foot =
        AddSettingsPageFoot(grid, 8, "修改后立即保存，网络直播随之重新连接。");
    lbProblem_ = foot.warning;
    lbListen_ = foot.address;
}

void StreamSettingsPage::setSettings(const core::StreamSettings& s) {
    filling_ = true;
    chkEnabled_->setChecked(s.Enabled);
    edHost_->setText(QString::fromStdString(s.Host));
    spPort_->setValue(s.Port);
    edMount_->setText(QString::fromStdString(s.Mount));
    edUser_->setText(QString::fromStdString(s.User));
    edPassword_->setText(QString::fromStdString(s.Password));
    cbFormat_->setCurrentIndex(std::max(0, cbFormat_->findData(QString::fromStdString(s.Format))));
    spBitrate_->setValue(s.Bitrate);
    cbTls_->setCurrentIndex(std::max(0, cbTls_->findData(static_cast<int>(s.TLS))));
    edName_->setText(QString::fromStdString(s.Name));
    edGenre_->setText(QString::fromStdString(s.Genre));
    edDescription_->setText(QString::fromStdString(s.Description));
    lbListen_->setText(QStringLiteral("收听地址：http://%1:%2%3")
                           .arg(QString::fromStdString(s.Host))
                           .arg(s.Port)
                           .arg(QString::fromStdString(s.Mount)));
    filling_ = false;
}

core::StreamSettings StreamSettingsPage::settings() const {
    core::StreamSettings s;
    s.Enabled = chkEnabled_->isChecked();
    s.Host = edHost_->text().toStdString();
    s.Port = spPort_->value();
    s.Mount = edMount_->text().toStdString();
    s.User = edUser_->text().toStdString();
    s.Password = edPassword_->text().toStdString();
    s.Format = cbFormat_->currentData().toString().toStdString();
    s.Bitrate = spBitrate_->value();
    s.TLS = static_cast<core::StreamTls>(cbTls_->currentData().toInt());
    s.Name = edName_->text().toStdString();
    s.Genre = edGenre_->text().toStdString();
    s.Description = edDescription_->text().toStdString();
    return s;
}

void StreamSettingsPage::showProblem(const std::string& problem) {
    lbProblem_->setText(QString::fromStdString(problem));
    lbProblem_->setVisible(!problem.empty());
}

void StreamSettingsPage::edited() {
    if (!filling_ && onEdited) onEdited();
}

}  // namespace pelvano::gui
