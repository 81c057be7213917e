#include "gui/tags/FrmEditText.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/tags/TagFile.h"
#include "gui/controls/QtAdapters.h"
#include "gui/tags/TagWindowSetup.h"

namespace pelvano::gui {

namespace {

constexpr int kBoxLimit = 1024;

QLineEdit* textBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(kBoxLimit);
    return box;
}

// The memo shows lines; the tag keeps them joined by CR LF.
QString lyricsToMemo(const std::string& gbk) {
    return GbkToQString(gbk).replace("\r\n", "\n").replace('\r', '\n');
}

std::string memoToLyrics(const QString& text) {
    return QStringToGbk(QString(text).replace('\n', "\r\n"));
}

}  // namespace

TFrmEditText::TFrmEditText(core::TID3v2Tag& tag, QWidget* parent)
    : QDialog(parent, Qt::Tool), tag_(tag) {
    setObjectName("FrmEditText");
    setWindowTitle("  MP3[tag] 歌词编辑器");
    setFixedSize(425, 463);
    setModal(true);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setText("MP3");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setReadOnly(true);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(SpeedButton1);
    fileRow->addWidget(Edit1);

    lblID3Status = new QLabel(this);
    lblID3Status->setObjectName("lblID3Status");
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(new QLabel("标签类型", this));
    statusRow->addWidget(lblID3Status, 1);

    auto* group = new QGroupBox(" 标签信息", this);
    auto* form = new QFormLayout(group);
    form->setContentsMargins(8, 6, 8, 6);
    form->setVerticalSpacing(4);
    edTitle = textBox(group, "edTitle");
    edArtist = textBox(group, "edArtist");
    edAlbum = textBox(group, "edAlbum");
    edYear = textBox(group, "edYear");
    edComm = textBox(group, "edComm");
    form->addRow("标    题", edTitle);
    form->addRow("艺 术 家", edArtist);
    form->addRow("专    集", edAlbum);
    form->addRow("年    代", edYear);
    form->addRow("备    注", edComm);
    mmText = new QPlainTextEdit(group);
    mmText->setObjectName("mmText");
    mmText->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    form->addRow("歌    词", mmText);

    CheckBox1 = new QCheckBox("保留其他v2Tag", this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setToolTip("对MP3标签不规范的文件，保留原有tag仍然会有不规范的嫌疑！");
    btnID3Update = new QPushButton("更新标签内容", this);
    btnID3Update->setObjectName("btnID3Update");
    btnID3Kill = new QPushButton("清除标签", this);
    btnID3Kill->setObjectName("btnID3Kill");
    btnLoad = new QPushButton("重新装入", this);
    btnLoad->setObjectName("btnLoad");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox1);
    buttons->addStretch();
    buttons->addWidget(btnID3Update);
    buttons->addWidget(btnID3Kill);
    buttons->addWidget(btnLoad);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(fileRow);
    layout->addLayout(statusRow);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    setButtonsEnabled(false);
    connect(btnID3Update, &QPushButton::clicked, this, &TFrmEditText::btnID3UpdateClick);
    connect(btnID3Kill, &QPushButton::clicked, this, &TFrmEditText::btnID3KillClick);
    connect(btnLoad, &QPushButton::clicked, this, &TFrmEditText::btnLoadClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFrmEditText::SpeedButton1Click);
}

void TFrmEditText::setButtonsEnabled(bool enabled) {
    btnID3Update->setEnabled(enabled);
    btnID3Kill->setEnabled(enabled);
}

void TFrmEditText::LoadFile(const std::string& nativePath) {
    for (QLineEdit* box : {edTitle, edArtist, edAlbum, edYear, edComm}) box->clear();
    mmText->clear();
    lblID3Status->clear();
    fileName_ = nativePath;
    Edit1->setText(QString::fromStdString(core::DisplayFormOfNativePath(nativePath)));
    try {
        tag_.ReadFromFile(nativePath);
    } catch (const core::TagFileError& e) {
        lblID3Status->setText(QString::fromStdString(e.what()));
        return;  // nothing to update or remove
    }
    if (tag_.Exists || tag_.ExistsV1) {
        lblID3Status->setText(
            QString(tag_.Exists ? "ID3v2tag,Bytes:%1" : "ID3v1tag,Bytes:%1").arg(tag_.TagSize));
        edTitle->setText(GbkToQString(tag_.Title));
        edArtist->setText(GbkToQString(tag_.Artist));
        edAlbum->setText(GbkToQString(tag_.Album));
        edYear->setText(GbkToQString(tag_.Year));
        edComm->setText(GbkToQString(tag_.Comment));
        if (!tag_.Lyrics.empty()) mmText->setPlainText(lyricsToMemo(tag_.Lyrics));
    } else {
        lblID3Status->setText("没有 MP3 Tag !");
    }
    setButtonsEnabled(true);
}

void TFrmEditText::report(const core::TagSaveResult& result) {
    if (!result.replaced) ShowTagMessage(this, GbkToQString(result.message));
}

void TFrmEditText::btnID3UpdateClick() {
    setButtonsEnabled(false);
    try {
        // Read the file again so that texts left as they were keep the form they were read in.
        tag_.ReadFromFile(fileName_);
        tag_.Comment = QStringToGbk(edComm->text());
        tag_.Album = QStringToGbk(edAlbum->text());
        tag_.Title = QStringToGbk(edTitle->text());
        tag_.Artist = QStringToGbk(edArtist->text());
        tag_.Year = QStringToGbk(edYear->text());
        tag_.Lyrics = memoToLyrics(mmText->toPlainText());
        report(tag_.SaveToFile(fileName_, CheckBox1->isChecked()));
    } catch (const core::TagFileError& e) {
        ShowTagMessage(this, QString::fromStdString(e.what()));
    }
}

void TFrmEditText::btnID3KillClick() {
    setButtonsEnabled(false);
    try {
        report(tag_.RemoveFromFile(fileName_));
    } catch (const core::TagFileError& e) {
        ShowTagMessage(this, QString::fromStdString(e.what()));
    }
}

void TFrmEditText::btnLoadClick() {
    LoadFile(fileName_);
}

void TFrmEditText::SpeedButton1Click() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QString(), QFileInfo(Edit1->text()).path(), "*.MP3 (*.MP3 *.mp3 *.Mp3 *.mP3)");
    // The boxes show the chosen file at once: an update must never write one file's texts into
    // another.
    if (!chosen.isEmpty() && core::FileExists(chosen.toStdString())) LoadFile(chosen.toStdString());
}

}  // namespace pelvano::gui
