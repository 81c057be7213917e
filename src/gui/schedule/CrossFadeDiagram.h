#pragma once
// The settings window's picture of a cross-fade: the volume of the current item falling and of
// the next item rising over time, with the lengths of fade-out, cross-fade and fade-in as set.
// UI thread only.
#include <QWidget>

namespace pelvano::gui {

class CrossFadeDiagram : public QWidget {
    Q_OBJECT
  public:
    explicit CrossFadeDiagram(QWidget* parent = nullptr);
    // Seconds, as in the spin edits.
    void setLengths(int fadeOut, int crossFade, int fadeIn);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    int fadeOut_ = 59;
    int cross_ = 3;
    int fadeIn_ = 5;
};

}  // namespace pelvano::gui
