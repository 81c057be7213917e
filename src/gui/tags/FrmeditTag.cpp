#include "gui/tags/FrmeditTag.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "core/app/Encoding.h"
#include "core/app/FileHelpers.h"
#include "core/app/NativePaths.h"
#include "core/schedule/ScheduleEdits.h"
#include "core/tags/Mp3ListFile.h"
#include "core/tags/TagTextEncoding.h"
#include "gui/app/DroppedFiles.h"
#include "gui/controls/QtAdapters.h"
#include "gui/tags/FrmEditText.h"

namespace pelvano::gui {

namespace {

constexpr int kInitialWidths[] = {36, 111, 72, 58, 506};
const QString kBatchIdle = "批量更新专集和歌手";
const QString kBatchAgain = "更新";
const QString kBatchRunning = "停止";

QString captionFor(const std::string& listFile) {
    return " MP3文件标题信息更新 【" + QFileInfo(QString::fromStdString(listFile)).fileName() +
           "】";
}

}  // namespace

TFrmeditTag::TFrmeditTag(TagWindowSetup setup, QWidget* parent)
    : QMainWindow(parent, Qt::Tool),
      setup_(std::move(setup)),
      list_(core::StoredPathResolver::fromSettings(setup_.applicationDir, setup_.settingsFile),
            setup_.measurer, setup_.pump, tag_),
      updater_(list_, tag_, setup_.pump) {
    setObjectName("FrmeditTag");
    tag_.TextEncoding = core::ReadTagTextEncoding(setup_.settingsFile);
    setMinimumSize(594, 354);
    resize(800, 500);
    buildMenus();
    buildPanels();
    LoadList(setup_.applicationDir + "MP3列表.mpl");
    if (!setup_.measurer) {
        Memo1->appendPlainText("没有检查到播出设备！文件时长不能测量，文件仍可加入列表。");
        statusInfo->setText("没有检查到播出设备");
    }
}

TFrmeditTag::~TFrmeditTag() {
    // The widgets outlive the list they draw (QWidget's destructor runs after the members'):
    // the grid lets go of its model first.
    sgSong->setModel(nullptr);
    delete model_;
}

void TFrmeditTag::buildMenus() {
    QMenu* file = menuBar()->addMenu("文件");
    N5 = file->addAction("打开列表", this, &TFrmeditTag::N5Click);
    mnedit = file->addAction("编辑表格", this, &TFrmeditTag::mneditClick);
    mnedit->setCheckable(true);
    N9 = file->addAction("保存表格", this, &TFrmeditTag::N9Click);
    file->addSeparator();
    mndel = file->addAction("删除选择", this, &TFrmeditTag::mndelClick);
    file->addSeparator();
    N11 = file->addAction("退出", this, &TFrmeditTag::N11Click);
    QMenu* update = menuBar()->addMenu("更新标签");
    btnModify = update->addAction(kBatchIdle, this, &TFrmeditTag::btnModifyClick);
    N12 = update->addAction("更新当前记录", this, &TFrmeditTag::N12Click);
    update->addSeparator();
    N13 = update->addAction("歌词编辑", this, &TFrmeditTag::N13Click);
}

void TFrmeditTag::buildPanels() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* top = new QWidget(central);
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(6, 4, 6, 4);
    edCommt = new QLineEdit("专集名称", top);
    edCommt->setObjectName("edCommt");
    edArtor = new QLineEdit("Nonebody", top);
    edArtor->setObjectName("edArtor");
    topRow->addWidget(new QLabel("专集：", top));
    topRow->addWidget(edCommt, 1);
    topRow->addWidget(new QLabel("歌手：", top));
    topRow->addWidget(edArtor, 1);
    topRow->addSpacing(12);
    topRow->addWidget(new QLabel("免费MP3音频文件歌词编辑！", top));
    layout->addWidget(top);

