#include "gui/playout/TFrmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "core/app/DateTime.h"
#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/playout/PlayoutState.h"
#include "core/playout/ScheduleCommands.h"
#include "gui/app/UiErrors.h"
#include "gui/controls/MyProgressBarNew.h"
#include "gui/controls/MyRgnFrm.h"
#include "gui/controls/MyRoundButton.h"
#include "gui/controls/MyVolMeter.h"
#include "gui/controls/TransparentButton.h"
#include "gui/controls/velTracker.h"
#include "gui/playout/DigitalFont.h"
#include "gui/playout/PlayerSkin.h"
#include "gui/playout/PlayerWidgets.h"
#include "gui/playout/ProgressBarView.h"
#include "gui/playout/TrayReturn.h"

namespace pelvano::gui {

namespace {

using core::ColorStyle;

constexpr int kHintHideMs = 10000;

QLabel* makeLabel(QWidget* parent, const QRect& r, const QFont& font, Qt::Alignment align,
                  const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(r);
    l->setFont(font);
    l->setAlignment(align);
    // The labels lie on the skin: a press on them drags the window like the background.
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

void setLabelColour(QLabel* label, core::TColor colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ToQColor(colour));
    label->setPalette(pal);
}

core::FontRecord captionFont() {
    core::FontRecord f;
    f.name = core::Gbk("文泉驿微米黑");
    f.size = 7;
    f.color = core::clWhite;
    f.bold = true;
    return f;
}

TMyRoundButton* makeRoundButton(QWidget* parent, const QRect& r, const QString& caption,
                                const QString& hint) {
    auto* b = new TMyRoundButton(parent);
    b->setGeometry(r);
    b->SetBevelOuter(hbRaised);
    b->SetBorderStyle(bsSingle);
    b->SetBorderColor(core::MakeColor(20, 20, 20));
    if (!caption.isEmpty()) {
        b->SetFont(captionFont());
        b->SetCaption(caption);
    }
    b->setToolTip(hint);
    return b;
}

TTransparentButton* makeIconButton(QWidget* parent, const QRect& r, PlayerGlyph glyph,
                                   const QString& hint) {
    auto* b = new TTransparentButton(parent);
    b->setGeometry(r);
    b->SetFrameStyle(fsLight);
    b->SetGlyph(DrawButtonGlyph(glyph, r.height() - 4, QColor(235, 235, 235)));
    b->setToolTip(hint);
    return b;
}

TvelTracker* makeTracker(QWidget* parent, const QRect& r, int minimum, int maximum,
                         bool showValue) {
    auto* t = new TvelTracker(parent);
    t->setGeometry(r);
    t->SetMinimum(minimum);
    t->SetMaximum(maximum);
    t->SetThumbHeight(12);
    t->SetThumbWidth(showValue ? 22 : 15);
    t->SetTrackHeight(4);
    t->SetTrackColor(core::MakeColor(30, 30, 30));
    t->SetShowCaption(showValue);
    t->SetCaptionColor(core::clWhite);
    QFont f = t->font();
    f.setPixelSize(9);
    t->setFont(f);
    return t;
}

TMyVolMeter* makeMeter(QWidget* parent, const QRect& r) {
    auto* m = new TMyVolMeter(parent);
    m->setGeometry(r);
    m->Setstereo(false);
    m->SetlevelMin(0);
    m->SetlevelMax(100);
    m->SetlevelHigh(85);
    m->SetlevelMed(50);
    m->SetBackGroundColor(core::clBlack);
    return m;
}

}  // namespace

TFrmMain::TFrmMain(AppContext& app)
    : QWidget(nullptr, Qt::FramelessWindowHint), app_(app), trayReturn_(new TrayReturn(this)) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Pelvano"));
    // Window colour and key colour: pure blue.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(kPlayerKeyColour));
    setPalette(pal);
    setFixedSize(kWidth, kHeight);
    // The application's hints: yellow, gone after 10 s.
    QPalette tip = QToolTip::palette();
    tip.setColor(QPalette::ToolTipBase, QColor(255, 255, 128));
    tip.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tip);
    createControls();
    wireCommands();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::createControls() {
    pl = new QWidget(this);
    pl->setGeometry(0, 0, kWidth, kHeight);
    imgBK = new QLabel(pl);
    imgBK->setGeometry(0, 0, kWidth, kHeight);
    rgnFrm_ = new TMyRgnFrm(this);
    rgnFrm_->SetPanel(pl);
    rgnFrm_->Setimg(imgBK);

    const core::AppPaths& paths = app_.station.paths();
    const QString digital = DigitalFontFamily(
        paths.applicationDir, QCoreApplication::applicationDirPath().toStdString() + "/");
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    plDate = makeLabel(pl, {16, 9, 66, 14}, DigitalFont(digital, 11), left, {});
    lbWeek = makeLabel(pl, {16, 25, 66, 14}, DigitalFont(digital, 12), left, {});
    setLabelColour(lbWeek, core::clAqua);  // its own colour: the date colour is plDate's alone
    plTimeBK = makeLabel(pl, {84, 8, 134, 30}, DigitalFont(digital, 24), Qt::AlignCenter,
                         QStringLiteral("88:88:88"));
    plTime = makeLabel(pl, {84, 8, 134, 30}, DigitalFont(digital, 24), Qt::AlignCenter, {});
    plPlayTime =
        makeLabel(pl, {14, 40, 76, 17}, DigitalFont(digital, 14), right, QStringLiteral("000:00."));
    plPlayTime2 =
        makeLabel(pl, {90, 40, 12, 17}, DigitalFont(digital, 14), left, QStringLiteral("0"));
    plPlayTimeOld =
        makeLabel(pl, {120, 42, 62, 14}, DigitalFont(digital, 11), left, QStringLiteral("000:00"));
    plLength =
        makeLabel(pl, {228, 42, 54, 14}, DigitalFont(digital, 11), right, QStringLiteral("00:00"));

    btnShow = makeIconButton(pl, {222, 9, 19, 16}, PlayerGlyph::List, QStringLiteral("播放列表"));
    btnMin = makeIconButton(pl, {243, 9, 19, 16}, PlayerGlyph::Minimise, QStringLiteral("最小化"));
    btnExit = makeIconButton(pl, {264, 9, 19, 16}, PlayerGlyph::Exit, QStringLiteral("退出"));

    Shape1 = new RoundedFrame(pl);
    Shape1->setGeometry(10, 62, 277, 16);
    plPB = new QWidget(pl);
    plPB->setGeometry(Shape1->geometry().adjusted(1, 1, -1, -1));
    PB = new TMyProgressBarNew(plPB);
    PB->setGeometry(0, 0, plPB->width(), plPB->height() + 2);
    PB->SetBackgroundColor(core::clBlack);
    PB->SetBarColorStyle(cs3Colors);
    PB->SetShowCaption(true);
    PB->SetCaption(QStringLiteral("播出：无"));
    PB4 = new TMyProgressBarNew(plPB);
    PB4->setGeometry(PB->geometry());
    PB4->SetBackgroundColor(core::clBlack);
    PB4->SetBarColorStyle(cs2Colors);
    PB4->SetCaption(QStringLiteral("正检查节目表错误"));
    core::FontRecord saveText = PB4->Font();
    saveText.color = core::clWhite;  // readable on the black bar
    PB4->SetFont(saveText);
    PB4->hide();
    saveBar_ = std::make_unique<ProgressBarView>(*PB4, /*showWhileBusy=*/true);

    const core::LevelMeters& meters = app_.station.meters();
    paintboxLeft = new LevelPaintBox(pl, meters, 0, Qt::white);
    paintboxLeft->setGeometry(12, 84, 72, 40);
    pbarLeft = makeMeter(pl, {86, 84, 6, 40});
    paintboxRight = new LevelPaintBox(pl, meters, 1, QColor(255, 255, 0));
    paintboxRight->setGeometry(96, 84, 72, 40);
    pbarRight = makeMeter(pl, {170, 84, 6, 40});

    btnPlay = makeRoundButton(pl, {191, 84, 24, 24}, {}, QStringLiteral("播放"));
    btnPause = makeRoundButton(pl, {225, 84, 24, 24}, {}, QStringLiteral("暂停"));
    btnStop = makeRoundButton(pl, {259, 84, 24, 24}, {}, QStringLiteral("停止"));
    btnPlay->SetGlyph(DrawButtonGlyph(PlayerGlyph::Play, 12, Qt::white));
    btnPause->SetGlyph(DrawButtonGlyph(PlayerGlyph::Pause, 12, Qt::white));
    btnStop->SetGlyph(DrawButtonGlyph(PlayerGlyph::Stop, 12, Qt::white));
    btnColor =
        makeRoundButton(pl, {187, 111, 17, 17}, QStringLiteral("C"), QStringLiteral("颜色风格"));
    btnPara =
        makeRoundButton(pl, {208, 111, 17, 17}, QStringLiteral("P"), QStringLiteral("参数设置！"));
    btnLoad = makeRoundButton(pl, {229, 111, 17, 17}, QStringLiteral("L"), {});
    btnSave = makeRoundButton(pl, {250, 111, 17, 17}, QStringLiteral("S"),
                              QStringLiteral("计算和保存当前节目表"));
    btnSel = makeRoundButton(pl, {271, 111, 17, 17}, QStringLiteral("J"),
                             QStringLiteral("打开/关闭节目表选择"));

    tbVol = makeTracker(pl, {10, 128, 96, 16}, core::kFadeInStartLevel, 0, false);
    tbVol->setToolTip(QStringLiteral("音量"));
    tbPan = makeTracker(pl, {110, 128, 80, 16}, -10000, 10000, false);
    tbPan->setToolTip(QStringLiteral("平衡"));
    tbTrs = makeTracker(pl, {194, 126, 92, 18}, 0, 255, true);

    PopupMenu2 = new QMenu(this);
    mnBlue = PopupMenu2->addAction(QStringLiteral("蓝色"));
    mnGreen = PopupMenu2->addAction(QStringLiteral("绿色"));
    mnRed = PopupMenu2->addAction(QStringLiteral("红色"));

    for (QWidget* w : pl->findChildren<QWidget*>()) {
        if (!w->toolTip().isEmpty() || w == btnLoad) w->setToolTipDuration(kHintHideMs);
    }
    // The background drags the window; a press on the progress bar belongs to its seek.
    for (QWidget* w : {pl, static_cast<QWidget*>(imgBK), plPB}) w->installEventFilter(this);
    PB->installEventFilter(this);
    PB4->installEventFilter(this);
}

