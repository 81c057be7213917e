#pragma once
// Two small pieces of the player window: the rounded frame Shape1 around the progress bar, and
// the paint boxes that draw the level envelope of one analysis channel. UI thread only.
#include <QColor>
#include <QWidget>
#include <utility>

namespace pelvano::core {
class LevelMeters;
}

namespace pelvano::gui {

// A rounded rectangle outline in its pen colour, nothing inside.
class RoundedFrame : public QWidget {
    Q_OBJECT
  public:
    explicit RoundedFrame(QWidget* parent);
    void setPenColour(const QColor& c);
    QColor penColour() const { return pen_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QColor pen_ = Qt::black;
};

// The span of the vertical line of one envelope column: y from (255 − max) × height >> 8 to
// (255 − min) × height >> 8.
std::pair<int, int> EnvelopeSpan(int columnMax, int columnMin, int height);

// paintboxLeft / paintboxRight: a grey border and, once an analysis exists, one vertical line
// per column of its analysis channel. A channel the analysis lacks (mono) draws no lines.
class LevelPaintBox : public QWidget {
    Q_OBJECT
  public:
    LevelPaintBox(QWidget* parent, const core::LevelMeters& meters, int analysisChannel,
                  QColor ink);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const core::LevelMeters& meters_;
    int channel_;
    QColor ink_;
};

}  // namespace pelvano::gui
