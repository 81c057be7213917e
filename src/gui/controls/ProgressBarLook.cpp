#include "gui/controls/ProgressBarLook.h"

#include <QPainter>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "gui/controls/SkinMath.h"

namespace pelvano::gui {

TColor GradientColour(TColor c1, TColor c2, int n, int i, int midPoint, int gradient) {
    if (i < 1 || i > n)
        throw std::out_of_range("ColorIndex can't be less than 1 or greater than " +
                                std::to_string(n));
    const int t = (gradient * n * 2 * midPoint) / 100;
    const int k = gradient * i + (n - t) / 2;
    if (k <= 0) return c1;
    if (k >= n) return c2;
    const TColor a = ResolveColor(c1);
    const TColor b = ResolveColor(c2);
    auto mix = [&](int x, int y) { return x + MulDiv(k - 1, y - x, n - 1); };
    return core::MakeColor(mix(core::RedOf(a), core::RedOf(b)),
                           mix(core::GreenOf(a), core::GreenOf(b)),
                           mix(core::BlueOf(a), core::BlueOf(b)));
}

QImage BuildGradientImage(const GradientLook& look, int w, int h) {
    QImage img(std::max(w, 0), std::max(h, 0), QImage::Format_RGB32);
    if (img.isNull()) return img;
    const bool horizontal = look.direction == pdLeftToRight || look.direction == pdRightToLeft;
    const bool forward = look.direction == pdLeftToRight || look.direction == pdTopToBottom;
    const int length = horizontal ? w : h;
    const bool three = look.style == cs3Colors;
    const int n = three ? length / 2 : length;
    TColor start = forward ? look.BarColor1 : look.BarColor2;
    TColor end = forward ? look.BarColor2 : look.BarColor1;
    if (three) {
        start = forward ? look.BarColor1 : look.BarColor3;
        end = look.BarColor2;
    }
    const TColor secondEnd = forward ? look.BarColor3 : look.BarColor1;
    auto line = [&](int pos, TColor c) {
        const QRgb rgb = ToQColor(c).rgb();
        if (horizontal) {
            for (int y = 0; y < h; ++y) img.setPixel(pos, y, rgb);
        } else {
            for (int x = 0; x < w; ++x) img.setPixel(x, pos, rgb);
        }
    };
    for (int i = 1; i <= n; ++i)
        line(i - 1, GradientColour(start, end, n, i, look.MidPoint1, look.Gradient));
    if (three) {
        for (int p = n; p < length; ++p)
            line(p, GradientColour(look.BarColor2, secondEnd, length - n, p - n + 1, look.MidPoint2,
                                   look.Gradient));
    }
    return img;
}

int FilledLength(int position, int min, int max, int length) {
    if (position <= min || max == min) return 0;
    return RoundEven(static_cast<double>(position - min) / std::abs(max - min) * length);
}

Edges UnfilledPart(TProgressDirection d, Edges b, int e) {
    switch (d) {
        case pdLeftToRight:
            return {b.right - e, b.top, b.right, b.bottom};
        case pdRightToLeft:
            return {b.left, b.top, b.left + e, b.bottom};
        case pdBottomToTop:
            return {b.left, b.top, b.right, b.top + e};
        case pdTopToBottom:
            break;
    }
    return {b.left, b.bottom - e, b.right, b.bottom};
}

QString PositionText(const QString& prefix, const QString& suffix, bool showCaption,
                     const QString& caption, bool percentage, int position, int min, int max) {
    QString content;
    if (showCaption) {
        content = caption;
    } else if (percentage) {
        if (max != min)
            content =
                QString::number(RoundEven(static_cast<double>(position - min) * 100 / (max - min)));
    } else {
        content = QString::number(position);
    }
    return prefix + content + suffix;
}

}  // namespace pelvano::gui
