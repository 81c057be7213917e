#include "HelperCanvas.h"

#include <QPainter>

#include "core/app/Encoding.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gallery {

using namespace pelvano::gui;

void HelperCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(20, 24, 32));
    DrawGradientBand(p, {4, 4, 130, 30}, 0x30A0F0);
    for (int kind = 1; kind <= 3; ++kind) DrawRidgeLine(p, 10, 36 + kind * 10, 110, kind, 0x60E0E0);
    core::FontRecord f;
    f.name = core::Utf8ToGbk("文泉驿微米黑");
    f.size = 16;
    f.color = core::clYellow;
    f.bold = true;
    const std::string description =
        core::Utf8ToGbk("播出~~140~~8~~0~~") + core::FontToText(f) + "~~255;80;0~~3~~3";
    DrawEffectText(p, description, {});
    core::FontRecord fitted = f;
    fitted.size = 40;
    fitted.color = core::clWhite;
    DrawFittedText(p, fitted, core::Utf8ToGbk("自动播出系统"), 1, 1, 0x0000FF, {136, 60, 272, 100});
}

}  // namespace pelvano::gallery
