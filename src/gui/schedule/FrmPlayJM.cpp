#include "gui/schedule/FrmPlayJM.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/loudness/LoudnessTip.h"
#include "core/playout/Station.h"
#include "core/schedule/ScheduleEdits.h"
#include "gui/app/AppContext.h"
#include "gui/app/DroppedFiles.h"
#include "gui/controls/MyPanel.h"
#include "gui/schedule/CloseRefusal.h"
#include "gui/schedule/ScheduleCellLook.h"
#include "gui/schedule/ScheduleColumns.h"
#include "gui/schedule/ScheduleGridModel.h"
#include "gui/schedule/ScheduleGridView.h"

namespace pelvano::gui {

namespace {

constexpr int kBarHeight = 24;

QString utf8(const std::string& s) {
    return QString::fromStdString(s);
}

QStringList toQStrings(const std::vector<std::string>& v) {
    QStringList out;
    for (const auto& s : v) out << utf8(s);
    return out;
}

const QString kScheduleFilter = QStringLiteral("节目表(*.JMB)");

}  // namespace

// The player's bar PB4 while a save runs, and the window disabled meanwhile.
class TFrmPlayJM::SaveProgress final : public core::ScheduleProgressView {
  public:
    explicit SaveProgress(TFrmPlayJM& window) : w_(window) {}
    void beginProgress(int maximum, const std::string& suffix) override {
        if (w_.saveProgress) w_.saveProgress->beginProgress(maximum, suffix);
    }
    void setProgress(int position) override {
        if (w_.saveProgress) w_.saveProgress->setProgress(position);
    }
    void endProgress(const std::string& suffix) override {
        if (w_.saveProgress) w_.saveProgress->endProgress(suffix);
    }
    void setInputEnabled(bool enabled) override {
        w_.setEnabled(enabled);
        if (w_.saveProgress) w_.saveProgress->setInputEnabled(enabled);
    }