    splitter = new QSplitter(Qt::Vertical, central);
    sgSong = new Mp3ListView(splitter);
    sgSong->setObjectName("sgSong");
    sgSong->setToolTip("请从资源管理器中拖入MP3文件或文件夹");
    model_ = new Mp3ListModel(list_, this);
    sgSong->setModel(model_);
    sgSong->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgSong->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgSong->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int col = 0; col < core::kListColCount; ++col)
        list_.sgSong.setColWidth(col, kInitialWidths[col]);

    bottomPanel = new QWidget(splitter);
    bottomPanel->setMinimumHeight(64);
    bottomPanel->setMaximumHeight(192);
    auto* bottom = new QVBoxLayout(bottomPanel);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    Memo1 = new QPlainTextEdit(bottomPanel);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(
        "    很多MP3文件没有标记信息，此软件帮助你批量修改一些信息。\n"
        "    \n"
        "    "
        "尽管大量测试表明，对MP3标记的修改，不会影响其播出。但为安全起见，建议备份原始MP3文件，以\n"
        "免文件被破坏时能够恢复。");
    auto* status = new QStatusBar(bottomPanel);
    status->setSizeGripEnabled(false);
    statusList = new QLabel(status);
    statusList->setFixedWidth(400);
    statusInfo = new QLabel(status);
    statusInfo->setFixedWidth(400);
    status->addWidget(statusList);
    status->addWidget(statusInfo);
    bottom->addWidget(Memo1, 1);
    bottom->addWidget(status);
    splitter->addWidget(sgSong);
    splitter->addWidget(bottomPanel);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({400, 100});
    layout->addWidget(splitter, 1);
    setCentralWidget(central);

    connect(sgSong, &Mp3ListView::filesDropped, this,
            qOverload<int, const std::vector<std::string>&>(&TFrmeditTag::dropFiles));
    connect(sgSong, &Mp3ListView::rowMoved, this, [this](int from, int to) {
        list_.MoveRow(from, to);
        refreshList();
        sgSong->selectRow(to - 1);
    });
    connect(sgSong, &Mp3ListView::deletePressed, this, &TFrmeditTag::mndelClick);
    connect(sgSong, &Mp3ListView::selectAllPressed, this, [this] {
        list_.SelectAll();
        sgSong->selectAll();
    });
    connect(sgSong, &QAbstractItemView::doubleClicked, this, &TFrmeditTag::sgSongDblClick);
    connect(sgSong->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int, int width) { list_.sgSong.setColWidth(col, width); });
}

void TFrmeditTag::applyColumnWidths() {
    for (int col = 0; col < core::kListColCount; ++col)
        sgSong->setColumnWidth(col, list_.sgSong.colWidth(col));
    sgSong->fitFileColumn();
}

void TFrmeditTag::refreshList() {
    model_->reload();
    statusList->setText(QString::fromStdString(listFile_));
    int files = 0;
    for (int row = 1; row < list_.sgSong.rowCount(); ++row)
        if (!list_.sgSong.cell(core::kListColFile, row).empty()) ++files;
    statusInfo->setText(QString("共 %1 个文件").arg(files));
}

void TFrmeditTag::LoadList(const std::string& nativePath) {
    core::LoadList(nativePath, list_.sgSong);
    core::ReadListColumnWidths(setup_.settingsFile, list_.sgSong);
    listFile_ = nativePath;
    refreshList();
    applyColumnWidths();
    setWindowTitle(captionFor(nativePath));
}

void TFrmeditTag::SaveList(const std::string& nativePath) {
    setEnabled(false);
    std::string error;
    const bool saved = core::SaveList(nativePath, list_.sgSong, &error);
    core::WriteListColumnWidths(setup_.settingsFile, list_.sgSong);
    writeWindowKeys();
    setEnabled(true);
    // A list that could not be written is told, not lost silently; the old file is as it was.
    if (!saved)
        Memo1->appendPlainText("列表保存失败: " + QString::fromStdString(nativePath) + " " +
                               QString::fromStdString(error));
}

void TFrmeditTag::dropFiles(int gridRow, const QStringList& paths) {
    dropFiles(gridRow, NativePathsOf(paths));
}

void TFrmeditTag::dropFiles(int gridRow, const std::vector<std::string>& nativePaths) {
    if (gridRow < 1 || gridRow > list_.sgSong.dataRowCount()) return;
    Memo1->clear();
    const std::vector<std::string> files = core::CollectDroppedFiles(nativePaths, setup_.pump);
    for (const std::string& file : files)
        Memo1->appendPlainText(QString::fromStdString(core::DisplayFormOfNativePath(file)));
    std::vector<std::string> refused;
    list_.InsertFiles(gridRow, files, &refused);
    for (const std::string& file : refused)
        Memo1->appendPlainText("文件名中有换行，不能加入列表: " +
                               QString::fromStdString(core::DisplayFormOfNativePath(file)));
    refreshList();
}

int TFrmeditTag::currentGridRow() const {
    const QModelIndex index = sgSong->currentIndex();
    return index.isValid() ? index.row() + 1 : 1;
}

void TFrmeditTag::syncSelectionToGrid() {
    const QModelIndexList selected = sgSong->selectionModel()->selectedIndexes();
    core::GridSelection sel{0, currentGridRow(), core::kListColCount - 1, currentGridRow()};
    if (!selected.isEmpty()) {
        sel = {selected[0].column(), selected[0].row() + 1, selected[0].column(),
               selected[0].row() + 1};
        for (const QModelIndex& index : selected) {
            sel.left = std::min(sel.left, index.column());
            sel.right = std::max(sel.right, index.column());
            sel.top = std::min(sel.top, index.row() + 1);
            sel.bottom = std::max(sel.bottom, index.row() + 1);
        }
    }
    list_.sgSong.setSelection(sel);
}

