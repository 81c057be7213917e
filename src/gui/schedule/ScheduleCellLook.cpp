#include "gui/schedule/ScheduleCellLook.h"

#include <QHash>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

#include "core/schedule/ScheduleTable.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

namespace {

constexpr TColor kPlayingBase = 255;         // pure red
constexpr TColor kHeaderBase = 0x00FF0000u;  // pure blue
constexpr TColor kGridLine = 0x00404040u;

TColor inverse(TColor c) {
    return c ^ 0x00FFFFFFu;
}

// A band depends only on its colour and height: drawn once into a narrow strip, then tiled
// across every cell of that look (a full viewport repaints hundreds of cells).
const QPixmap& bandStrip(TColor colour, int height) {
    static QHash<quint64, QPixmap> strips;
    const quint64 key = (quint64{colour} << 16) | static_cast<quint64>(height & 0xFFFF);
    auto it = strips.find(key);
    if (it == strips.end()) {
        constexpr int kStripWidth = 16;
        QPixmap strip(kStripWidth, height);
        QPainter p(&strip);
        DrawGradientBand(p, Edges{0, 0, kStripWidth, height}, colour);
        it = strips.insert(key, strip);
    }
    return *it;
}

}  // namespace

ScheduleCellLook ScheduleHeaderLook(TColor accent) {
    return {core::ScaleColor(kHeaderBase, 1.3), 2, core::ScaleColor(inverse(accent), 0.9), false};
}

ScheduleCellLook ScheduleCellLookOf(int gridRow, bool selected, int playingRow, TColor accent) {
    ScheduleCellLook look;
    look.text = kScheduleTextColour;
    look.highlightText = selected;
    look.textLeft = selected ? 3 : 2;
    if (gridRow == playingRow) {
        look.band = core::ScaleColor(kPlayingBase, 1.5);
    } else if (selected) {
        look.band = core::ScaleColor(inverse(accent), 1.5);
    } else {
        look.band = core::ScaleColor(accent, gridRow % 2 ? 1.55 : 1);
    }
    return look;
}

void PaintScheduleCell(QPainter& p, const QRect& cell, const ScheduleCellLook& look,
                       const QString& text, const QPalette& palette, bool fixedCell) {
    const QRect band(cell.left() - 1, cell.top(), cell.width() + 2, cell.height() + 1);
    p.drawTiledPixmap(band, bandStrip(look.band, band.height()));
    if (fixedCell) {
        p.setPen(ToQColor(kGridLine));
        p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
        p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
    }
    p.setPen(look.highlightText ? palette.color(QPalette::HighlightedText) : ToQColor(look.text));
    if (text.isEmpty()) return;
    const QRect textRect(cell.left() + look.textLeft, cell.top() + 1, cell.width() - look.textLeft,
                         cell.height() - 1);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

ScheduleCellDelegate::ScheduleCellDelegate(const int& playingRow, const TColor& accent,
                                           QObject* parent)
    : QStyledItemDelegate(parent), playingRow_(playingRow), accent_(accent) {}

void ScheduleCellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const int gridRow = index.row() + 1;
    p->save();
    p->setFont(option.font);
    PaintScheduleCell(*p, option.rect, ScheduleCellLookOf(gridRow, selected, playingRow_, accent_),
                      index.data(Qt::DisplayRole).toString(), option.palette,
                      index.column() == core::kColNumber);
    p->restore();
}

QWidget* ScheduleCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor);
        line && index.column() == core::kColStartTime) {
        // The mask "99:99:99" of optional digits (Qt writes an optional digit as 0); unfilled
        // places stay blanks, which the estimate pass erases.
        line->setInputMask(QStringLiteral("00:00:00; "));
    }
    return editor;
}

void ScheduleCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                        const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && index.column() == core::kColStartTime) {
        model->setData(index, line->displayText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

ScheduleHeaderView::ScheduleHeaderView(const TColor& accent, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), accent_(accent) {}

void ScheduleHeaderView::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const {
    p->save();
    p->setFont(font());
    PaintScheduleCell(
        *p, rect, ScheduleHeaderLook(accent_),
        model() ? model()->headerData(logicalIndex, Qt::Horizontal).toString() : QString(),
        palette(), true);
    p->restore();
}

}  // namespace pelvano::gui
