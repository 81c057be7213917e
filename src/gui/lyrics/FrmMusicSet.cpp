#include "gui/lyrics/FrmMusicSet.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "core/audio/TcbDSMixerChannel.h"
#include "core/lyrics/LyricsTable.h"
#include "core/playout/ItemRelease.h"
#include "core/playout/Station.h"
#include "gui/controls/QtAdapters.h"
#include "gui/lyrics/FrmMusic.h"

namespace pelvano::gui {

namespace {

constexpr int kGridRowHeight = 16;

QSpinBox* SpinEdit(QWidget* parent, const char* name, int low, int high) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(low, high);
    return spin;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption,
                    const QString& hint = {}) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(hint);
    return box;
}

// A colour panel: a flat button whose caption is drawn in the colour it stands for.
void ShowCaptionColor(QPushButton* panel, TColor color) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::ButtonText, ToQColor(color));
    panel->setPalette(palette);
}

}  // namespace

core::TcbDSMixerChannel* StationLyricsPlayout::currentChannel() {
    return station_.state().CurrentChannel;
}

// The progress bar shows the channel's position at every scheduler tick; the live position is
// what it would show now.
int StationLyricsPlayout::shownPositionMs() const {
    core::TcbDSMixerChannel* ch = station_.state().CurrentChannel;
    return ch ? ch->Position() : 0;
}

void StationLyricsPlayout::setPlayoutHold(bool on) {
    core::SetPlayoutHold(station_.state(), station_.view(), core::kHoldByLyricsEditor, on);
}

