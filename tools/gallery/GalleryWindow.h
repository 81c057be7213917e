#pragma once
// The gallery window: every skinned control laid out in its states, on one scrollable page.
#include <QWidget>

namespace pelvano::gallery {

class GalleryWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GalleryWindow(QWidget* parent = nullptr);

  private:
    int addTitle(const QString& text, int y);
    int addRoundButtons(int y);
    int addTransparentButtons(int y);
    int addBarsMetersTrackers(int y);
    int addPanels(int y);
    int addShapes(int y);
};

}  // namespace pelvano::gallery
