#include "gui/controls/TransButtonLook.h"

#include <QPainter>

namespace pelvano::gui {

QImage GreyCopy(const QImage& cell) {
    QImage out = cell.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = out.pixel(x, y);
            const int g = (11 * qRed(c) + 59 * qGreen(c) + 30 * qBlue(c)) / 100;
            out.setPixel(x, y, qRgb(g, g, g));
        }
    }
    return out;
}

QImage DisabledCopy(const QImage& cell, QRgb face, QRgb highlight, QRgb shadow) {
    const QImage src = cell.convertToFormat(QImage::Format_RGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    out.fill(face);
    if (src.isNull()) return out;
    const QRgb corner = src.pixel(0, 0) & 0xFFFFFFu;
    auto isInk = [&](int x, int y) {
        const QRgb c = src.pixel(x, y) & 0xFFFFFFu;
        return c != 0xFFFFFFu && c != corner;
    };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (isInk(x, y) && x + 1 < out.width() && y + 1 < out.height())
                out.setPixel(x + 1, y + 1, highlight);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (isInk(x, y)) out.setPixel(x, y, shadow);
    return out;
}

std::vector<QImage> BuildGlyphList(const QImage& glyph, int numGlyphs, QRgb face, QRgb highlight,
                                   QRgb shadow) {
    std::vector<QImage> list;
    if (glyph.isNull() || numGlyphs < 1) return list;
    const int cw = glyph.width() / numGlyphs;
    if (cw <= 0) return list;
    for (int i = 0; i < numGlyphs; ++i) list.push_back(glyph.copy(i * cw, 0, cw, glyph.height()));
    list.push_back(GreyCopy(list.front()));
    list.push_back(DisabledCopy(list.front(), face, highlight, shadow));
    return list;
}

int TransButtonGlyphCells(const QImage& glyph, int current) {
    if (glyph.height() <= 0 || glyph.width() % glyph.height() != 0) return current;
    const int q = glyph.width() / glyph.height();
    return q > 4 || q < 1 ? 1 : q;
}

int GlyphEntryIndex(int numGlyphs, int listCount, TFrameStyle style, bool autoGray,
                    const TransButtonState& s) {
    if (listCount == 0) return -1;
    int entry = 0;
    if (numGlyphs == 2 && !s.enabled) entry = 1;
    if (numGlyphs >= 3) entry = !s.enabled ? 1 : (s.pressedLook ? 2 : 0);
    if (style == fsExplorer && autoGray && !s.hover) entry = listCount - 2;
    if (!s.enabled && numGlyphs == 1) entry = listCount - 1;
    return entry < listCount ? entry : 0;
}

QPoint GlyphOrigin(TTextAlign align, int w, int h, int gw, int gh, int spacing) {
    int y0 = (h - gh) / 2;
    if (align == ttaBottomRight || align == ttaBottom || align == ttaBottomLeft) y0 = spacing;
    if (align == ttaTopLeft || align == ttaTop || align == ttaTopRight) y0 = h - gh - spacing;
    int x0 = (w - gw) / 2;
    if (align == ttaLeft) x0 = w - gw - spacing;
    if (align == ttaRight) x0 = spacing;
    return {x0, y0};
}

QPoint CaptionOrigin(TTextAlign align, int w, int h, int tw, int th, int spacing, QRect g) {
    const int above = g.top() - th - spacing;
    const int below = g.top() + g.height() + spacing;
    const int centreX = w / 2 - tw / 2;
    const int centreY = h / 2 - th / 2;
    const int right = w - tw - spacing;
    switch (align) {
        case ttaTopLeft:
            return {spacing, above};
        case ttaTop:
            return {centreX, above};
        case ttaTopRight:
            return {right, above};
        case ttaRight:
            return {right, centreY};
        case ttaBottomRight:
            return {right, below};
        case ttaBottom:
            return {centreX, below};
        case ttaBottomLeft:
            return {spacing, below};
        case ttaLeft:
            return {spacing, centreY};
        case ttaCenter:
            break;
    }
    return {centreX, centreY};
}

std::vector<FrameLine> StateFrames(TFrameStyle style, bool showPressed, int bw,
                                   const TransButtonState& s) {
    if (style == fsNone) return {};
    if (style == fsExplorer) {
        if (s.pressedLook) {
            if (!s.hover && !s.down) return {};
            if (showPressed) return {{clBtnShadow, clBtnHighlight, bw}};
            return {{clBtnHighlight, clBtnShadow, bw}};
        }
        if (s.hover) return {{clBtnHighlight, clBtnShadow, bw}};
        return {};
    }
    const bool pressed = s.pressedLook && showPressed;
    switch (style) {
        case fsRegular:
        case fsIndent:
            if (pressed) return {{core::clBlack, clBtnHighlight, bw}, {clBtnShadow, clBtnFace, bw}};
            if (style == fsRegular)
                return {{clBtnHighlight, core::clBlack, bw}, {clBtnFace, clBtnShadow, bw}};
            return {{clBtnShadow, clBtnHighlight, bw}};
        case fsLight:
            if (pressed) return {{clBtnShadow, clBtnHighlight, 1}};
            return {{clBtnHighlight, clBtnShadow, 1}};
        case fsDark:
            if (pressed) return {{cl3DDkShadow, clBtnFace, 1}};
            return {{clBtnFace, cl3DDkShadow, 1}};
        case fsMono:
            if (pressed) return {{cl3DDkShadow, clBtnHighlight, 1}};
            return {{clBtnHighlight, cl3DDkShadow, 1}};
        default:
            return {};
    }
}

}  // namespace pelvano::gui