  private:
    TFrmPlayJM& w_;
};

TFrmPlayJM::TFrmPlayJM(core::Station& station, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      station_(station),
      commands_(station),
      progress_(std::make_unique<SaveProgress>(*this)),
      accent_(kDefaultScheduleAccent) {
    setWindowTitle(QStringLiteral("【播出节目表】"));
    WatchApplicationQuit();
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    setFont(font);
    fileDialogs = [this](const FileDialogRequest& r) { return RunFileDialog(this, r); };
    showError = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    for (int col = 0; col < core::kScheduleColumns; ++col)
        station_.table().sgJM.setColWidth(col, kDesignColumnWidths[col]);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildTopBar();
    buildGrid();
    buildMenu();
    layout->addWidget(pl_);
    layout->addWidget(sgJM_);
    pl_->hide();

    timer1_ = new QTimer(this);
    timer1_->setInterval(kDockIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &TFrmPlayJM::dockUnderPlayer);
    timer1_->start();
    repaintSchedule();
}

TFrmPlayJM::TFrmPlayJM(AppContext& app) : TFrmPlayJM(app.station) {
    AppWindows& windows = app.windows;
    setPlayerDock([&windows] { return windows.playerDock; });
    onShowHistory = [&windows] {
        if (!windows.frmHis) return;
        windows.frmHis->show();
        windows.frmHis->raise();
    };
}

TFrmPlayJM::~TFrmPlayJM() = default;

QWidget* TFrmPlayJM::pl() const {
    return pl_;
}

void TFrmPlayJM::buildTopBar() {
    pl_ = new TMyPanel(this);
    pl_->SetBevelOuter(bvNone);
    pl_->SetColor(accent_);
    pl_->setFixedHeight(kBarHeight);
    pl_->installEventFilter(this);
    auto* bar = new QHBoxLayout(pl_);
    bar->setContentsMargins(4, 1, 4, 1);
    lbJM_ = new QLabel(QStringLiteral("节目列表："), pl_);
    lbJM_->setStyleSheet(QStringLiteral("color: white;"));
    cbJM_ = new QComboBox(pl_);
    cbJM_->addItems(toQStrings(commands_.ScheduleFileNames()));
    cbJM_->setCurrentIndex(-1);
    // The bar fits the player's width: the list shrinks, the label and the button do not.
    cbJM_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbJM_->setMinimumContentsLength(4);
    btnReLoad_ = new QPushButton(QStringLiteral("装入节目表"), pl_);
    btnReLoad_->setToolTip(QStringLiteral("确认装入节目表"));
    btnReLoad_->installEventFilter(this);
    connect(btnReLoad_, &QPushButton::clicked, this, &TFrmPlayJM::btnReLoadClick);
    bar->addWidget(lbJM_);
    bar->addWidget(cbJM_, 1);
    bar->addWidget(btnReLoad_);
}

void TFrmPlayJM::buildGrid() {
    model_ = new ScheduleGridModel(station_.table(), this);
    model_->toolTipOf = [this](int row) {
        return core::RowLoudnessTip(station_.loudness(), station_.loudnessSettings(),
                                    station_.paths().applicationDir,
                                    station_.table().sgJM.cell(core::kColFile, row));
    };
    sgJM_ = new ScheduleGridView(this);
    sgJM_->setObjectName(QStringLiteral("sgJM"));
    auto* header = new ScheduleHeaderView(accent_, sgJM_);
    sgJM_->setHorizontalHeader(header);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setFixedHeight(kRowHeight);
    header->setMinimumSectionSize(0);
    sgJM_->verticalHeader()->hide();
    sgJM_->verticalHeader()->setMinimumSectionSize(0);
    sgJM_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgJM_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    sgJM_->setModel(model_);
    sgJM_->setItemDelegate(new ScheduleCellDelegate(station_.table().PlayingRow, accent_, sgJM_));
    QPalette pal = sgJM_->palette();
    pal.setColor(QPalette::Base, ToQColor(accent_));
    sgJM_->setPalette(pal);
    sgJM_->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(header, &QHeaderView::sectionResized, this,
            [this](int col, int, int width) { station_.table().sgJM.setColWidth(col, width); });
    connect(sgJM_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) station_.table().sgJM.setCurrentRow(current.row() + 1);
            });
    connect(sgJM_, &QTableView::clicked, sgJM_->viewport(), qOverload<>(&QWidget::update));
    connect(sgJM_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!sgJM_->rowMode() || !index.isValid()) return;
        station_.table().sgJM.setCurrentRow(index.row() + 1);
        commands_.DoubleClick();
        repaintSchedule();
    });
    connect(sgJM_, &ScheduleGridView::rowMoveRequested, this,
            [this](int from, int to) { moveRow(from + 1, to + 1); });
    connect(sgJM_, &ScheduleGridView::filesDropped, this,
            [this](int row, const std::vector<std::string>& paths) { dropFiles(row + 1, paths); });
    connect(sgJM_, &ScheduleGridView::deleteRequested, this, &TFrmPlayJM::btnDelClick);
    connect(sgJM_, &ScheduleGridView::selectAllRequested, this, &TFrmPlayJM::selectAll);
    connect(sgJM_, &ScheduleGridView::operatorDone, this, &TFrmPlayJM::syncCurrentRow,
            Qt::QueuedConnection);
    connect(sgJM_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        insertionRow_ = sgJM_->rowAtPoint(pos) + 1;
        popupMenu1_->popup(sgJM_->viewport()->mapToGlobal(pos));
    });
}

