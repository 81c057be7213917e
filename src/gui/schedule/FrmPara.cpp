#include "gui/schedule/FrmPara.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimeEdit>
#include <memory>
#include <stdexcept>

#include "core/app/TextHelpers.h"
#include "core/audio/TcbDSMixer.h"
#include "core/playout/ItemRelease.h"
#include "core/playout/Station.h"
#include "gui/app/AppContext.h"
#include "gui/controls/MyPanel.h"
#include "gui/controls/MyShape.h"
#include "gui/playout/TFrmMain.h"
#include "gui/schedule/CrossFadeDiagram.h"
#include "gui/schedule/LoudnessSettingsPage.h"
#include "gui/schedule/SettingsLook.h"
#include "gui/schedule/RemoteSettingsPage.h"
#include "gui/schedule/SilenceSettingsPage.h"
#include "gui/schedule/StreamSettingsPage.h"
#include "platform/remote/PasswordHash.h"

namespace pelvano::gui {

namespace {

// A password hash takes well under a second; a machine short of memory may take longer.
constexpr std::chrono::milliseconds kPasswordHashBound{30000};

using core::SettingColor;
using core::SettingFlag;

struct FlagControl {
    SettingFlag flag;
    const char* caption;
};

// The check boxes in the order they stand in the window.
constexpr FlagControl kFlagControls[] = {
    {SettingFlag::chkManOper, "允许手动播出"},
    {SettingFlag::chkRcdHis, "记录历史"},
    {SettingFlag::chkChangePB, "允许改变播出进度"},
    {SettingFlag::chkSure, "退出时提示"},
    {SettingFlag::chkKeepMessage, "节目更新时维持自动播出"},
    {SettingFlag::chkSectCycle, "节目段播放完毕从头开始播出"},
    {SettingFlag::chkAllCycle, "节目表播放完毕从头开始播出"},
    {SettingFlag::chkMin, "启动时最小化"},
    {SettingFlag::chkTimedPlay, "使用定时播出"},
    {SettingFlag::chkClockOne, "整点报时"},
    {SettingFlag::chkClockHalf, "半点提示"},
};

struct SwatchControl {
    SettingColor colour;
    const char* label;
};

constexpr SwatchControl kSwatches[] = {
    {SettingColor::plTMcl, "记时字体颜色："},
    {SettingColor::plDTcl, "日期字体颜色："},
    {SettingColor::plTTcl, "时间字体颜色："},
};

constexpr int kMinimumClientWidth = 560;

QSpinBox* spin(int low, int high, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    return s;
}

}  // namespace

TFrmPara::TFrmPara(core::Station& station, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      station_(station),
      settings_(station.settings()) {
    setWindowTitle(QStringLiteral("系统参数设置"));
    setAttribute(Qt::WA_QuitOnClose, false);  // closing only hides it
    chooseFont = [this](const QFont& start) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, start, this);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    chooseColor = [this](const QColor& start) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(start, this);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };
    buildControls();
    loadFromStation();
    // The pages at (0, 0) give the client size; the window stands in the middle.
    pages_->setMinimumWidth(kMinimumClientWidth);
    pages_->adjustSize();
    pages_->move(0, 0);
    setFixedSize(pages_->size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TFrmPara::TFrmPara(AppContext& app) : TFrmPara(app.station) {
    AppWindows& windows = app.windows;
    onLyricsSettings = [&windows] {
        if (!windows.frmMusicSet) return;
        windows.frmMusicSet->show();
        windows.frmMusicSet->raise();
    };
    onAppearanceChanged = [&windows] {
        if (windows.frmMain) windows.frmMain->applySettingsLook();
    };
}

void TFrmPara::buildControls() {
    pages_ = new QTabWidget(this);
    background_ = NewSettingsPanel(pages_);
    pages_->addTab(background_, QStringLiteral("播出参数"));
    streamPage_ = new StreamSettingsPage(pages_);
    streamPage_->onEdited = [this] { streamSettingsEdited(); };
    pages_->addTab(streamPage_, QStringLiteral("网络直播"));
    remotePage_ = new RemoteSettingsPage(pages_);
    remotePage_->onEdited = [this] { remoteSettingsEdited(); };
    pages_->addTab(remotePage_, QStringLiteral("远程控制"));
    silencePage_ = new SilenceSettingsPage(pages_);
    silencePage_->onEdited = [this] { silenceSettingsEdited(); };
    pages_->addTab(silencePage_, QStringLiteral("静音与备用"));
    loudnessPage_ = new LoudnessSettingsPage(pages_);
    loudnessPage_->onEdited = [this] { loudnessSettingsEdited(); };
    pages_->addTab(loudnessPage_, QStringLiteral("音量均衡"));
    auto* grid = new QGridLayout(background_);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(4);

    int row = 0;
    for (const FlagControl& c : kFlagControls) {
        auto* box = new QCheckBox(QString::fromUtf8(c.caption), background_);
        WhiteCaption(box);
        flags_[static_cast<std::size_t>(c.flag)] = box;
        connect(box, &QCheckBox::toggled, this, [this, flag = c.flag](bool on) {
            if (!loading_) settings_.setFlag(flag, on);
        });
        grid->addWidget(box, row % 6, row / 6 * 2, 1, 2);
        ++row;
    }
    chkAutoStart_ = new QCheckBox(QStringLiteral("开机自动启动系统"), background_);
    WhiteCaption(chkAutoStart_);
    connect(chkAutoStart_, &QCheckBox::toggled, this, [this](bool on) {
        if (!loading_) settings_.setAutoStart(on);
    });
    grid->addWidget(chkAutoStart_, 5, 2, 1, 2);

    auto* autoLoad = new QCheckBox(QStringLiteral("日期变更时自动装入新节目库："), background_);
    WhiteCaption(autoLoad);
    flags_[static_cast<std::size_t>(SettingFlag::chkAutoLoadJM)] = autoLoad;
    connect(autoLoad, &QCheckBox::toggled, this, [this](bool on) {
        if (!loading_) settings_.setFlag(SettingFlag::chkAutoLoadJM, on);
    });
    loadTimePicker_ = new QTimeEdit(background_);
    loadTimePicker_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    connect(loadTimePicker_, &QTimeEdit::timeChanged, this, [this](const QTime& t) {
        if (!loading_) settings_.setLoadTime(t.msecsSinceStartOfDay() / 1000);
    });
    grid->addWidget(autoLoad, 6, 0, 1, 2);
    grid->addWidget(loadTimePicker_, 6, 2);

    spOver_ = spin(1, 60, background_);
    spIN_ = spin(0, 59, background_);
    spOut_ = spin(0, 59, background_);
    const auto addSpin = [&](const char* caption, QSpinBox* box, int r,
                             bool (core::StationSettings::*set)(int)) {
        grid->addWidget(SettingsLabel(caption, background_), r, 0, 1, 2);
        grid->addWidget(box, r, 2);
        connect(box, &QSpinBox::valueChanged, this, [this, set](int v) {
            if (loading_) return;
            (settings_.*set)(v);
            updateDiagram();
        });
    };
    addSpin("两音乐播出交叉时间[s]：", spOver_, 7, &core::StationSettings::setSpOver);
    addSpin("新节目播出淡入时间[s]：", spIN_, 8, &core::StationSettings::setSpIN);
    addSpin("老节目结束淡出时间[s]：", spOut_, 9, &core::StationSettings::setSpOut);

    grid->addWidget(SettingsLabel("播出声卡：", background_), 10, 0);
    cbDevID_ = new QComboBox(background_);
    cbDevID_->setToolTip(QStringLiteral("改变播出声卡，会导致所有节目停播。需手动重新启动节目！"));
    connect(cbDevID_, &QComboBox::activated, this, &TFrmPara::cbDevIDChange);
    grid->addWidget(cbDevID_, 10, 1, 1, 3);

    btnFlyfont_ = new QPushButton(QStringLiteral("设置提示字体"), background_);
    btnFlyfont_->setToolTip(QStringLiteral("歌名歌星显示字体"));
    connect(btnFlyfont_, &QPushButton::clicked, this, &TFrmPara::btnFlyfontClick);
    grid->addWidget(btnFlyfont_, 11, 0);
    int swatchColumn = 0;
    for (const SwatchControl& s : kSwatches) {
        auto* shape = new TMyShape(background_);
        shape->SetDrawShape(dsText);
        shape->SetCaption(QString());
        shape->SetShowFrame(false);
        shape->SetbkTransParent(false);
        shape->setFixedSize(36, 16);
        shape->setCursor(Qt::PointingHandCursor);
        shape->installEventFilter(this);
        swatches_[static_cast<std::size_t>(s.colour)] = shape;
        auto* cell = new QHBoxLayout;
        cell->addWidget(SettingsLabel(s.label, background_));
        cell->addWidget(shape);
        cell->addStretch();
        grid->addLayout(cell, 12 + swatchColumn / 2, 0 + swatchColumn % 2 * 2, 1, 2);
        ++swatchColumn;
    }

    diagram_ = new CrossFadeDiagram(background_);
    grid->addWidget(diagram_, 14, 0, 1, 4);

    btnMusic_ = new QPushButton(QStringLiteral("歌词参数"), background_);
    connect(btnMusic_, &QPushButton::clicked, this, &TFrmPara::btnMusicClick);
    btnClose_ = new QPushButton(QStringLiteral("MP3歌词编辑"), background_);
    connect(btnClose_, &QPushButton::clicked, this, &TFrmPara::btnCloseClick);
    grid->addWidget(btnMusic_, 15, 2);
    grid->addWidget(btnClose_, 15, 3);
}

void TFrmPara::loadFromStation() {
    loading_ = true;
    for (std::size_t i = 0; i < flags_.size(); ++i)
        flags_[i]->setChecked(settings_.flag(static_cast<SettingFlag>(i)));
    chkAutoStart_->setChecked(settings_.chkAutoStart());
    loadTimePicker_->setTime(QTime::fromMSecsSinceStartOfDay(settings_.LoadTimeSeconds() * 1000));
    spOver_->setValue(settings_.spOver());
    spIN_->setValue(settings_.spIN());
    spOut_->setValue(settings_.spOut());
    btnFlyfont_->setFont(ToQFont(settings_.font()));
    for (std::size_t i = 0; i < swatches_.size(); ++i)
        swatches_[i]->SetColor(settings_.color(static_cast<SettingColor>(i)));
    cbDevID_->clear();
    if (core::TcbDSMixer* mixer = station_.mixer()) {
        for (int i = 0; i < mixer->DeviceCount(); ++i) {
            cbDevID_->addItem(GbkToQString(core::Format("(%2.2d)", i) + mixer->GetDeviceName(i)));
        }
    }
    cbDevID_->setCurrentIndex(settings_.cbDevID() < cbDevID_->count() ? settings_.cbDevID() : -1);
    stream_ = core::LoadStreamSettings(settings_.file());
    streamPage_->setSettings(stream_);
    remote_ = core::LoadRemoteSettings(settings_.file());
    remotePage_->setSettings(remote_);
    silencePage_->setSettings(station_.deadAirSettings());
    loudnessPage_->setSettings(station_.loudnessSettings());
    updateDiagram();
    loading_ = false;
}

void TFrmPara::updateDiagram() {
    diagram_->setLengths(spOut_->value(), spOver_->value(), spIN_->value());
}

void TFrmPara::cbDevIDChange(int index) {
    if (index < 0) return;
    station_.changeOutputDevice(index);
}

void TFrmPara::btnFlyfontClick() {
    const std::optional<QFont> chosen = chooseFont(ToQFont(settings_.font()));
    if (!chosen) return;
    btnFlyfont_->setFont(*chosen);
    settings_.setFont(FromQFont(*chosen, settings_.font().color));
    if (onAppearanceChanged) onAppearanceChanged();
}

void TFrmPara::swatchClick(SettingColor c) {
    const std::optional<QColor> chosen = chooseColor(ToQColor(settings_.color(c)));
    if (!chosen) return;
    const TColor value = FromQColor(*chosen);
    swatch(c)->SetColor(value);
    settings_.setColor(c, value);
    if (onAppearanceChanged) onAppearanceChanged();
}

void TFrmPara::btnMusicClick() {
    hide();
    if (onLyricsSettings) onLyricsSettings();
}

void TFrmPara::btnCloseClick() {
    core::RunWithItemReleased(station_.state(), station_.view(), onTagWindow);
}

void TFrmPara::streamSettingsEdited() {
    core::StreamSettings shown = streamPage_->settings();
    // A host that names no server is refused, not saved: the field shows the saved one again.
    const std::string problem = core::StreamHostProblem(shown.Host);
    streamPage_->showProblem(problem);
    if (!problem.empty()) shown.Host = stream_.Host;
    const core::StreamSettings edited = core::ValidStreamSettings(shown);
    if (!problem.empty()) streamPage_->setSettings(edited);
    if (edited == stream_) return;
    stream_ = edited;
    const bool saved = core::SaveStreamSettings(settings_.file(), edited);
    streamPage_->setSettings(edited);  // shows what was made valid, e.g. the mount's "/"
    if (onStreamSettingsChanged) onStreamSettingsChanged(edited);
    if (!saved) throw std::runtime_error("网络直播参数无法写入参数文件");
}

void TFrmPara::silenceSettingsEdited() {
    station_.setDeadAirSettings(silencePage_->settings());
}

void TFrmPara::remoteSettingsEdited() {
    const core::RemoteSettings edited = remotePage_->settings();
    const std::string password = remotePage_->takePassword();
    if (edited != remote_) remoteSettingsSaved(edited);
    if (!password.empty()) storeRemotePassword(password);
}

void TFrmPara::remoteSettingsSaved(const core::RemoteSettings& settings) {
    const bool saved = core::SaveRemoteSettings(settings_.file(), settings);
    remote_ = core::LoadRemoteSettings(settings_.file());
    remotePage_->setSettings(remote_);
    if (onRemoteSettingsChanged) onRemoteSettingsChanged(remote_);
    if (!saved) throw std::runtime_error("远程控制参数无法写入参数文件");
}

void TFrmPara::storeRemotePassword(const std::string& password) {
    if (remote_.User.empty()) {
        remotePage_->showNote(QStringLiteral("请先填写用户名，再输入密码"));
        return;
    }
    remotePage_->showNote(QStringLiteral("正在保存密码……"));
    auto hash = std::make_shared<std::string>();
    QPointer<TFrmPara> self(this);
    station_.work().run(
        [hash, password] {
            try {
                *hash = platform::HashPassword(password);
            } catch (const std::exception&) {
                // Left empty: told below.
            }
        },
        kPasswordHashBound,
        [self, hash](core::BackgroundWork::Outcome outcome) {
            if (!self) return;
            if (outcome != core::BackgroundWork::Outcome::Done || hash->empty()) {
                self->remotePage_->showNote(QStringLiteral("密码无法保存"));
                return;
            }
            core::RemoteSettings settings = self->remote_;
            settings.PasswordHash = *hash;
            self->remotePage_->showNote(QStringLiteral("密码已保存"));
            self->remoteSettingsSaved(settings);
        });
}

void TFrmPara::loudnessSettingsEdited() {
    const core::LoudnessSettings edited = loudnessPage_->settings();
    if (edited == station_.loudnessSettings()) return;
    const bool saved = station_.setLoudnessSettings(edited);
    loudnessPage_->setSettings(station_.loudnessSettings());
    if (!saved) throw std::runtime_error("音量均衡参数无法写入参数文件");
}

void TFrmPara::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    loadFromStation();
}

bool TFrmPara::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        for (std::size_t i = 0; i < swatches_.size(); ++i) {
            if (watched == swatches_[i]) {
                swatchClick(static_cast<SettingColor>(i));
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace pelvano::gui
