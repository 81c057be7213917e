#pragma once
// TMyPanel: a panel with shaded frame looks, corner pictures and an aligned caption.
// UI thread only.
#include <QImage>
#include <QWidget>
#include <vector>

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

    TBevelStyle BevelInner = bvNone;
    TBevelStyle BevelOuter = bvRaised;
    int BevelWidth = 1;
    int BorderWidth = 0;
    QString Caption;
    TColor Color = clBtnFace;
    core::FontRecord Font;
    TAlignment AlignmentHorz = TAlignment::taCenter;
    TAlignmentVert AlignmentVert = tavCenter;
    TColor ColorHighlight = clBtnHighlight;
    TColor ColorShadow = clBtnShadow;
    QImage EdgeTopLeft, EdgeTopRight, EdgeBottomLeft, EdgeBottomRight;
    bool EdgesTransparent = true;
    TColor TransparentColor = core::clWhite;
    TPanelShape PanelShape = ps3DButtonUp;

    QImage Render() const;

  protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace pelvano::gui