void TFrmPlayJM::buildMenu() {
    popupMenu1_ = new QMenu(this);
    btnPrint = popupMenu1_->addAction(QStringLiteral("查看历史"), this, [this] {
        if (onShowHistory) onShowHistory();
    });
    btnEdit = popupMenu1_->addAction(QStringLiteral("编辑节目表"), this, &TFrmPlayJM::btnEditClick);
    btnEdit->setCheckable(true);
    mnInsert =
        popupMenu1_->addAction(QStringLiteral("插入音频文件"), this, &TFrmPlayJM::mnInsertClick);
    btnDel = popupMenu1_->addAction(QStringLiteral("删除选择记录"), this, &TFrmPlayJM::btnDelClick);
    popupMenu1_->addSeparator();
    btnCombine =
        popupMenu1_->addAction(QStringLiteral("合并节目表"), this, &TFrmPlayJM::btnCombineClick);
    btnLoadJM =
        popupMenu1_->addAction(QStringLiteral("打开节目表"), this, &TFrmPlayJM::btnLoadJMClick);
    btnSaveAs =
        popupMenu1_->addAction(QStringLiteral("另存为..."), this, &TFrmPlayJM::btnSaveAsClick);
    btnSaveAs->setToolTip(QStringLiteral("保存为【其它节目表】"));
    btnSave = popupMenu1_->addAction(QStringLiteral("保存"), this, &TFrmPlayJM::btnSaveClick);
    popupMenu1_->setToolTipsVisible(true);
    // Queued: the chosen command runs first.
    connect(popupMenu1_, &QMenu::aboutToHide, this, &TFrmPlayJM::syncCurrentRow,
            Qt::QueuedConnection);
}

QString TFrmPlayJM::applicationDir() const {
    return utf8(station_.paths().applicationDir);
}

void TFrmPlayJM::setPlayerDock(std::function<PlayerDock*()> dock) {
    playerDock_ = std::move(dock);
    dockUnderPlayer();
}

void TFrmPlayJM::dockUnderPlayer() {
    PlayerDock* dock = playerDock_ ? playerDock_() : nullptr;
    if (!dock || !isVisible() || dragging_) return;
    // Opacity is kept in 1/255 steps: compare at that precision.
    if (qAbs(windowOpacity() - dock->playerOpacity()) > 0.5 / 255)
        setWindowOpacity(dock->playerOpacity());
    dockUnder(dock->playerFrame());
}

void TFrmPlayJM::dockUnder(const QRect& p) {
    const int frameExtra = frameGeometry().width() - width();
    if (pos() != QPoint(p.left(), p.top() + p.height())) move(p.left(), p.top() + p.height());
    if (frameGeometry().width() != p.width()) resize(p.width() - frameExtra, height());
    if (p.topLeft() != lastPlayerPos_) {
        lastPlayerPos_ = p.topLeft();
        update();
    }
}

void TFrmPlayJM::setAccentColor(TColor accent) {
    accent_ = accent;
    pl_->SetColor(accent);
    QPalette pal = cbJM_->palette();
    pal.setColor(QPalette::Base, ToQColor(accent));
    pal.setColor(QPalette::Button, ToQColor(accent));
    cbJM_->setPalette(pal);
    QPalette grid = sgJM_->palette();
    grid.setColor(QPalette::Base, ToQColor(accent));
    sgJM_->setPalette(grid);
    sgJM_->horizontalHeader()->viewport()->update();
    sgJM_->viewport()->update();
}

void TFrmPlayJM::setFileBarVisible(bool visible) {
    pl_->setVisible(visible);
}

bool TFrmPlayJM::fileBarVisible() const {
    return !pl_->isHidden();
}

void TFrmPlayJM::repaintSchedule() {
    const int rowsBefore = model_->rowCount();
    model_->refresh();
    setScheduleCaption(station_.table().caption);
    if (rowsBefore != model_->rowCount() || !sgJM_->currentIndex().isValid()) applyLayout();
    syncCurrentRow();
    sgJM_->viewport()->update();
}

void TFrmPlayJM::setScheduleCaption(const std::string& gbk) {
    setWindowTitle(gbk.empty() ? QStringLiteral("【播出节目表】") : GbkToQString(gbk));
}

