#pragma once
// The MP3 list grid (core::Mp3List::sgSong) as a table model: grid row 0 is the header, data
// row r is view row r - 1. The model only draws and edits the grid's GBK cells; every rule of
// the list lives in core::Mp3List. UI thread only.
#include <QAbstractTableModel>

#include "core/tags/Mp3List.h"

namespace pelvano::gui {

class Mp3ListModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    Mp3ListModel(core::Mp3List& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Editing mode: titles, artists and paths can be edited in place (lengths never).
    void setEditing(bool editing) { editing_ = editing; }
    bool editing() const { return editing_; }

    // After the list changed its rows (load, insertion, deletion, move). Until then the view
    // keeps the old row count (cells out of the grid read as empty).
    void reload();

  private:
    core::Mp3List& list_;
    // The row count the view was last told: the list changes its rows while a long insertion
    // lets the window repaint, and the view must never see a count it was not told of.
    int shownRows_;
    bool editing_ = false;
};

}  // namespace pelvano::gui
