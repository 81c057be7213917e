#pragma once
// How each cell of the schedule grid is drawn: a gradient band whose colour tells the header,
// the row on air, the selection and odd and even rows apart, and the text placed on it. The
// colour arithmetic is plain (ScheduleCellLookOf); the delegate and the header paint with it.
// UI thread only.
#include <QHeaderView>
#include <QStyledItemDelegate>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

struct ScheduleCellLook {
    TColor band = 0;
    int textLeft = 2;            // pixels from the cell's left edge; the text sits one pixel down
    TColor text = 0;             // ignored when highlightText is set
    bool highlightText = false;  // the platform's highlight-text colour (selected cells)
};

// The accent colour of the red style, the grid's colour until the player sets its own.
constexpr TColor kDefaultScheduleAccent = 0x002A0781u;
constexpr TColor kScheduleTextColour = 0x00FFFF00u;  // aqua

ScheduleCellLook ScheduleHeaderLook(TColor accent);
// gridRow counts from 1 (the first data row).
ScheduleCellLook ScheduleCellLookOf(int gridRow, bool selected, int playingRow, TColor accent);

// The look's band over the cell widened by one pixel to the left, right and bottom, and the
// text on it; grid lines right and below the fixed column's cells.
void PaintScheduleCell(QPainter& p, const QRect& cell, const ScheduleCellLook& look,
                       const QString& text, const QPalette& palette, bool fixedCell);

// Draws data cells and edits the start-time column through a mask of optional digits, hh:mm:ss.
class ScheduleCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    ScheduleCellDelegate(const int& playingRow, const TColor& accent, QObject* parent = nullptr);
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  private:
    const int& playingRow_;
    const TColor& accent_;
};

// The header row: bands in their own colour, texts in the accent's inverse.
class ScheduleHeaderView : public QHeaderView {
    Q_OBJECT
  public:
    ScheduleHeaderView(const TColor& accent, QWidget* parent = nullptr);

  protected:
    void paintSection(QPainter* p, const QRect& rect, int logicalIndex) const override;

  private:
    const TColor& accent_;
};

}  // namespace pelvano::gui