TFrmMusicSet::TFrmMusicSet(TFrmMusic& display, core::Station& station, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      display_(display),
      playout_(station),
      editor_(display.lyrics(), playout_, display.tags()) {
    setObjectName(QStringLiteral("FrmMusicSet"));
    setWindowTitle(QStringLiteral(" 歌词参数设置"));
    auto* layout = new QHBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral(" 歌词播放区设置"), this);
    buildDisplayGroup(group);
    layout->addWidget(group);
    auto* editorArea = new QWidget(this);
    buildEditor(editorArea);
    layout->addWidget(editorArea, 1);

    display_.attachEditor(&editor_);
    connect(&display_, &TFrmMusic::lyricsLoaded, this, [this] {
        showTable();
        showRawLines();
    });
    connect(&display_, &TFrmMusic::frameShown, this, &TFrmMusicSet::showCurrentRow);
    connect(&display_, &TFrmMusic::moved, this, [this](int left, int top) {
        spML_->setValue(left);
        spMT_->setValue(top);
    });

    display_.settings().LoadLyricsSettings();
    loadControlsFromSettings();
    editor_.UpdateEditorButtons();
    applySettings();
    showTable();
    showRawLines();
    adjustSize();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TFrmMusicSet::~TFrmMusicSet() {
    display_.attachEditor(nullptr);
}

void TFrmMusicSet::buildDisplayGroup(QWidget* group) {
    auto* grid = new QGridLayout(group);
    spML_ = SpinEdit(group, "spML", 0, 2000);
    spMT_ = SpinEdit(group, "spMT", 0, 2000);
    spMW_ = SpinEdit(group, "spMW", 100, 1500);
    spMH_ = SpinEdit(group, "spMH", 20, 300);
    spTransMusic_ = SpinEdit(group, "spTransMusic", 80, 255);
    grid->addWidget(new QLabel(QStringLiteral("左         上"), group), 0, 0, 1, 2);
    grid->addWidget(spML_, 1, 0);
    grid->addWidget(spMT_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("宽         高"), group), 2, 0, 1, 2);
    grid->addWidget(spMW_, 3, 0);
    grid->addWidget(spMH_, 3, 1);

    plMusicFont_ = new QPushButton(QStringLiteral("字体"), group);
    plMusicFont_->setObjectName(QStringLiteral("plMusicFont"));
    auto* btnApplyMusic = new QPushButton(QStringLiteral("应 用"), group);
    btnApplyMusic->setObjectName(QStringLiteral("btnApplyMusic"));
    grid->addWidget(plMusicFont_, 4, 0);
    grid->addWidget(btnApplyMusic, 4, 1);

    chkPlaySongText_ = CheckBox(group, "chkPlaySongText", QStringLiteral("播放歌词"));
    chkInMP3lrcFirst_ = CheckBox(group, "chkInMP3lrcFirst", QStringLiteral("MP3内置歌词优先播放"));
    grid->addWidget(chkPlaySongText_, 5, 0, 1, 2);
    grid->addWidget(chkInMP3lrcFirst_, 6, 0, 1, 2);

    chkMusicTextCenter_ = new QComboBox(group);
    chkMusicTextCenter_->setObjectName(QStringLiteral("chkMusicTextCenter"));
    chkMusicTextCenter_->addItems({QStringLiteral("歌词显示左对齐"), QStringLiteral("歌词显示居中"),
                                   QStringLiteral("歌词显示右对齐")});
    grid->addWidget(chkMusicTextCenter_, 7, 0, 1, 2);

    plMusicFrameColor_ = new QPushButton(QStringLiteral("歌词文字下画线颜色"), group);
    plMusicFrameColor_->setObjectName(QStringLiteral("plMusicFrameColor"));
    plCurTextColor_ = new QPushButton(QStringLiteral("当前行歌词文字颜色"), group);
    plCurTextColor_->setObjectName(QStringLiteral("plCurTextColor"));
    for (QPushButton* panel : {plMusicFrameColor_, plCurTextColor_}) {
        panel->setFlat(true);
        panel->setAutoFillBackground(true);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Button, Qt::black);
        panel->setPalette(palette);
    }
    grid->addWidget(plMusicFrameColor_, 8, 0, 1, 2);
    grid->addWidget(plCurTextColor_, 9, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("文字不透明度"), group), 10, 0);
    grid->addWidget(spTransMusic_, 10, 1);
    auto* note =
        new QLabel(QStringLiteral(" 歌词文件自动使用同目录下的同名歌词文件！[lrc]"), group);
    note->setWordWrap(true);
    grid->addWidget(note, 11, 0, 1, 2);
    grid->setRowStretch(12, 1);

    core::LyricsSettings& s = display_.settings();
    connect(btnApplyMusic, &QPushButton::clicked, this, [this] {
        if (std::string error; !applySettings(&error))
            report({core::LyricsStoreResult::Outcome::Failed, error});
    });
    connect(chkPlaySongText_, &QCheckBox::clicked, this,
            [&s](bool on) { s.setChkPlaySongText(on); });
    connect(chkInMP3lrcFirst_, &QCheckBox::clicked, this,
            [&s](bool on) { s.setChkInMP3lrcFirst(on); });
    connect(chkMusicTextCenter_, &QComboBox::activated, this,
            [&s](int index) { s.setChkMusicTextCenter(index); });
    connect(plMusicFont_, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const core::FontRecord& now = display_.settings().plMusicFont();
        const QFont font = QFontDialog::getFont(&ok, ToQFont(now), this, QStringLiteral("字体"));
        if (!ok) return;
        // The platform's font dialog has no colour: the text colour is chosen next.
        const QColor color =
            QColorDialog::getColor(ToQColor(now.color), this, QStringLiteral("字体颜色"));
        chooseFont(font, color.isValid() ? color : ToQColor(now.color));
    });
    connect(plMusicFrameColor_, &QPushButton::clicked, this, [this] {
        const QColor c =
            QColorDialog::getColor(ToQColor(display_.settings().plMusicFrameColor()), this);
        if (c.isValid()) chooseUnderlineColor(c);
    });
    connect(plCurTextColor_, &QPushButton::clicked, this, [this] {
        const QColor c =
            QColorDialog::getColor(ToQColor(display_.settings().plCurTextColor()), this);
        if (c.isValid()) chooseCurrentLineColor(c);
    });
}

QPushButton* TFrmMusicSet::addButton(const char* name, const QString& caption, const QString& hint,
                                     void (core::LyricsEditor::*command)()) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    if (command) {
        connect(button, &QPushButton::clicked, this, [this, command] {
            (editor_.*command)();
            showTable();
        });
    }
    return button;
}