void TFrmMain::wireCommands() {
    core::Station& station = app_.station;
    btnPlay->OnClick = [&station](TMyRoundButton*) { station.items().btnPlayClick(); };
    btnPause->OnClick = [&station](TMyRoundButton*) { station.items().btnPauseClick(); };
    btnStop->OnClick = [&station](TMyRoundButton*) { station.items().btnStopClick(); };
    PB->OnMouseUp = [&station](TMyProgressBarNew* bar, Qt::MouseButton, Qt::KeyboardModifiers,
                               int x, int) { station.items().PBMouseUp(x, bar->width()); };
    tbVol->onChangedValue = [&station](TvelTracker*, int v) { station.sliders().setVolume(v); };
    tbPan->onChangedValue = [&station](TvelTracker*, int v) { station.sliders().setPan(v); };
    tbTrs->onChangedValue = [&station](TvelTracker*, int v) {
        station.sliders().setTransparency(v);
    };
    btnColor->OnClick = [this](TMyRoundButton*) { PopupMenu2->popup(QCursor::pos()); };
    connect(mnBlue, &QAction::triggered, this,
            [&station] { station.sliders().setColorStyle(ColorStyle::Blue); });
    connect(mnGreen, &QAction::triggered, this,
            [&station] { station.sliders().setColorStyle(ColorStyle::Green); });
    connect(mnRed, &QAction::triggered, this,
            [&station] { station.sliders().setColorStyle(ColorStyle::Red); });
    btnLoad->OnMouseEnter = [this](TMyRoundButton*) { btnLoadMouseEnter(); };
    btnLoad->OnClick = [&station](TMyRoundButton*) { station.loadTodaySchedule(); };
    btnSave->OnClick = [this](TMyRoundButton*) { btnSaveClick(); };
    btnShow->OnClick = [this](TransparentButtonBase*) { btnShowClick(); };
    btnSel->OnClick = [this](TMyRoundButton*) {
        if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->toggleFileSelection();
    };
    btnPara->OnClick = [this](TMyRoundButton*) {
        if (QWidget* para = app_.windows.frmPara) {
            para->show();
            para->raise();
        }
    };
    btnMin->OnClick = [this](TransparentButtonBase*) { minimizeApplication(); };
    btnExit->OnClick = [this](TransparentButtonBase*) { close(); };
}

