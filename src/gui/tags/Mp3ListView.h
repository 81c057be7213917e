#pragma once
// The list grid sgSong: a table that takes files and folders dropped from the file manager,
// moves rows dragged by their row header, scrolls one row per wheel step and keeps the file
// column filling the width. It reports what happened; the window acts. UI thread only.
#include <QTableView>
#include <string>
#include <vector>

namespace pelvano::gui {

class Mp3ListView final : public QTableView {
    Q_OBJECT
  public:
    explicit Mp3ListView(QWidget* parent = nullptr);

    static constexpr int kRowHeight = 15;

    // Column 4 takes what columns 0 .. 3 leave of the width, less 24 pixels.
    void fitFileColumn();

  signals:
    // Native paths dropped onto a data row (grid row, from 1); drops elsewhere are ignored.
    void filesDropped(int gridRow, const std::vector<std::string>& paths);
    // A row dragged by its header from one grid row to another.
    void rowMoved(int fromGridRow, int toGridRow);
    void deletePressed();
    void selectAllPressed();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void onSectionMoved(int logical, int oldVisual, int newVisual);
};

}  // namespace pelvano::gui