void TFrmMusicSet::buildEditor(QWidget* area) {
    using E = core::LyricsEditor;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);

    sgMusicText_ = new QTableWidget(area);
    sgMusicText_->setObjectName(QStringLiteral("sgMusicText"));
    sgMusicText_->setColumnCount(2);
    sgMusicText_->setHorizontalHeaderLabels(
        {GbkToQString(core::LyricsTimeHeader()), GbkToQString(core::LyricsTextHeader())});
    // The design width, or the width a time text needs in this system's font.
    const int timeWidth =
        sgMusicText_->fontMetrics().horizontalAdvance(QStringLiteral("000:00.00"));
    sgMusicText_->setColumnWidth(core::kLyricTimeCol, std::max(59, timeWidth + 8));
    sgMusicText_->setColumnWidth(core::kLyricTextCol, 213);
    sgMusicText_->horizontalHeader()->setStretchLastSection(true);
    sgMusicText_->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    sgMusicText_->verticalHeader()->hide();
    sgMusicText_->setMinimumSize(300, 260);
    column->addWidget(sgMusicText_, 3);

    mm_ = new QPlainTextEdit(area);
    mm_->setObjectName(QStringLiteral("mm"));
    mm_->setReadOnly(true);
    mm_->setLineWrapMode(QPlainTextEdit::NoWrap);
    column->addWidget(mm_, 1);

    chkEditMusic_ =
        CheckBox(area, "chkEditMusic", QStringLiteral("编辑"),
                 QStringLiteral("允许或不允许直接修改歌词，在编辑状态，歌曲自动播放将停止！"));
    chkPause_ = CheckBox(area, "chkPause", QStringLiteral("取时间时暂停"));
    spAddTime_ = SpinEdit(area, "spAddTime", E::kStepLow, E::kStepHigh);
    spAddTime_->setValue(editor_.spAddTime());

    auto* buttons = new QGridLayout;
    buttons->addWidget(chkEditMusic_, 0, 0);
    buttons->addWidget(chkPause_, 0, 1, 1, 2);
    buttons->addWidget(
        addButton("btnInsertText", QStringLiteral("插入"), {}, &E::btnInsertTextClick), 1, 0);
    buttons->addWidget(addButton("btnAddText", QStringLiteral("增加"), {}, &E::btnAddTextClick), 1,
                       1);
    buttons->addWidget(addButton("btnCopyText", QStringLiteral("复制"), {}, &E::btnCopyTextClick),
                       1, 2);
    buttons->addWidget(
        addButton("btnDeleteText", QStringLiteral("删除"), {}, &E::btnDeleteTextClick), 1, 3);
    buttons->addWidget(addButton("btnTwoRow", QStringLiteral("分成两行"), {}, &E::btnTwoRowClick),
                       2, 0);
    buttons->addWidget(addButton("btnTrim", QStringLiteral("去空"), {}, &E::btnTrimClick), 2, 1);
    buttons->addWidget(addButton("btnPlay", QStringLiteral("继续[&C]"), {}, &E::btnPlayClick), 2,
                       2);
    buttons->addWidget(
        addButton("btnEqual", QStringLiteral("均匀分布"),
                  QStringLiteral("把所有歌词的播放时间均匀分布，适合在开始指定时间前使用。"),
                  &E::btnEqualClick),
        2, 3);
    buttons->addWidget(
        addButton("btnAddTime", QStringLiteral("时间推迟"),
                  QStringLiteral("把选定范围内的歌词时间推迟或提前！"), &E::btnAddTimeClick),
        3, 0);
    buttons->addWidget(spAddTime_, 3, 1);
    buttons->addWidget(addButton("btnSetTime", QStringLiteral("取当前时间[&T]"),
                                 QStringLiteral("根据音乐播放进度，填写当前行歌词的开播时间！"),
                                 &E::btnSetTimeClick),
                       3, 2, 1, 2);
    QPushButton* save = addButton("btnSaveMusicText", QStringLiteral("保存歌词到文件"),
                                  QStringLiteral("保存歌词到对应歌词文件[.lrc]"), nullptr);
    QPushButton* store = addButton("btnSaveLrctoMP3", QStringLiteral("歌词导入MP3文件"),
                                   QStringLiteral("把歌词写入到MP3文件中保存"), nullptr);
    QPushButton* import = addButton("btnInputLrc", QStringLiteral("导入歌词文件"), {}, nullptr);
    buttons->addWidget(save, 4, 0, 1, 2);
    buttons->addWidget(store, 4, 2, 1, 2);
    buttons->addWidget(import, 5, 0, 1, 2);
    checkBox1_ =
        CheckBox(area, "CheckBox1", QStringLiteral("歌词导入MP3文件时保留其他v2Tag"),
                 QStringLiteral("对MP3标签不规范的文件，保留原有tag仍然会有不规范的嫌疑！"));
    buttons->addWidget(checkBox1_, 6, 0, 1, 4);
    column->addLayout(buttons);

    connect(chkEditMusic_, &QCheckBox::clicked, this, &TFrmMusicSet::setEditMode);
    connect(chkPause_, &QCheckBox::toggled, this, [this](bool on) { editor_.chkPause = on; });
    connect(checkBox1_, &QCheckBox::toggled, this, [this](bool on) { editor_.CheckBox1 = on; });
    connect(spAddTime_, &QSpinBox::valueChanged, this, [this](int v) { editor_.setSpAddTime(v); });
    connect(save, &QPushButton::clicked, this, [this] { report(saveLyricsFile()); });
    connect(store, &QPushButton::clicked, this, [this] { report(storeInMp3()); });
    connect(import, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, {}, {}, QStringLiteral("歌词文件[*.lrc] (*.lrc);;文本文件[*.txt] (*.txt)"));
        if (!path.isEmpty()) importLyricsFile(path);
    });
    connect(sgMusicText_, &QTableWidget::cellChanged, this, &TFrmMusicSet::cellEdited);
    connect(sgMusicText_, &QTableWidget::itemSelectionChanged, this, &TFrmMusicSet::selectionMoved);
    connect(sgMusicText_, &QTableWidget::currentCellChanged, this, &TFrmMusicSet::selectionMoved);
    setEditMode(false);
}