void TFrmMain::btnLoadMouseEnter() {
    const std::string name = core::FileNameOf(app_.station.todayScheduleFile());
    btnLoad->setToolTip(QStringLiteral(" ！载入【今天】的播出节目表【") +
                        QString::fromStdString(name) + QStringLiteral("】"));
}

void TFrmMain::btnSaveClick() {
    PB4->show();
    ProgressBarView progress(*PB4);
    const core::SaveResult saved = core::ScheduleCommands(app_.station).Save(&progress);
    PB4->hide();
    imgBK->update();
    repaintSchedule();  // the save erased bad start times and computed new estimates
    if (!saved.ok) app_.errors.report(saved.error);
}

void TFrmMain::btnShowClick() {
    QWidget* schedule = scheduleWidget();
    if (!schedule) return;
    schedule->setVisible(!schedule->isVisible());
    raise();
    activateWindow();
    core::IniWrite(app_.station.settings().file(), "START", "PlayList",
                   core::YesNo(schedule->isVisible()));
}

QWidget* TFrmMain::scheduleWidget() const {
    return app_.windows.frmPlayJM ? app_.windows.frmPlayJM->scheduleWidget() : nullptr;
}

void TFrmMain::dockScheduleWindow() {
    QWidget* schedule = scheduleWidget();
    if (schedule && schedule->isVisible()) app_.windows.frmPlayJM->dockUnder(geometry());
}

