#include "gui/schedule/ScheduleGridView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>

#include "core/schedule/ScheduleTable.h"
#include "gui/app/DroppedFiles.h"
#include "gui/schedule/ScheduleColumns.h"

namespace pelvano::gui {

ScheduleGridView::ScheduleGridView(QWidget* parent) : QTableView(parent) {
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setShowGrid(false);
    setWordWrap(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(DropOnly);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    viewport()->setCursor(Qt::PointingHandCursor);
    setRowMode(true);
}

void ScheduleGridView::setRowMode(bool on) {
    if (on) showColumnsFrom(1);  // back from editing, the rows show from their start
    rowMode_ = on;
    setSelectionBehavior(on ? SelectRows : SelectItems);
    setSelectionMode(ContiguousSelection);
}

int ScheduleGridView::rowAtPoint(const QPoint& viewportPoint) const {
    const QModelIndex index = indexAt(viewportPoint);
    return index.isValid() ? index.row() : -1;
}

bool ScheduleGridView::operatorBusy() const {
    return dragFrom_ >= 0 || filesOver_ || state() == EditingState;
}

QRect ScheduleGridView::moveMarkRect() const {
    if (dragFrom_ < 0 || dragTo_ < 0 || dragTo_ == dragFrom_) return {};
    const int top = rowViewportPosition(dragTo_);
    // Moved down, the row lands below the target row; moved up, above it.
    const int y = dragTo_ > dragFrom_ ? top + rowHeight(dragTo_) - 2 : top;
    return QRect(0, y, viewport()->width(), 2);
}

void ScheduleGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (index.isValid()) {
        // The hidden columns (0 wide here) lie left of the first one: the arithmetic never
        // needs their widths.
        const QHeaderView* header = horizontalHeader();
        std::vector<int> widths;
        for (int col = 0; col < header->count(); ++col) widths.push_back(header->sectionSize(col));
        const int first =
            FirstScrollingColumn(widths, firstColumn_, index.column(), viewport()->width());
        if (first != firstColumn_) showColumnsFrom(first);
    }
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(0);
}

void ScheduleGridView::showColumnsFrom(int first) {
    firstColumn_ = first;
    QHeaderView* header = horizontalHeader();
    {
        // Hiding is not a resize by the operator: the window must not store width 0.
        const QSignalBlocker quiet(header);
        for (int col = 1; col < header->count(); ++col) header->setSectionHidden(col, col < first);
    }
    updateGeometries();
    header->viewport()->update();
    viewport()->update();
}

QModelIndex ScheduleGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // Left from the first scrolling column goes to the hidden column before it, not past it.
    const QModelIndex current = currentIndex();
    if (action == MoveLeft && current.isValid() && firstColumn_ > 1 &&
        current.column() == firstColumn_) {
        return model()->index(current.row(), firstColumn_ - 1);
    }
    return QTableView::moveCursor(action, modifiers);
}

void ScheduleGridView::wheelEvent(QWheelEvent* e) {
    // One row a notch, whatever the platform's scroll setting.
    QScrollBar* bar = verticalScrollBar();
    const int steps = e->angleDelta().y() / 120;
    if (steps != 0) bar->setValue(bar->value() - steps);
    e->accept();
}

void ScheduleGridView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete && state() != EditingState) {
        if (rowMode_) emit deleteRequested();  // in cell mode only the menu clears cells
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_A && (e->modifiers() & Qt::ControlModifier)) {
        if (rowMode_) emit selectAllRequested();
        viewport()->update();
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void ScheduleGridView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        // The menu alone: the row ▶ would start and the operator's selection stay as they are.
        // Left unaccepted, the press still brings the context menu.
        e->ignore();
        return;
    }
    const QModelIndex index = indexAt(e->position().toPoint());
    dragFrom_ =
        e->button() == Qt::LeftButton && index.isValid() && index.column() == core::kColNumber
            ? index.row()
            : -1;
    if (dragFrom_ >= 0) {
        dragTo_ = dragFrom_;
        setCurrentIndex(index);
        e->accept();
        return;
    }
    QTableView::mousePressEvent(e);
}

void ScheduleGridView::mouseMoveEvent(QMouseEvent* e) {
    if (dragFrom_ >= 0) {
        viewport()->setCursor(Qt::SizeVerCursor);
        const int to = rowAtPoint(e->position().toPoint());
        if (to >= 0 && to != dragTo_) {
            dragTo_ = to;
            viewport()->update();
        }
        e->accept();
        return;
    }
    QTableView::mouseMoveEvent(e);
}

void ScheduleGridView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        e->ignore();
        return;
    }
    if (dragFrom_ >= 0) {
        const int from = dragFrom_;
        dragFrom_ = dragTo_ = -1;
        viewport()->setCursor(Qt::PointingHandCursor);
        viewport()->update();
        const int to = rowAtPoint(e->position().toPoint());
        if (to >= 0 && to != from) emit rowMoveRequested(from, to);
        emit operatorDone();
        e->accept();
        return;
    }
    QTableView::mouseReleaseEvent(e);
}

void ScheduleGridView::dragEnterEvent(QDragEnterEvent* e) {
    if (!e->mimeData()->hasUrls()) return;
    filesOver_ = true;
    e->acceptProposedAction();
}

void ScheduleGridView::dragMoveEvent(QDragMoveEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void ScheduleGridView::dragLeaveEvent(QDragLeaveEvent* e) {
    QTableView::dragLeaveEvent(e);
    filesOver_ = false;
    emit operatorDone();
}

void ScheduleGridView::dropEvent(QDropEvent* e) {
    filesOver_ = false;
    emit operatorDone();
    const NativePaths names = LocalFilesOf(e->mimeData());
    if (names.empty()) return;
    e->acceptProposedAction();
    emit filesDropped(rowAtPoint(e->position().toPoint()), names);
}

void ScheduleGridView::paintEvent(QPaintEvent* e) {
    QTableView::paintEvent(e);
    const QRect mark = moveMarkRect();
    if (mark.isNull()) return;
    QPainter p(viewport());
    p.fillRect(mark, Qt::white);
}

void ScheduleGridView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    keepTopRowWhole();
}

void ScheduleGridView::updateGeometries() {
    QTableView::updateGeometries();
    keepTopRowWhole();
}

// At the end of the table Qt aligns the last row with the bottom edge, which leaves the top
// row half under the header; the rows stay whole at the top and the spare pixels go below.
void ScheduleGridView::keepTopRowWhole() {
    const QScrollBar* bar = verticalScrollBar();
    QHeaderView* rows = verticalHeader();
    if (bar->maximum() <= 0 || bar->value() != bar->maximum() || bar->value() >= rows->count())
        return;
    const int aligned = rows->sectionPosition(rows->logicalIndex(bar->value()));
    if (rows->offset() == aligned) return;
    rows->setOffset(aligned);
    viewport()->update();
}

void ScheduleGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    emit operatorDone();
}

}  // namespace pelvano::gui
