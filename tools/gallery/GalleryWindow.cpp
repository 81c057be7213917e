#include "GalleryWindow.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>

#include "GalleryArt.h"
#include "HelperCanvas.h"
#include "core/app/Encoding.h"
#include "gui/controls/MyPanel.h"
#include "gui/controls/MyProgressBarNew.h"
#include "gui/controls/MyRgnFrm.h"
#include "gui/controls/MyRoundButton.h"
#include "gui/controls/MyShape.h"
#include "gui/controls/MyVolMeter.h"
#include "gui/controls/TransparentButton.h"
#include "gui/controls/velTracker.h"

namespace pelvano::gallery {

using namespace pelvano::gui;

namespace {

constexpr int kMargin = 12;

QLabel* note(QWidget* parent, const QString& text, int x, int y, int w = 90) {
    auto* l = new QLabel(text, parent);
    l->setStyleSheet("color: #dde4f0; font-size: 10px;");
    l->setGeometry(x, y, w, 14);
    return l;
}

void hover(QWidget* w) {
    QEnterEvent ev(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(w, &ev);
}

core::FontRecord makeFont(const char* utf8Name, int size, TColor colour, bool bold = false) {
    core::FontRecord f;
    f.name = core::Utf8ToGbk(utf8Name);
    f.size = size;
    f.color = colour;
    f.bold = bold;
    return f;
}

}  // namespace

GalleryWindow::GalleryWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle("Pelvano 控件一览");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(44, 52, 68));
    setPalette(pal);
    int y = kMargin;
    y = addRoundButtons(y);
    y = addTransparentButtons(y);
    y = addBarsMetersTrackers(y);
    y = addPanels(y);
    y = addShapes(y);
    resize(980, y + kMargin);
}

int GalleryWindow::addTitle(const QString& text, int y) {
    auto* l = new QLabel(text, this);
    l->setStyleSheet("color: #ffffff; font-weight: bold;");
    l->setGeometry(kMargin, y, 900, 18);
    return y + 22;
}

int GalleryWindow::addRoundButtons(int y) {
    y = addTitle("TMyRoundButton 圆形按钮：凹凸边环、边框、图形、按下、禁用", y);
    struct Variant {
        const char* label;
        int size;
        TColor face;
        THemisphereBevel outer, inner;
        bool border, down, enabled, glyph, mapped, caption, transparentFace;
        double atten;
    };
    const Variant variants[] = {
        {"19 默认", 19, core::clGray, hbLowered, hbNone, false, false, true, false, false, false,
         false, 1},
        {"19 按下", 19, core::clGray, hbLowered, hbNone, false, true, true, false, false, false,
         false, 1},
        {"无边环+边框", 33, core::clGreen, hbNone, hbNone, true, false, true, false, false, false,
         false, 1},
        {"凸起", 33, 0x3060C0, hbRaised, hbNone, false, false, true, false, false, false, false, 1},
        {"双边环", 41, 0xA05020, hbLowered, hbRaised, true, false, true, false, false, false, false,
         1},
        {"双边环按下", 41, 0xA05020, hbLowered, hbRaised, true, true, true, false, false, false,
         false, 1},
        {"平面 0", 33, 0x2090E0, hbLowered, hbNone, false, false, true, false, false, false, false,
         0},
        {"图形", 41, 0x606060, hbLowered, hbNone, false, false, true, true, false, false, false, 1},
        {"贴图", 41, 0x606060, hbRaised, hbNone, false, false, true, true, true, false, false, 1},
        {"文字", 41, 0x4040C0, hbLowered, hbNone, false, false, true, false, false, true, false, 1},
        {"禁用", 41, 0x4040C0, hbLowered, hbNone, false, false, false, false, false, true, false,
         1},
        {"透明面", 41, 0x4040C0, hbRaised, hbLowered, true, false, true, false, false, true, true,
         1},
    };
    int x = kMargin;
    for (const Variant& v : variants) {
        auto* b = new TMyRoundButton(this);
        b->setGeometry(x + (70 - v.size) / 2, y + (44 - v.size) / 2, v.size, v.size);
        b->SetFaceColor(v.face);
        b->SetBevelOuter(v.outer);
        b->SetBevelInner(v.inner);
        b->SetAttenControl(v.atten);
        if (v.border) b->SetBorderStyle(bsSingle);
        if (v.glyph) b->SetGlyph(PlayGlyph(24));
        b->SetGlyphMapped(v.mapped);
        b->SetFaceTransparent(v.transparentFace);
        b->setEnabled(v.enabled);
        if (v.caption) {
            b->SetFont(makeFont("文泉驿微米黑", 9, core::clWhite, true));
            b->SetCaption("播");
        }
        b->SetDown(v.down);
        note(this, v.label, x, y + 46, 70);
        x += 78;
    }
    return y + 66;
}

