#pragma once
// TvelTracker: a slider with a track, a thumb that can show the value and a tiled picture
// background. Dragging fires onChangedValue on every move. UI thread only.
#include <QImage>
#include <QWidget>
#include <functional>

#include "gui/controls/ControlEvents.h"
#include "gui/controls/TrackerGeometry.h"

namespace pelvano::gui {

class TvelTracker : public QWidget {
    Q_OBJECT
  public:
    explicit TvelTracker(QWidget* parent = nullptr);

    int Minimum() const { return minimum_; }
    void SetMinimum(int v);  // refused unless below Maximum
    int Maximum() const { return maximum_; }
    void SetMaximum(int v);  // refused unless above Minimum
    int Value() const { return value_; }
    void SetValue(int v);  // ignored outside Minimum…Maximum; no onChangedValue
    TjtbOrientation Orientation() const { return sizes_.orientation; }
    void SetOrientation(TjtbOrientation v);
    const QImage& BackBitmap() const { return backBitmap_; }
    void SetBackBitmap(const QImage& v);
    int ThumbWidth() const { return sizes_.ThumbWidth; }
    void SetThumbWidth(int v);  // refused when not below the control's height
    int ThumbHeight() const { return sizes_.ThumbHeight; }
    void SetThumbHeight(int v);  // refused when not below the control's height
    int TrackHeight() const { return sizes_.TrackHeight; }
    void SetTrackHeight(int v);  // refused when not below the control's thickness

    // Colours and switches of the look: each setter stores and repaints.
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor v) { StoreAndRepaint(*this, backColor_, v); }
    bool BackBorder() const { return backBorder_; }
    void SetBackBorder(bool v) { StoreAndRepaint(*this, backBorder_, v); }
    TColor TrackColor() const { return trackColor_; }
    void SetTrackColor(TColor v) { StoreAndRepaint(*this, trackColor_, v); }
    bool TrackPositionColor() const { return trackPositionColor_; }
    void SetTrackPositionColor(bool v) { StoreAndRepaint(*this, trackPositionColor_, v); }
    bool TrackBorder() const { return trackBorder_; }
    void SetTrackBorder(bool v) { StoreAndRepaint(*this, trackBorder_, v); }
    TColor ThumbColor() const { return thumbColor_; }
    void SetThumbColor(TColor v) { StoreAndRepaint(*this, thumbColor_, v); }
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool v) { StoreAndRepaint(*this, showCaption_, v); }
    TColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(TColor v) { StoreAndRepaint(*this, captionColor_, v); }
    bool CaptionBold() const { return captionBold_; }
    void SetCaptionBold(bool v) { StoreAndRepaint(*this, captionBold_, v); }
    TColor BorderColor = core::clBlack;  // only stored: shown at the next repaint
    bool ThumbBorder = false;  // kept for stored forms; the thumb always has its raised outline

    std::function<void(TvelTracker*, int)> onChangedValue;

    TrackerGeometry Geometry() const;
    Edges Thumb() const { return ThumbRect(sizes(), thumb_); }
    int ThumbCentre() const { return thumb_; }
    QImage Render();

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    TrackerSizes sizes() const;
    void placeThumb();
    void dragTo(int p);

    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
    TrackerSizes sizes_;
    QImage backBitmap_;
    int thumb_ = 0;
    bool dragging_ = false;
    TColor backColor_ = core::clSilver;
    bool backBorder_ = false;
    TColor trackColor_ = core::clGray;
    bool trackPositionColor_ = false;
    bool trackBorder_ = true;
    TColor thumbColor_ = core::clSilver;
    bool showCaption_ = true;
    TColor captionColor_ = core::clBlack;
    bool captionBold_ = false;
};

}  // namespace pelvano::gui