void TFrmeditTag::N5Click() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, "选择MP3文件列表", QString::fromStdString(listFile_), "选择MP3文件列表 (*.mpl)");
    if (chosen.isEmpty()) return;
    const QFileInfo info(chosen);
    LoadList((info.path() + "/" + info.completeBaseName() + ".mpl").toStdString());
}

void TFrmeditTag::mneditClick() {
    const bool editing = mnedit->isChecked();
    model_->setEditing(editing);
    sgSong->setSelectionBehavior(editing ? QAbstractItemView::SelectItems
                                         : QAbstractItemView::SelectRows);
    sgSong->setEditTriggers(editing ? QAbstractItemView::DoubleClicked |
                                          QAbstractItemView::EditKeyPressed |
                                          QAbstractItemView::AnyKeyPressed
                                    : QAbstractItemView::NoEditTriggers);
}

void TFrmeditTag::N9Click() {
    SaveList(listFile_);
}

void TFrmeditTag::mndelClick() {
    syncSelectionToGrid();
    list_.DeleteSelection(mnedit->isChecked());
    refreshList();
}

void TFrmeditTag::N11Click() {
    updater_.BatchStop = true;
    close();
}

void TFrmeditTag::btnModifyClick() {
    if (updater_.batchRunning()) {
        updater_.BatchStop = true;  // the running batch ends after its current file
        return;
    }
    const QString caption = windowTitle();
    btnModify->setText(kBatchRunning);
    struct Restore {
        TFrmeditTag& window;
        QString caption;
        ~Restore() {
            window.setWindowTitle(caption);
            window.btnModify->setText(kBatchAgain);
        }
    } restore{*this, caption};
    Memo1->clear();
    updater_.RunBatch(QStringToGbk(edCommt->text()), QStringToGbk(edArtor->text()), *this);
    // The memo holds the batch's problems alone: its first line is the first problem.
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->ensureCursorVisible();
}

void TFrmeditTag::batchProgress(int row, int count) {
    setWindowTitle(QString("%1/%2").arg(row).arg(count));
}

void TFrmeditTag::batchReport(const std::string& line) {
    Memo1->appendPlainText(GbkToQString(line));
}

void TFrmeditTag::N12Click() {
    const core::TagUpdateResult result = updater_.UpdateRow(
        currentGridRow(), QStringToGbk(edCommt->text()), QStringToGbk(edArtor->text()));
    if (!result.problem.empty()) ShowTagMessage(this, GbkToQString(result.problem));
}

void TFrmeditTag::N13Click() {
    const std::string path = list_.fileOf(currentGridRow());
    if (!textEditor_ || path.empty() || !core::FileExists(path)) return;
    textEditor_->LoadFile(path);
    textEditor_->exec();
}

void TFrmeditTag::sgSongDblClick(const QModelIndex& index) {
    const std::string info = list_.TagInfo(index.isValid() ? index.row() + 1 : currentGridRow());
    if (!info.empty()) Memo1->setPlainText(GbkToQString(info));
}

core::Mp3ListLayout TFrmeditTag::currentLayout() const {
    return {centralWidget()->width(), centralWidget()->height(), bottomPanel->height(),
            QStringToGbk(edCommt->text()), QStringToGbk(edArtor->text())};
}

void TFrmeditTag::writeWindowKeys() {
    core::WriteListLayout(setup_.settingsFile, currentLayout());
}

void TFrmeditTag::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (keysRead_) return;
    keysRead_ = true;
    const core::Mp3ListLayout layout = core::ReadListLayout(setup_.settingsFile, currentLayout());
    edCommt->setText(GbkToQString(layout.album));
    edArtor->setText(GbkToQString(layout.artist));
    const int menu = height() - centralWidget()->height();
    resize(std::max(layout.clientWidth, minimumWidth()),
           std::max(layout.clientHeight + menu, minimumHeight()));
    splitter->setSizes({splitter->height() - layout.memoHeight, layout.memoHeight});
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFrmeditTag::closeEvent(QCloseEvent* event) {
    updater_.BatchStop = true;
    writeWindowKeys();
    QMainWindow::closeEvent(event);
    if (modalLoop_) modalLoop_->quit();
}

void TFrmeditTag::showModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
    setWindowModality(Qt::NonModal);
}

}  // namespace pelvano::gui
