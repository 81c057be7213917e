#pragma once
// TMyPanel: a panel with shaded frame looks, corner pictures and an aligned caption.
// UI thread only.
#include <QImage>
#include <QWidget>
#include <vector>

#include "gui/controls/ControlEvents.h"
#include "gui/controls/ProgressBarLook.h"

namespace pelvano::gui {

enum TPanelShape { ps3DButtonUp, ps3DButtonDown, ps3DFrame, ps3DPanel, psNormal };
// Scoped: the shape control has a taCenter of its own.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TAlignmentVert { tavTop, tavCenter, tavBottom };

// A line that leaves out its end point.
struct PanelSegment {
    int x1, y1, x2, y2;
    TColor colour;
};
// The lines of a shaded frame look (not psNormal) for a panel of w × h with frame depth k.
std::vector<PanelSegment> PanelFrameSegments(TPanelShape shape, int w, int h, int k,
                                             TColor highlight, TColor shadow);
// Frame depth: the widths of the bevels that are set, at least 2.
int PanelFrameDepth(TBevelStyle outer, TBevelStyle inner, int bevelWidth);

class TMyPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TMyPanel(QWidget* parent = nullptr);

    // Each setter stores a changed value and repaints.
    TBevelStyle BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelStyle v) { StoreAndRepaint(*this, bevelInner_, v); }
    TBevelStyle BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelStyle v) { StoreAndRepaint(*this, bevelOuter_, v); }
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v) { StoreAndRepaint(*this, bevelWidth_, v); }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v) { StoreAndRepaint(*this, borderWidth_, v); }
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& v) { StoreAndRepaint(*this, caption_, v); }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { StoreAndRepaint(*this, color_, v); }
    const core::FontRecord& Font() const { return font_; }
    void SetFont(const core::FontRecord& v) { StoreAndRepaint(*this, font_, v); }
    TAlignment AlignmentHorz() const { return alignmentHorz_; }
    void SetAlignmentHorz(TAlignment v) { StoreAndRepaint(*this, alignmentHorz_, v); }
    TAlignmentVert AlignmentVert() const { return alignmentVert_; }
    void SetAlignmentVert(TAlignmentVert v) { StoreAndRepaint(*this, alignmentVert_, v); }
    TColor ColorHighlight() const { return colorHighlight_; }
    void SetColorHighlight(TColor v) { StoreAndRepaint(*this, colorHighlight_, v); }
    TColor ColorShadow() const { return colorShadow_; }
    void SetColorShadow(TColor v) { StoreAndRepaint(*this, colorShadow_, v); }
    const QImage& EdgeTopLeft() const { return edgeTopLeft_; }
    void SetEdgeTopLeft(const QImage& v) { StoreAndRepaint(*this, edgeTopLeft_, v); }
    const QImage& EdgeTopRight() const { return edgeTopRight_; }
    void SetEdgeTopRight(const QImage& v) { StoreAndRepaint(*this, edgeTopRight_, v); }
    const QImage& EdgeBottomLeft() const { return edgeBottomLeft_; }
    void SetEdgeBottomLeft(const QImage& v) { StoreAndRepaint(*this, edgeBottomLeft_, v); }
    const QImage& EdgeBottomRight() const { return edgeBottomRight_; }
    void SetEdgeBottomRight(const QImage& v) { StoreAndRepaint(*this, edgeBottomRight_, v); }
    bool EdgesTransparent() const { return edgesTransparent_; }
    void SetEdgesTransparent(bool v) { StoreAndRepaint(*this, edgesTransparent_, v); }
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor v) { StoreAndRepaint(*this, transparentColor_, v); }
    TPanelShape PanelShape() const { return panelShape_; }
    void SetPanelShape(TPanelShape v) { StoreAndRepaint(*this, panelShape_, v); }

    QImage Render() const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    TBevelStyle bevelInner_ = bvNone;
    TBevelStyle bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    QString caption_;
    TColor color_ = clBtnFace;
    core::FontRecord font_;
    TAlignment alignmentHorz_ = TAlignment::taCenter;
    TAlignmentVert alignmentVert_ = tavCenter;
    TColor colorHighlight_ = clBtnHighlight;
    TColor colorShadow_ = clBtnShadow;
    QImage edgeTopLeft_;
    QImage edgeTopRight_;
    QImage edgeBottomLeft_;
    QImage edgeBottomRight_;
    bool edgesTransparent_ = true;
    TColor transparentColor_ = core::clWhite;
    TPanelShape panelShape_ = ps3DButtonUp;
};

}  // namespace pelvano::gui
