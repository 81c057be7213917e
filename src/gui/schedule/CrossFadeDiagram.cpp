#include "gui/schedule/CrossFadeDiagram.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace pelvano::gui {

CrossFadeDiagram::CrossFadeDiagram(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 110);
}

void CrossFadeDiagram::setLengths(int fadeOut, int crossFade, int fadeIn) {
    fadeOut_ = fadeOut;
    cross_ = crossFade;
    fadeIn_ = fadeIn;
    update();
}

void CrossFadeDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(16, 24, 40));
    const QRectF plot = QRectF(rect()).adjusted(10, 22, -10, -14);
    p.setPen(QColor(90, 100, 120));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());

    // Time axis: the current item at full volume, then its fade-out; the next item starts the
    // cross-fade length before the current one ends and fades in.
    const double out = std::max(1, fadeOut_);
    const double in = std::max(1, fadeIn_);
    const double cross = std::clamp(cross_, 1, 60);
    const double currentEnd = 4 + out;
    const double nextStart = currentEnd - cross;
    const double total = std::max(currentEnd, nextStart + in) + 4;
    const auto x = [&](double t) { return plot.left() + plot.width() * t / total; };
    const double top = plot.top();
    const double bottom = plot.bottom();

    QPainterPath current;
    current.moveTo(x(0), top);
    current.lineTo(x(currentEnd - out), top);
    current.cubicTo(x(currentEnd - out / 2), top, x(currentEnd - out / 3), bottom, x(currentEnd),
                    bottom);
    p.setPen(QPen(QColor(255, 220, 0), 2));
    p.drawPath(current);

    QPainterPath next;
    next.moveTo(x(nextStart), bottom);
    next.cubicTo(x(nextStart + in / 3), bottom, x(nextStart + in / 2), top, x(nextStart + in), top);
    next.lineTo(x(total), top);
    p.setPen(QPen(QColor(0, 230, 255), 2));
    p.drawPath(next);

    p.setPen(QColor(255, 220, 0));
    p.drawText(QPointF(plot.left() + 4, plot.top() - 6), QStringLiteral("当前节目"));
    p.setPen(QColor(0, 230, 255));
    const QString nextLabel = QStringLiteral("下一节目");
    p.drawText(
        QPointF(plot.right() - p.fontMetrics().horizontalAdvance(nextLabel) - 4, plot.top() - 6),
        nextLabel);
    p.setPen(QColor(160, 170, 190));
    p.drawText(QRectF(x(nextStart), bottom, x(currentEnd) - x(nextStart), 14), Qt::AlignCenter,
               QString::number(cross_) + QStringLiteral("s"));
}

}  // namespace pelvano::gui
