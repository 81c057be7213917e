#include "gui/controls/MyNewFrmRgn.h"

#include <QFileInfo>
#include <QImageReader>

namespace pelvano::gui {

TMyNewFrmRgn::TMyNewFrmRgn(QObject* parent)
    : QObject(parent), form_(std::make_unique<TFrmNewtmpl>()) {
    form_->hide();
    form_->Movable = true;
    form_->move(20, 20);
    form_->OnAfterMove = [this](int x, int y) {
        if (OnAfterMove) OnAfterMove(x, y);
    };
    form_->OnMoving = [this](TFrmNewtmpl* f, Qt::KeyboardModifiers m, int x, int y) {
        if (OnMoving) OnMoving(f, m, x, y);
    };
}

TMyNewFrmRgn::~TMyNewFrmRgn() = default;

void TMyNewFrmRgn::SetTransparentColor(TColor c) {
    transparentColor_ = c;
    form_->SetTransparentColor(c);
}

void TMyNewFrmRgn::SetFileName(const QString& f) {
    const QString name = f.trimmed();
    if (name == fileName_) return;
    fileName_ = name;
    if (!QFileInfo::exists(name)) return;
    const QImage picture = QImageReader(name).read();
    if (!picture.isNull()) form_->SetPicture(picture);
}

}  // namespace pelvano::gui
