#include "gui/controls/MyPanel.h"

#include <QApplication>
#include <QPainter>

#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

namespace {

// Each component of the colour divided by f, truncated; system colours resolved first.
TColor darken(TColor c, double f) {
    return core::ScaleColor(ResolveColor(c), f);
}

void addRect(std::vector<PanelSegment>& out, Edges r, TColor c) {
    out.push_back({r.left, r.top, r.right, r.top, c});
    out.push_back({r.right - 1, r.top, r.right - 1, r.bottom, c});
    out.push_back({r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, c});
    out.push_back({r.left, r.bottom - 1, r.left, r.top - 1, c});
}

QImage withoutColour(const QImage& img, TColor key) {
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb k = ToQColor(key).rgb() & 0xFFFFFFu;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((out.pixel(x, y) & 0xFFFFFFu) == k) out.setPixel(x, y, 0);
    return out;
}

}  // namespace

int PanelFrameDepth(TBevelStyle outer, TBevelStyle inner, int bevelWidth) {
    const int k = (outer != bvNone ? bevelWidth : 0) + (inner != bvNone ? bevelWidth : 0);
    return std::max(k, 2);
}

std::vector<PanelSegment> PanelFrameSegments(TPanelShape shape, int w, int h, int k,
                                             TColor highlight, TColor shadow) {
    std::vector<PanelSegment> out;
    switch (shape) {
        case ps3DButtonUp:
        case ps3DButtonDown:
            for (int i = 0; i <= k; ++i) {
                const double f = (shape == ps3DButtonUp ? (k - i) : i) * 0.15 + 1;
                addRect(out, {i, i, w - i, h - i}, darken(highlight, f));
            }
            break;
        case ps3DFrame: {
            const int g = std::max(1, k / 2);
            for (int i = 0; i <= g; ++i) {
                const TColor c = darken(highlight, (g - i) * 0.2 + 1);
                addRect(out, {i, i, w - i, h - i}, c);
                addRect(out, {k - i, k - i, w - k + i, h - k + i}, c);
            }
            break;
        }
        case ps3DPanel:
            for (int i = 0; i < k; ++i) {
                const TColor light = darken(highlight, (k - i) * 0.1 + 1);
                const TColor dark = darken(shadow, i * 0.1 + 1);
                out.push_back({i, h - i, i, i, light});
                out.push_back({i, i, w - i, i, light});
                out.push_back({w - i, i, w - i, h - i, dark});
                out.push_back({w - i, h - i, i, h - i, dark});
            }
            break;
        case psNormal:
            break;
    }
    return out;
}

TMyPanel::TMyPanel(QWidget* parent) : QWidget(parent) {
    font_ = FromQFont(QApplication::font(), core::clBlack);
    resize(185, 41);
}

QImage TMyPanel::Render() const {
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w, h, ToQColor(color_));
    const QImage* corners[4] = {&edgeTopLeft_, &edgeTopRight_, &edgeBottomLeft_, &edgeBottomRight_};
    for (int c = 0; c < 4; ++c) {
        const QImage& pic = *corners[c];
        if (pic.isNull()) continue;
        const int x = (c == 1 || c == 3) ? w - pic.width() : 0;
        const int y = c >= 2 ? h - pic.height() : 0;
        p.drawImage(x, y, edgesTransparent_ ? withoutColour(pic, transparentColor_) : pic);
    }
    Edges captionBox{0, 0, w, h};
    if (panelShape_ == psNormal) {
        const QColor light = ToQColor(colorHighlight_);
        const QColor dark = ToQColor(colorShadow_);
        auto bevel = [&](TBevelStyle b) {
            if (b == bvNone) return;
            const bool lowered = b == bvLowered;
            Frame3D(p, captionBox, lowered ? dark : light, lowered ? light : dark, bevelWidth_);
        };
        bevel(bevelOuter_);
        captionBox = {captionBox.left + borderWidth_, captionBox.top + borderWidth_,
                      captionBox.right - borderWidth_, captionBox.bottom - borderWidth_};
        bevel(bevelInner_);
    } else {
        const int k = PanelFrameDepth(bevelOuter_, bevelInner_, bevelWidth_);
        for (const PanelSegment& s :
             PanelFrameSegments(panelShape_, w, h, k, colorHighlight_, colorShadow_)) {
            p.setPen(ToQColor(s.colour));
            DrawLineTo(p, s.x1, s.y1, s.x2, s.y2);
        }
    }
    if (!caption_.isEmpty()) {
        const Qt::Alignment horz = alignmentHorz_ == TAlignment::taLeftJustify ? Qt::AlignLeft
                                   : alignmentHorz_ == TAlignment::taRightJustify
                                       ? Qt::AlignRight
                                       : Qt::AlignHCenter;
        const Qt::Alignment vert = alignmentVert_ == tavTop      ? Qt::AlignTop
                                   : alignmentVert_ == tavBottom ? Qt::AlignBottom
                                                                 : Qt::AlignVCenter;
        p.setFont(ToQFont(font_));
        p.setPen(ToQColor(font_.color));
        p.drawText(captionBox.toQRect(),
                   static_cast<int>(horz | vert) | Qt::TextSingleLine | Qt::TextExpandTabs,
                   caption_);
    }
    return img;
}

void TMyPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Render());
}

}  // namespace pelvano::gui