void TFrmMain::showPlayer() {
    move(app_.station.playerLeft, app_.station.playerTop);
    const core::PlayerSliders& sliders = app_.station.sliders();
    tbVol->SetValue(sliders.tbVol);
    tbPan->SetValue(sliders.tbPan);
    tbTrs->SetValue(sliders.tbTrs);
    applySettingsLook();
    showPlayoutHold(app_.station.state().PlayoutHoldOwners);  // a hold taken before the player
    show();
    dockScheduleWindow();
}

void TFrmMain::applySettingsLook() {
    const core::StationSettings& s = app_.station.settings();
    for (QLabel* l : {plPlayTime, plPlayTime2, plPlayTimeOld, plLength}) {
        setLabelColour(l, s.color(core::SettingColor::plTMcl));
    }
    setLabelColour(plDate, s.color(core::SettingColor::plDTcl));
    setLabelColour(plTime, s.color(core::SettingColor::plTTcl));
    PB->SetFont(s.font());
}

core::ScheduleProgressView* TFrmMain::scheduleSaveBar() {
    return saveBar_.get();
}

QImage TFrmMain::renderShaped() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setClipRegion(rgnFrm_->Shape());
    render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// --- what the station shows ---

void TFrmMain::setProgressVisible(bool visible) {
    PB->setVisible(visible);
}
void TFrmMain::setProgressMaximum(int max) {
    PB->SetMax(max);
}
void TFrmMain::setProgressPosition(int position) {
    PB->SetPosition(position);
}
void TFrmMain::setProgressCaption(const std::string& gbk) {
    itemCaption_ = GbkToQString(gbk);
    if (holdOwners_ == 0) PB->SetCaption(itemCaption_);
}

void TFrmMain::showPlayoutHold(unsigned owners) {
    holdOwners_ = owners;
    if (owners == 0) {
        PB->SetCaption(itemCaption_);
        return;
    }
    QStringList by;
    if (owners & core::kHoldByLyricsEditor) by << QStringLiteral("歌词编辑");
    if (owners & core::kHoldByTagWindow) by << QStringLiteral("MP3歌词编辑");
    PB->SetCaption(QStringLiteral("自动播出已暂停（") + by.join(QStringLiteral("、")) +
                   QStringLiteral("）"));
    PB->show();
}

void TFrmMain::setLabel(core::PlayerLabel label, const std::string& gbk) {
    using core::PlayerLabel;
    QLabel* target = nullptr;
    switch (label) {
        case PlayerLabel::plPlayTime:
            target = plPlayTime;
            break;
        case PlayerLabel::plPlayTime2:
            target = plPlayTime2;
            break;
        case PlayerLabel::plPlayTimeOld:
            target = plPlayTimeOld;
            break;
        case PlayerLabel::plLength:
            target = plLength;
            break;
        case PlayerLabel::plDate:
            target = plDate;
            break;
        case PlayerLabel::plTime:
            target = plTime;
            break;
        case PlayerLabel::lbWeek:
            target = lbWeek;
            break;
    }
    const QString text = GbkToQString(gbk);
    if (target->text() != text) target->setText(text);
}

