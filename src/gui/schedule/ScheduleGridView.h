#pragma once
// The view of the schedule grid: one-row wheel steps, rows moved by dragging their number
// cell (with a mark where the row will land), files and folders dropped from the desktop, and
// the Delete and Ctrl+A keys. The right button only opens the menu: it moves neither the
// current row nor the selection. It only reports what the user did; the window carries it
// out. The number column stays fixed at the left; the columns after it scroll by whole columns
// (the ones scrolled past are hidden). UI thread only.
#include <QTableView>
#include <string>
#include <vector>

namespace pelvano::gui {

class ScheduleGridView : public QTableView {
    Q_OBJECT
  public:
    explicit ScheduleGridView(QWidget* parent = nullptr);

    // Row mode: whole rows are selected and nothing is edited; cell mode: single cells.
    bool rowMode() const { return rowMode_; }
    void setRowMode(bool on);
    // Model row under a point of the viewport; -1 outside the rows.
    int rowAtPoint(const QPoint& viewportPoint) const;
    // A row drag, files dragged over the rows or a cell edit is in progress: the view must not
    // be moved under the mouse.
    bool operatorBusy() const;
    // Where a dragged row would land: a line over the viewport, or null when none is shown.
    QRect moveMarkRect() const;
    // The first column shown after the fixed number column.
    int firstScrollingColumn() const { return firstColumn_; }
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  signals:
    // Model rows; the number cell of from was dragged onto the row to.
    void rowMoveRequested(int from, int to);
    // Local files and folders dropped on a model row (-1: outside the rows).
    void filesDropped(int row, const std::vector<std::string>& nativePaths);
    void deleteRequested();
    void selectAllRequested();
    // A row drag, a file drag or a cell edit has ended.
    void operatorDone();

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    void keepTopRowWhole();
    void showColumnsFrom(int first);

    bool rowMode_ = true;
    int firstColumn_ = 1;
    int dragFrom_ = -1;       // model row whose number cell is being dragged
    int dragTo_ = -1;         // model row under the mouse during that drag
    bool filesOver_ = false;  // files from the desktop are being dragged over the rows
};

}  // namespace pelvano::gui
