#pragma once
// Bridges between the core's colours, fonts and GBK texts and their Qt counterparts.
// UI thread only (system colours are read from the application palette).
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "core/app/Colors.h"
#include "core/app/Fonts.h"

namespace pelvano::gui {

using core::TColor;

// Windows-style system colour indices (value 0xFF000000 + index) used by the controls.
constexpr TColor clScrollBar = 0xFF000000u, clWindow = 0xFF000005u, clWindowText = 0xFF000008u,
                 clHighlight = 0xFF00000Du, clBtnFace = 0xFF00000Fu, clBtnShadow = 0xFF000010u,
                 clGrayText = 0xFF000011u, clBtnText = 0xFF000012u, clBtnHighlight = 0xFF000014u,
                 cl3DDkShadow = 0xFF000015u, cl3DLight = 0xFF000016u;
constexpr TColor clNone = 0x1FFFFFFFu, clDefault = 0x20000000u;

// A plain colour as it is; a system colour through the matching role of the application palette;
// clNone fully transparent.
QColor ToQColor(TColor c);
// The opaque 0x00BBGGRR value of a Qt colour (alpha dropped).
TColor FromQColor(const QColor& c);
// A plain colour; system colours resolved through the palette first.
TColor ResolveColor(TColor c);

QFont ToQFont(const core::FontRecord& font);
// Style, face and size of a Qt font with the given colour.
core::FontRecord FromQFont(const QFont& font, TColor color);

QString GbkToQString(std::string_view gbk);
std::string QStringToGbk(const QString& text);

// Left, top, right, bottom with the right and bottom edges exclusive, as the skins measure boxes.
struct Edges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    bool operator==(const Edges&) const = default;
};

}  // namespace pelvano::gui
