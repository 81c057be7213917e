#include "gui/controls/QtAdapters.h"

#include <QApplication>
#include <QPalette>

#include "core/app/Encoding.h"

namespace pelvano::gui {

namespace {

struct PaletteRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The desktop's system colour indices mapped to the nearest role of a Qt palette.
PaletteRole roleForSystemIndex(unsigned index) {
    using P = QPalette;
    switch (index) {
        case 0:
            return {P::Active, P::Button};  // scroll bar
        case 1:
            return {P::Active, P::Dark};  // desktop background
        case 2:
            return {P::Active, P::Highlight};  // active caption
        case 3:
            return {P::Inactive, P::Mid};  // inactive caption
        case 4:
            return {P::Active, P::Window};  // menu
        case 5:
            return {P::Active, P::Base};  // window
        case 6:
            return {P::Active, P::Shadow};  // window frame
        case 7:
            return {P::Active, P::WindowText};  // menu text
        case 8:
            return {P::Active, P::Text};  // window text
        case 9:
            return {P::Active, P::HighlightedText};  // caption text
        case 10:
            return {P::Active, P::Button};  // active border
        case 11:
            return {P::Inactive, P::Button};  // inactive border
        case 12:
            return {P::Active, P::Mid};  // application work space
        case 13:
            return {P::Active, P::Highlight};  // highlight
        case 14:
            return {P::Active, P::HighlightedText};  // highlight text
        case 15:
            return {P::Active, P::Button};  // button face
        case 16:
            return {P::Active, P::Dark};  // button shadow
        case 17:
            return {P::Disabled, P::Text};  // grey text
        case 18:
            return {P::Active, P::ButtonText};  // button text
        case 19:
            return {P::Inactive, P::WindowText};  // inactive caption text
        case 20:
            return {P::Active, P::Light};  // button highlight
        case 21:
            return {P::Active, P::Shadow};  // 3D dark shadow
        case 22:
            return {P::Active, P::Midlight};  // 3D light
        case 23:
            return {P::Active, P::ToolTipText};  // info text
        case 24:
            return {P::Active, P::ToolTipBase};  // info background
        case 26:
            return {P::Active, P::Link};  // hot light
        case 29:
            return {P::Active, P::Highlight};  // menu highlight
        case 30:
            return {P::Active, P::Window};  // menu bar
        default:
            return {P::Active, P::Window};
    }
}

}  // namespace

QColor ToQColor(TColor c) {
    if (c == clNone) return QColor(0, 0, 0, 0);
    if (c == clDefault) return QApplication::palette().color(QPalette::Active, QPalette::Window);
    if (core::IsSystemColor(c)) {
        const PaletteRole r = roleForSystemIndex(c & 0xFFu);
        return QApplication::palette().color(r.group, r.role);
    }
    return QColor(core::RedOf(c), core::GreenOf(c), core::BlueOf(c));
}

TColor FromQColor(const QColor& c) {
    const QColor rgb = c.toRgb();
    return core::MakeColor(rgb.red(), rgb.green(), rgb.blue());
}

TColor ResolveColor(TColor c) {
    return core::IsSystemColor(c) || c == clDefault ? FromQColor(ToQColor(c)) : (c & 0xFFFFFFu);
}

QFont ToQFont(const core::FontRecord& font) {
    QFont f(GbkToQString(font.name));
    f.setPointSize(font.size > 0 ? font.size : 1);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    return f;
}

core::FontRecord FromQFont(const QFont& font, TColor color) {
    core::FontRecord r;
    r.name = QStringToGbk(font.family());
    r.size = font.pointSize() > 0 ? font.pointSize() : 9;
    r.color = color;
    r.bold = font.bold();
    r.italic = font.italic();
    r.underline = font.underline();
    r.strikeOut = font.strikeOut();
    return r;
}

QString GbkToQString(std::string_view gbk) {
    return QString::fromStdString(core::GbkToUtf8(gbk));
}

std::string QStringToGbk(const QString& text) {
    return core::Utf8ToGbk(text.toStdString());
}

}  // namespace pelvano::gui