int GalleryWindow::addTransparentButtons(int y) {
    y = addTitle("TTransparentButton / TMyTransBtn 透明按钮：七种边框 × 常态、悬停、按下、禁用", y);
    auto* face = new TMyPanel(this);
    face->SetPanelShape(psNormal);
    face->SetBevelOuter(bvLowered);
    face->setGeometry(kMargin, y, 956, 214);
    const char* styleNames[] = {"fsRegular", "fsIndent", "fsExplorer", "fsNone",
                                "fsLight",   "fsDark",   "fsMono"};
    const char* stateNames[] = {"常态", "悬停", "按下", "禁用"};
    for (int s = 0; s < 4; ++s) {
        auto* l = new QLabel(stateNames[s], face);
        l->setGeometry(6, 30 + s * 44, 40, 16);
    }
    for (int st = 0; st < 7; ++st) {
        auto* l = new QLabel(styleNames[st], face);
        l->setGeometry(50 + st * 92, 4, 90, 16);
        for (int s = 0; s < 4; ++s) {
            auto* b = new TTransparentButton(face);
            b->setGeometry(50 + st * 92, 22 + s * 44, 86, 40);
            b->SetFrameStyle(static_cast<TFrameStyle>(st));
            b->SetGlyph(ReloadGlyphPair(16));
            b->SetTextAlign(ttaRight);
            b->SetCaption("重载(&R)");
            if (s == 1) hover(b);
            if (s == 2) {
                hover(b);
                b->SetDown(true);
            }
            if (s == 3) b->setEnabled(false);
        }
    }
    const char* texts[] = {"关闭", "字体", "音乐"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new TMyTransBtn(face);
        b->setGeometry(700, 22 + i * 44, 80, 30);
        b->SetFrameStyle(fsMono);
        b->SetCaption(texts[i]);
        if (i == 1) b->SetDown(true);
        if (i == 2) b->setEnabled(false);
    }
    for (int a = 0; a < 9; ++a) {
        auto* b = new TTransparentButton(face);
        b->setGeometry(800 + (a % 3) * 50, 22 + (a / 3) * 60, 48, 56);
        b->SetFrameStyle(fsRegular);
        b->SetGlyph(PlayGlyph(16));
        b->SetTextAlign(static_cast<TTextAlign>(a));
        b->SetCaption(QString::number(a));
    }
    return y + 222;
}

int GalleryWindow::addBarsMetersTrackers(int y) {
    y = addTitle("TMyProgressBarNew 渐变进度条 · TMyVolMeter 电平表 · TvelTracker 滑块 · 绘图助手",
                 y);
    struct Bar {
        TBarColorStyle style;
        TProgressDirection dir;
        int pos;
        bool caption, percentage, bitmap;
    };
    const Bar bars[] = {{cs3Colors, pdLeftToRight, 70, true, false, false},
                        {cs2Colors, pdRightToLeft, 40, false, true, false},
                        {cs1Color, pdLeftToRight, 55, false, false, false},
                        {cs3Colors, pdLeftToRight, 100, false, false, true}};
    for (int i = 0; i < 4; ++i) {
        auto* pb = new TMyProgressBarNew(this);
        pb->setGeometry(kMargin, y + i * 26, 220, 20);
        pb->SetBarColorStyle(bars[i].style);
        pb->SetDirection(bars[i].dir);
        pb->SetPosition(bars[i].pos);
        pb->SetCaption("播出：无");
        pb->SetShowCaption(bars[i].caption);
        pb->SetPercentage(bars[i].percentage);
        if (bars[i].percentage) pb->SetPosTextSuffix("%");
        if (bars[i].bitmap) {
            pb->SetBarBitmap(CheckerTile(8, qRgb(90, 160, 230), qRgb(40, 90, 170)));
            pb->SetUseBitmap(true);
        }
    }
    for (int i = 0; i < 2; ++i) {
        auto* pb = new TMyProgressBarNew(this);
        pb->setGeometry(kMargin + 230 + i * 26, y, 20, 100);
        pb->SetDirection(i == 0 ? pdBottomToTop : pdTopToBottom);
        pb->SetBevelInner(bvRaised);
        pb->SetShowPosText(false);
        pb->SetPosition(65);
    }
    const float levels[] = {0.9f, 0.35f, 0.05f};
    for (int i = 0; i < 3; ++i) {
        auto* m = new TMyVolMeter(this);
        m->setGeometry(kMargin + 300 + i * 40, y, 32, 104);
        m->SetBackGroundColor(core::clBlack);
        m->SetLeftPosition(levels[i]);
        m->SetRightPosition(levels[(i + 1) % 3]);
    }
    auto* player = new TMyVolMeter(this);
    player->setGeometry(kMargin + 424, y + 10, 7, 86);
    player->Setstereo(false);
    player->SetlevelMin(0);
    player->SetlevelMax(100);
    player->SetlevelHigh(85);
    player->SetlevelMed(50);
    player->SetBackGroundColor(core::clBlack);
    player->SetLeftPosition(0.9999f);
    const int trackerValues[] = {-1700, 5000, 128};
    const int mins[] = {-3400, -10000, 0};
    const int maxs[] = {0, 10000, 255};
    for (int i = 0; i < 3; ++i) {
        auto* t = new TvelTracker(this);
        t->setGeometry(kMargin + 450, y + i * 35, 180, 32);
        t->SetMinimum(mins[i]);
        t->SetMaximum(maxs[i]);
        t->SetThumbHeight(20);
        t->SetThumbWidth(30);  // below the height, or it is refused
        t->setFont(QFont(t->font().family(), 7));
        t->SetValue(trackerValues[i]);
        t->SetTrackPositionColor(i == 2);
        t->SetTrackColor(i == 2 ? 0x00C0FF : core::clGray);
        if (i == 1) t->SetBackBitmap(CheckerTile(6, qRgb(200, 200, 210), qRgb(170, 170, 190)));
    }
    auto* vertical = new TvelTracker(this);
    vertical->setGeometry(kMargin + 640, y, 24, 104);
    vertical->SetOrientation(jtbVertical);
    vertical->SetValue(30);
    vertical->SetShowCaption(false);
    auto* helpers = new HelperCanvas(this);
    helpers->setGeometry(kMargin + 680, y, 276, 104);
    return y + 112;
}

