#include "gui/schedule/ScheduleGridModel.h"

#include "core/app/FileHelpers.h"
#include "core/schedule/ScheduleEdits.h"
#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

ScheduleGridModel::ScheduleGridModel(core::ScheduleTable& table, QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      rows_(table.sgJM.dataRowCount()),
      cols_(table.sgJM.colCount()) {}

int ScheduleGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ScheduleGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant ScheduleGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::ToolTipRole && toolTipOf)
        return QString::fromStdString(toolTipOf(index.row() + 1));
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    const std::string& text = table_.sgJM.cell(index.column(), index.row() + 1);
    if (role == Qt::DisplayRole && index.column() == core::kColFile)
        return GbkToQString(core::FileNameOf(text));
    return GbkToQString(text);
}

bool ScheduleGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    table_.sgJM.setCell(index.column(), index.row() + 1,
                        core::SanitizeCellText(QStringToGbk(value.toString())));
    emit dataChanged(index, index);
    return true;
}

QVariant ScheduleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return GbkToQString(table_.sgJM.cell(section, 0));
}

Qt::ItemFlags ScheduleGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editMode_ && core::IsEditableColumn(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

void ScheduleGridModel::setEditMode(bool on) {
    editMode_ = on;
}

void ScheduleGridModel::refresh() {
    const int rows = table_.sgJM.dataRowCount();
    const int cols = table_.sgJM.colCount();
    if (rows != rows_ || cols != cols_) {
        beginResetModel();
        rows_ = rows;
        cols_ = cols;
        endResetModel();
        return;
    }
    if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

}  // namespace pelvano::gui