void TFrmPlayJM::applyLayout() {
    const core::Grid& grid = station_.table().sgJM;
    QHeaderView* header = sgJM_->horizontalHeader();
    for (int col = 0; col < grid.colCount(); ++col) {
        const QSignalBlocker block(header);
        header->resizeSection(col, ShownColumnWidth(col, grid.colWidth(col), sgJM_->fontMetrics()));
    }
    if (station_.scheduleWindowSize.height > 0) resize(width(), station_.scheduleWindowSize.height);
}

bool TFrmPlayJM::operatorBusy() const {
    return sgJM_->operatorBusy() || popupMenu1_->isVisible();
}

void TFrmPlayJM::syncCurrentRow() {
    // The view keeps still under the operator's drag, edit or menu, and follows the current row
    // again once it has ended.
    if (operatorBusy()) return;
    const int row = station_.table().sgJM.currentRow() - 1;
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex current = sgJM_->currentIndex();
    if (current.isValid() && current.row() == row) return;
    const int col = current.isValid() ? current.column() : core::kColTitle;
    const auto flags = sgJM_->rowMode()
                           ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                           : QItemSelectionModel::ClearAndSelect;
    sgJM_->selectionModel()->setCurrentIndex(model_->index(row, col), flags);
}

core::GridSelection TFrmPlayJM::viewSelection() const {
    const QModelIndexList selected = sgJM_->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        const int row = station_.table().sgJM.currentRow();
        const int col = sgJM_->currentIndex().isValid() ? sgJM_->currentIndex().column() : 0;
        return {col, row, col, row};
    }
    core::GridSelection s{INT_MAX, INT_MAX, -1, -1};
    for (const QModelIndex& i : selected) {
        s.left = std::min(s.left, i.column());
        s.right = std::max(s.right, i.column());
        s.top = std::min(s.top, i.row() + 1);
        s.bottom = std::max(s.bottom, i.row() + 1);
    }
    return s;
}

void TFrmPlayJM::reportSave(const core::SaveResult& result) {
    if (!result.ok && showError) showError(QStringLiteral("播出表保存失败：") + utf8(result.error));
}

void TFrmPlayJM::btnLoadJMClick() {
    const QStringList chosen = fileDialogs(
        {FileDialogRequest::OpenExisting, QStringLiteral("选择播放节目表"), applicationDir(),
         utf8(station_.table().CurrentSchedulePath), kScheduleFilter});
    if (chosen.isEmpty()) return;
    commands_.Open(chosen.first().toStdString());
    repaintSchedule();
}

void TFrmPlayJM::btnReLoadClick() {
    if (cbJM_->currentIndex() < 0) return;
    commands_.Reload(cbJM_->currentText().toStdString());
    repaintSchedule();
}

void TFrmPlayJM::btnSaveClick() {
    reportSave(commands_.Save(progress_.get()));
    repaintSchedule();
}

void TFrmPlayJM::btnSaveAsClick() {
    const QStringList chosen =
        fileDialogs({FileDialogRequest::Save, QStringLiteral("播出节目表另存为"), applicationDir(),
                     utf8(commands_.SaveAsProposal()),
                     QStringLiteral("节目表(*.JMB);;星期节目表(星期*.JMB);;日期节目表(2*.JMB)")});
    if (chosen.isEmpty()) return;
    reportSave(commands_.SaveAs(chosen.first().toStdString(), progress_.get()));
    repaintSchedule();
}

void TFrmPlayJM::btnCombineClick() {
    const QStringList chosen = fileDialogs(
        {FileDialogRequest::OpenExisting, QStringLiteral("选择播放节目表"), applicationDir(),
         utf8(core::WithJmbExtension(station_.table().CurrentSchedulePath)), kScheduleFilter});
    if (chosen.isEmpty()) return;
    commands_.Combine(chosen.first().toStdString());
    repaintSchedule();
}

