#pragma once
// TMyNewFrmRgn: owns one TFrmNewtmpl and exposes it through properties. UI thread only.
#include <QObject>
#include <functional>
#include <memory>

#include "gui/controls/FrmNewtmpl.h"

namespace pelvano::gui {

class TMyNewFrmRgn : public QObject {
    Q_OBJECT
  public:
    explicit TMyNewFrmRgn(QObject* parent = nullptr);
    ~TMyNewFrmRgn() override;

    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor c);
    TFrmNewtmpl* From() const { return form_.get(); }
    bool Visible() const { return form_->isVisible(); }
    void SetVisible(bool v) { form_->setVisible(v); }
    bool Movable() const { return form_->Movable; }
    void SetMovable(bool v) { form_->Movable = v; }
    int PosX() const { return form_->x(); }
    void SetPosX(int v) { form_->move(v, form_->y()); }
    int PosY() const { return form_->y(); }
    void SetPosY(int v) { form_->move(form_->x(), v); }
    QString FileName() const { return fileName_; }
    // Loads an existing picture file (trimmed name) and reshapes the window.
    void SetFileName(const QString& f);

    std::function<void(int, int)> OnAfterMove;
    std::function<void(TFrmNewtmpl*, Qt::KeyboardModifiers, int, int)> OnMoving;

  private:
    std::unique_ptr<TFrmNewtmpl> form_;
    TColor transparentColor_ = 0;
    QString fileName_;
};

}  // namespace pelvano::gui
