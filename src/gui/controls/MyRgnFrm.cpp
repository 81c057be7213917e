#include "gui/controls/MyRgnFrm.h"

#include <QFileInfo>
#include <QImageReader>

#include "gui/controls/PictureShape.h"

namespace pelvano::gui {

QImage LabelPicture(const QLabel* label) {
    if (!label) return {};
    return label->pixmap().toImage();
}

void TMyRgnFrm::SetX(int v) {
    x_ = v;
    if (panel_) panel_->move(x_, y_);
}

void TMyRgnFrm::SetY(int v) {
    y_ = v;
    if (panel_) panel_->move(x_, y_);
}

void TMyRgnFrm::SetPanel(QWidget* p) {
    panel_ = p;
    if (!p) return;
    x_ = p->x();
    y_ = p->y();
}

void TMyRgnFrm::Setimg(QLabel* i) {
    img_ = i;
    if (i && panel_) panel_->resize(i->size());
}

void TMyRgnFrm::SetTransparentColor(TColor c) {
    transparentColor_ = c;
    rebuild();
}

void TMyRgnFrm::SetVisible(bool v) {
    visible_ = v;
    if (panel_) panel_->setVisible(v);
}

void TMyRgnFrm::SetFileName(const QString& f) {
    const QString name = f.trimmed();
    if (name == fileName_) return;
    fileName_ = name;
    if (!QFileInfo::exists(name) || !panel_ || !img_) return;
    const QImage picture = QImageReader(name).read();
    if (picture.isNull()) return;
    img_->setPixmap(QPixmap::fromImage(picture));
    img_->resize(picture.size());
    panel_->resize(picture.size());
    rebuild();
}

void TMyRgnFrm::rebuild() {
    shape_ = QRegion();
    if (!panel_ || !img_) return;
    ++rebuildCount_;
    shape_ = ShapeRegion(LabelPicture(img_), transparentColor_);
    if (!shape_.isEmpty()) panel_->setMask(shape_);
}

}  // namespace pelvano::gui
