#pragma once
// TMyRgnFrm: shapes a panel after a picture shown in an image label; the picture's pixels of
// TransparentColor are cut away for drawing and for the mouse. UI thread only.
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

class TMyRgnFrm : public QObject {
    Q_OBJECT
  public:
    explicit TMyRgnFrm(QObject* parent = nullptr) : QObject(parent) {}

    int X() const { return x_; }
    void SetX(int v);
    int Y() const { return y_; }
    void SetY(int v);
    QWidget* Panel() const { return panel_; }
    void SetPanel(QWidget* p);  // X and Y take the panel's position
    QLabel* img() const { return img_; }
    void Setimg(QLabel* i);  // the panel takes the picture's size
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor c);  // always rebuilds the shape
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    QString FileName() const { return fileName_; }
    // Loads an existing picture file (trimmed name) into the image and reshapes the panel.
    void SetFileName(const QString& f);

    const QRegion& Shape() const { return shape_; }
    int RebuildCount() const { return rebuildCount_; }

  private:
    void rebuild();

    int x_ = 0;
    int y_ = 0;
    QPointer<QWidget> panel_;
    QPointer<QLabel> img_;
    TColor transparentColor_ = core::clWhite;
    bool visible_ = false;
    QString fileName_;
    QRegion shape_;
    int rebuildCount_ = 0;
};

// The picture an image label shows, as an image (null when it shows none).
QImage LabelPicture(const QLabel* label);

}  // namespace pelvano::gui