// The task bar shows the player, so its title is the application's; the other windows keep
// their own captions.
void TFrmMain::setApplicationTitle(const std::string& gbk) {
    setWindowTitle(GbkToQString(gbk));
}

void TFrmMain::repaintSchedule() {
    if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->repaintSchedule();
}

void TFrmMain::setScheduleCaption(const std::string& gbk) {
    if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->setScheduleCaption(gbk);
}

void TFrmMain::setScheduleWindowVisible(bool visible) {
    if (QWidget* schedule = scheduleWidget()) schedule->setVisible(visible);
}

void TFrmMain::minimizeApplication() {
    trayReturn_->minimise();
}

void TFrmMain::setTranslucency(bool on, int opacity) {
    const qreal value = on ? opacity / 255.0 : 1.0;
    setWindowOpacity(value);
    if (QWidget* schedule = scheduleWidget()) schedule->setWindowOpacity(value);
}

void TFrmMain::applyColorStyle(ColorStyle style) {
    imgBK->setPixmap(QPixmap::fromImage(DrawPlayerSkin(style)));
    imgBK->move(0, 0);
    rgnFrm_->SetTransparentColor(kPlayerKeyColour);
    setMask(rgnFrm_->Shape());
    ApplyAccentColour(core::PlayerSliders::AccentOf(style));
    const QImage grid = DrawSliderGrid(style);
    for (TvelTracker* t : {tbVol, tbPan, tbTrs}) t->SetBackBitmap(grid);
}

void TFrmMain::ApplyAccentColour(core::TColor accent) {
    PB->SetBarColor1(accent);
    PB->SetBarColor2(core::MakeColor(192, 192, 192));
    PB->SetBarColor3(accent);
    for (TMyRoundButton* b :
         {btnColor, btnPara, btnLoad, btnSave, btnSel, btnPlay, btnPause, btnStop}) {
        b->SetFaceColor(accent);
    }
    for (TvelTracker* t : {tbVol, tbPan, tbTrs}) t->SetThumbColor(accent);
    Shape1->setPenColour(ToQColor(core::ScaleColor(accent, 0.5)));
    setLabelColour(plTimeBK, core::ScaleColor(accent, 1.4));
    if (app_.windows.frmPlayJM) app_.windows.frmPlayJM->applyAccentColour(accent);
}

void TFrmMain::setLevels(double left, double right) {
    pbarLeft->SetLeftPosition(static_cast<float>(left));
    pbarRight->SetLeftPosition(static_cast<float>(right));
    paintboxLeft->update();
    paintboxRight->update();
}

// --- dragging and closing ---

bool TFrmMain::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
        return QWidget::eventFilter(watched, e);
    }
    if (watched == PB || watched == PB4) {
        // Accepting the press keeps it from the panel below; the release seeks.
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) return true;
        return QWidget::eventFilter(watched, e);
    }
    const auto* mouse = static_cast<QMouseEvent*>(e);
    const QPoint global = mouse->globalPosition().toPoint();
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        dragging_ = true;
        dragPoint_ = global;
    } else if (type == QEvent::MouseMove && dragging_) {
        move(pos() + global - dragPoint_);
        dragPoint_ = global;
    } else if (type == QEvent::MouseButtonRelease && dragging_) {
        dragging_ = false;
        dockScheduleWindow();
    }
    return true;
}

bool TFrmMain::confirmExit() {
    if (!app_.station.settings().chkSure()) return true;
    const QString text = QStringLiteral("退出播出系统，自动播出将停止！") +
                         QStringLiteral("\n\r\n\r") + QStringLiteral("按“取消”按钮停止退出。");
    return QMessageBox::question(this, QStringLiteral("确认退出"), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

void TFrmMain::closeEvent(QCloseEvent* e) {
    if (!confirmExit()) {
        e->ignore();
        return;
    }
    writeCloseKeys();
    e->accept();
    QCoreApplication::quit();
}

void TFrmMain::closeWithoutAsking() {
    writeCloseKeys();
    // Not quit(): in Qt 6 that closes every window first, and this one would ask again.
    QCoreApplication::exit(0);
}

void TFrmMain::writeCloseKeys() {
    app_.station.playerLeft = x();
    app_.station.playerTop = y();
    app_.station.writeCloseKeys();
}

}  // namespace pelvano::gui
