#include "gui/tags/Mp3ListModel.h"

#include "core/schedule/ScheduleEdits.h"
#include "core/tags/Mp3ListFile.h"
#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

Mp3ListModel::Mp3ListModel(core::Mp3List& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), shownRows_(list.sgSong.dataRowCount()) {}

int Mp3ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int Mp3ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.sgSong.colCount();
}

QVariant Mp3ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return GbkToQString(list_.sgSong.cell(index.column(), index.row() + 1));
}

QVariant Mp3ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return QString();
    return GbkToQString(list_.sgSong.cell(section, 0));
}

Qt::ItemFlags Mp3ListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    const int col = index.column();
    if (editing_ && col != core::kListColNumber && col != core::kListColLength)
        f |= Qt::ItemIsEditable;
    return f;
}

bool Mp3ListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    list_.sgSong.setCell(index.column(), index.row() + 1,
                         core::SanitizeCellText(QStringToGbk(value.toString())));
    emit dataChanged(index, index);
    return true;
}

void Mp3ListModel::reload() {
    beginResetModel();
    shownRows_ = list_.sgSong.dataRowCount();
    endResetModel();
}

}  // namespace pelvano::gui