void TFrmPlayJM::mnInsertClick() {
    const QStringList chosen = fileDialogs(
        {FileDialogRequest::OpenMany, QStringLiteral("选择音频文件"), applicationDir(), QString(),
         QStringLiteral("音频文件(*.MP3 *.wma *.wav *.mp3 *.WMA *.WAV);;所有文件(*)")});
    if (chosen.isEmpty()) return;
    const int row = insertionRow_ > 0 ? insertionRow_ : station_.table().sgJM.currentRow();
    commands_.InsertFiles(row, NativePathsOf(chosen));
    repaintSchedule();
}

void TFrmPlayJM::btnDelClick() {
    core::DeleteSelection(station_.table(), viewSelection(), sgJM_->rowMode());
    repaintSchedule();
}

void TFrmPlayJM::btnEditClick() {
    const bool on = btnEdit->isChecked();
    // An editor still open keeps what was typed: it is committed before the mode changes.
    if (QWidget* editor = sgJM_->indexWidget(sgJM_->currentIndex())) {
        emit sgJM_->itemDelegate()->commitData(editor);
        emit sgJM_->itemDelegate()->closeEditor(editor);
    }
    model_->setEditMode(on);
    sgJM_->setRowMode(!on);
    if (!on) btnSaveClick();
}

void TFrmPlayJM::dropFiles(int gridRow, const QStringList& names) {
    dropFiles(gridRow, NativePathsOf(names));
}

void TFrmPlayJM::dropFiles(int gridRow, const std::vector<std::string>& nativePaths) {
    core::SaveResult saved;
    if (!commands_.DropFiles(gridRow, nativePaths, progress_.get(), &saved)) return;
    reportSave(saved);
    repaintSchedule();
}

void TFrmPlayJM::moveRow(int fromGridRow, int toGridRow) {
    core::MoveRow(station_.table(), fromGridRow, toGridRow);
    station_.table().sgJM.setCurrentRow(toGridRow);
    repaintSchedule();
}

void TFrmPlayJM::selectAll() {
    core::Grid& grid = station_.table().sgJM;
    core::SelectAll(grid);
    const core::GridSelection& s = grid.selection();
    const QItemSelection all(model_->index(s.top - 1, s.left),
                             model_->index(s.bottom - 1, s.right));
    sgJM_->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void TFrmPlayJM::closeEvent(QCloseEvent* e) {
    // The operator cannot close it; the application's quit can.
    if (ApplicationQuitting()) {
        e->accept();
    } else {
        e->ignore();
    }
}

void TFrmPlayJM::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    station_.scheduleWindowSize = {width(), height()};
}

void TFrmPlayJM::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    dockUnderPlayer();
}

bool TFrmPlayJM::eventFilter(QObject* watched, QEvent* e) {
    if (watched == btnReLoad_ && (e->type() == QEvent::Enter || e->type() == QEvent::Leave)) {
        QPalette pal = btnReLoad_->palette();
        pal.setColor(QPalette::ButtonText,
                     ToQColor(FromQColor(pal.color(QPalette::ButtonText)) ^ 0x00FFFFFFu));
        btnReLoad_->setPalette(pal);
        return false;
    }
    if (watched != pl_) return QWidget::eventFilter(watched, e);
    // Dragging the top bar moves the window; on release it returns under the player.
    auto* mouse = static_cast<QMouseEvent*>(e);
    switch (e->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() != Qt::LeftButton) break;
            dragging_ = true;
            dragAnchor_ = mouse->globalPosition().toPoint();
            return true;
        case QEvent::MouseMove:
            if (!dragging_) break;
            move(pos() + mouse->globalPosition().toPoint() - dragAnchor_);
            dragAnchor_ = mouse->globalPosition().toPoint();
            return true;
        case QEvent::MouseButtonRelease:
            if (!dragging_) break;
            dragging_ = false;
            dockUnderPlayer();
            return true;
        default:
            break;
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace pelvano::gui
