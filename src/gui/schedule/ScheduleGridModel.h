#pragma once
// The schedule grid sgJM as a Qt table model over the core's table: model row r is data row
// r + 1, every grid column is a model column, the header row is the horizontal header. Cells
// can be edited only in edit mode and only in the editable columns. UI thread only.
#include <QAbstractTableModel>
#include <functional>
#include <string>

#include "core/schedule/ScheduleTable.h"

namespace pelvano::gui {

class ScheduleGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ScheduleGridModel(core::ScheduleTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Display: the cell text, the file name only in the file column. Edit: the cell text.
    // Tooltip: toolTipOf the row, when set.
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    bool editMode() const { return editMode_; }
    void setEditMode(bool on);

    // The core's table changed: a new shape resets the model, otherwise every cell is redrawn.
    void refresh();

    core::ScheduleTable& table() { return table_; }

    // The tooltip text (UTF-8) of a grid row (1 = first data row).
    std::function<std::string(int gridRow)> toolTipOf;

  private:
    core::ScheduleTable& table_;
    int rows_ = 0;
    int cols_ = 0;
    bool editMode_ = false;
};

}  // namespace pelvano::gui