int GalleryWindow::addPanels(int y) {
    y = addTitle("TMyPanel 面板 · TMyRgnFrm 按图形裁剪的面板", y);
    const char* names[] = {"ps3DButtonUp", "ps3DButtonDown", "ps3DFrame", "ps3DPanel", "psNormal"};
    for (int i = 0; i < 5; ++i) {
        auto* p = new TMyPanel(this);
        p->setGeometry(kMargin + i * 136, y, 128, 48);
        p->SetPanelShape(static_cast<TPanelShape>(i));
        p->SetBevelWidth(3);
        p->SetBevelInner(bvRaised);
        p->SetColor(0x806040);
        p->SetColorHighlight(0xF0D0B0);
        p->SetColorShadow(0x402010);
        p->SetFont(makeFont("文泉驿微米黑", 9, core::clWhite));
        p->SetCaption(names[i]);
    }
    auto* shaped = new QWidget(this);
    shaped->setGeometry(kMargin + 700, y - 6, 180, 60);
    auto* picture = new QLabel(shaped);
    picture->setPixmap(QPixmap::fromImage(ShapedPlate(180, 60)));
    picture->setGeometry(0, 0, 180, 60);
    auto* region = new TMyRgnFrm(this);
    region->SetPanel(shaped);
    region->Setimg(picture);
    region->SetTransparentColor(core::clBlue);
    region->SetVisible(true);
    note(this, "蓝色为透明色", kMargin + 890, y + 16, 80);
    return y + 58;
}

int GalleryWindow::addShapes(int y) {
    y = addTitle("TMyShape 图形控件：35 种图形（编辑把手、框）", y);
    const QStringList& names = ShapeDisplayNames();
    const char* captions[kShapeKindCount] = {"文字",      "输入",
                                             "K1",        "线",
                                             "S1",        "S2",
                                             "一,二,三",  "上,下",
                                             "L1",        "R1",
                                             "C1",        "D1",
                                             "A,B,C",     "",
                                             "1,2,3,4,5", "圆",
                                             "0.6",       "3:25:40",
                                             "90:0:0",    "",
                                             "线",        "3,4",
                                             "",          "",
                                             "",          "",
                                             "",          "",
                                             "",          "",
                                             "",          "灯,220V",
                                             "",          "应 用,第二行,第三行",
                                             "1200,2000"};
    for (int k = 0; k < kShapeKindCount; ++k) {
        const int col = k % 12;
        const int row = k / 12;
        auto* s = new TMyShape(this);
        s->setGeometry(kMargin + col * 80, y + row * 96, 64, 64);
        s->SetDrawShape(static_cast<TDrawShape>(k));
        s->SetCaption(captions[k]);
        s->SetColor(0x40C0FF);
        s->SetPenWidth(2);
        s->SetFrameWidth(3);
        s->SetShowFrame(true);
        s->sID = "A,B";
        s->SetShowDot(k == dsLine || k == dsResistance || k == dsRectangle || k == dsArrow);
        s->SetDrawDirection(k == dsTriLine ? ddRight : ddUp);
        if (k == dsText) {
            s->SetbkTransParent(false);
            s->SetColor(0x3050A0);
        }
        if (k == dsMultText) s->SetEditting(true);
        note(this, names[k], kMargin + col * 80, y + row * 96 + 68, 78);
    }
    return y + 3 * 96;
}

}  // namespace pelvano::gallery
