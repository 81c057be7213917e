#include "gui/tags/Mp3ListView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUrl>
#include <QWheelEvent>

#include "gui/app/DroppedFiles.h"

namespace pelvano::gui {

Mp3ListView::Mp3ListView(QWidget* parent) : QTableView(parent) {
    // Rows are 15 pixels high: a font that fits them.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(10);
    verticalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this, &Mp3ListView::onSectionMoved);
}

void Mp3ListView::fitFileColumn() {
    if (!model() || model()->columnCount() < 5) return;
    int used = 0;
    for (int col = 0; col < 4; ++col) used += columnWidth(col);
    const int width = viewport()->width() + verticalHeader()->width() - used - 24;
    if (width > 0) setColumnWidth(4, width);
}

void Mp3ListView::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFilesOf(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Mp3ListView::dragMoveEvent(QDragMoveEvent* event) {
    if (!LocalFilesOf(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void Mp3ListView::dropEvent(QDropEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const NativePaths paths = LocalFilesOf(event->mimeData());
    if (!index.isValid() || paths.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(index.row() + 1, paths);
}

void Mp3ListView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    QScrollBar* bar = verticalScrollBar();
    if (delta < 0 && bar->value() < bar->maximum()) bar->setValue(bar->value() + 1);
    if (delta > 0 && bar->value() > bar->minimum()) bar->setValue(bar->value() - 1);
    event->accept();
}

void Mp3ListView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    fitFileColumn();
}

void Mp3ListView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitFileColumn();
}

void Mp3ListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && editTriggers() == QAbstractItemView::NoEditTriggers) {
        emit deletePressed();
        return;
    }
    if (event->matches(QKeySequence::SelectAll) &&
        selectionBehavior() == QAbstractItemView::SelectRows) {
        emit selectAllPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

void Mp3ListView::onSectionMoved(int, int oldVisual, int newVisual) {
    // The header only carries the gesture: the list moves its row, and the header's own order
    // goes back to the model's.
    {
        const QSignalBlocker block(verticalHeader());
        verticalHeader()->moveSection(newVisual, oldVisual);
    }
    emit rowMoved(oldVisual + 1, newVisual + 1);
}

}  // namespace pelvano::gui
