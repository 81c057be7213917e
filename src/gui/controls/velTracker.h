#pragma once
// TvelTracker: a slider with a track, a thumb that can show the value and a tiled picture
// background. Dragging fires onChangedValue on every move. UI thread only.
#include <QImage>
#include <QWidget>
#include <functional>

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

    TColor BackColor = core::clSilver;
    bool BackBorder = false;
    TColor TrackColor = core::clGray;
    bool TrackPositionColor = false;
    bool TrackBorder = true;
    TColor BorderColor = core::clBlack;
    TColor ThumbColor = core::clSilver;
    bool ThumbBorder = false;  // kept for stored forms; the thumb always has its raised outline
    bool ShowCaption = true;
    TColor CaptionColor = core::clBlack;
    bool CaptionBold = false;

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
};

}  // namespace pelvano::gui
