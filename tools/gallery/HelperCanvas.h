#pragma once
// A canvas showing the skin drawing helpers: gradient band, ridge lines, effect and fitted text.
#include <QWidget>

namespace pelvano::gallery {

class HelperCanvas : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace pelvano::gallery