void TFrmMusicSet::loadControlsFromSettings() {
    const core::LyricsSettings& s = display_.settings();
    spML_->setValue(s.spML());
    spMT_->setValue(s.spMT());
    spMW_->setValue(s.spMW());
    spMH_->setValue(s.spMH());
    spTransMusic_->setValue(s.spTransMusic());
    chkPlaySongText_->setChecked(s.chkPlaySongText());
    chkInMP3lrcFirst_->setChecked(s.chkInMP3lrcFirst());
    // A stored index beyond the list draws right-aligned; the list shows nothing chosen then.
    chkMusicTextCenter_->setCurrentIndex(
        s.chkMusicTextCenter() >= 0 && s.chkMusicTextCenter() <= 2 ? s.chkMusicTextCenter() : -1);
    showColors();
}

void TFrmMusicSet::showColors() {
    const core::LyricsSettings& s = display_.settings();
    ShowCaptionColor(plMusicFrameColor_, s.plMusicFrameColor());
    ShowCaptionColor(plCurTextColor_, s.plCurTextColor());
    plMusicFont_->setFont(ToQFont(s.plMusicFont()));
}

bool TFrmMusicSet::applySettings(std::string* error) {
    core::LyricsSettings& s = display_.settings();
    s.setGeometry(spML_->value(), spMT_->value(), spMW_->value(), spMH_->value());
    s.setSpTransMusic(spTransMusic_->value());
    bool stored = true;
    display_.applyPlacement(s.ApplyLyricsSettings(&stored, error));
    editor_.UpdateEditorButtons();
    showButtons();
    return stored;
}

void TFrmMusicSet::chooseFont(const QFont& font, const QColor& color) {
    display_.settings().setFont(FromQFont(font, FromQColor(color)));
    showColors();
}

void TFrmMusicSet::chooseUnderlineColor(const QColor& color) {
    display_.settings().setPlMusicFrameColor(FromQColor(color));
    showColors();
}

void TFrmMusicSet::chooseCurrentLineColor(const QColor& color) {
    display_.settings().setPlCurTextColor(FromQColor(color));
    showColors();
}

void TFrmMusicSet::setEditMode(bool on) {
    chkEditMusic_->setChecked(on);
    editor_.setChkEditMusic(on);
    const bool editing = editor_.controls().gridEditing;
    sgMusicText_->setEditTriggers(editing ? QAbstractItemView::AllEditTriggers
                                          : QAbstractItemView::NoEditTriggers);
    sgMusicText_->setSelectionBehavior(editing ? QAbstractItemView::SelectItems
                                               : QAbstractItemView::SelectRows);
    // Ranges in both modes: "时间推迟" and the other line commands work on the rows selected.
    sgMusicText_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    showButtons();
    showCurrentRow();
}

void TFrmMusicSet::showButtons() {
    using C = core::LyricsEditorControls;
    static const std::pair<const char*, bool C::*> kEnabling[] = {
        {"btnInsertText", &C::btnInsertText},
        {"btnAddText", &C::btnAddText},
        {"btnCopyText", &C::btnCopyText},
        {"btnDeleteText", &C::btnDeleteText},
        {"btnSetTime", &C::btnSetTime},
        {"btnTwoRow", &C::btnTwoRow},
        {"btnTrim", &C::btnTrim},
        {"btnEqual", &C::btnEqual},
        {"btnAddTime", &C::btnAddTime},
        {"spAddTime", &C::spAddTime},
        {"btnSaveMusicText", &C::btnSaveMusicText},
        {"btnSaveLrctoMP3", &C::btnSaveLrctoMP3},
        {"chkPause", &C::chkPause},
        {"btnInputLrc", &C::btnInputLrc},
        {"btnPlay", &C::btnPlay},
    };
    const C& controls = editor_.controls();
    for (const auto& [name, enabled] : kEnabling) {
        if (QWidget* w = findChild<QWidget*>(QString::fromLatin1(name)))
            w->setEnabled(controls.*enabled);
    }
}

void TFrmMusicSet::showTable() {
    const core::LyricsTable& table = display_.lyrics().table;
    showing_ = true;
    sgMusicText_->setRowCount(table.dataRowCount());
    for (int r = 1; r <= table.lastDataRow(); ++r) {
        for (int c = 0; c < 2; ++c) {
            const QString text = GbkToQString(table.cell(c, r));
            if (QTableWidgetItem* item = sgMusicText_->item(r - 1, c)) {
                if (item->text() != text) item->setText(text);
            } else {
                sgMusicText_->setItem(r - 1, c, new QTableWidgetItem(text));
            }
        }
    }
    showing_ = false;
    showCurrentRow();
}

void TFrmMusicSet::showCurrentRow() {
    const core::LyricsTable& table = display_.lyrics().table;
    const auto [top, bottom] = table.selectedRows();
    showing_ = true;
    const int column =
        sgMusicText_->currentColumn() < 0 ? core::kLyricTextCol : sgMusicText_->currentColumn();
    sgMusicText_->setCurrentCell(table.currentRow() - 1, column, QItemSelectionModel::NoUpdate);
    sgMusicText_->clearSelection();
    sgMusicText_->setRangeSelected(
        QTableWidgetSelectionRange(top - 1, editor_.controls().gridEditing ? column : 0, bottom - 1,
                                   editor_.controls().gridEditing ? column : 1),
        true);
    showing_ = false;
}

void TFrmMusicSet::showRawLines() {
    QStringList lines;
    for (const std::string& line : display_.lyrics().rawLines) lines << GbkToQString(line);
    mm_->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFrmMusicSet::cellEdited(int row, int col) {
    if (showing_) return;
    const QTableWidgetItem* item = sgMusicText_->item(row, col);
    display_.lyrics().table.setCell(col, row + 1,
                                    item ? QStringToGbk(item->text()) : std::string());
}

void TFrmMusicSet::selectionMoved() {
    if (showing_) return;
    core::LyricsTable& table = display_.lyrics().table;
    const int current = sgMusicText_->currentRow() + 1;
    const QList<QTableWidgetSelectionRange> ranges = sgMusicText_->selectedRanges();
    if (ranges.size() == 1 && ranges.front().rowCount() > 1) {
        table.setCurrentRow(current);
        table.setSelection({0, ranges.front().topRow() + 1, 1, ranges.front().bottomRow() + 1});
    } else {
        table.moveToRow(current);
    }
}

void TFrmMusicSet::importLyricsFile(const QString& path) {
    editor_.importLyricsFile(path.toStdString());
    showTable();
    showRawLines();
}

core::LyricsStoreResult TFrmMusicSet::saveLyricsFile() {
    core::LyricsStoreResult result = editor_.SaveLyricsFile();
    showRawLines();
    return result;
}

core::LyricsStoreResult TFrmMusicSet::storeInMp3() {
    core::LyricsStoreResult result = editor_.btnSaveLrctoMP3Click();
    showRawLines();
    return result;
}

// The UI loop shows the error to the operator and logs it.
void TFrmMusicSet::report(const core::LyricsStoreResult& result) {
    if (result.outcome == core::LyricsStoreResult::Outcome::Failed)
        throw std::runtime_error(result.error);
}

}  // namespace pelvano::gui
