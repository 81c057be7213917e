#pragma once
// TMyVolMeter: a column (or two) of LED segments showing a level on a decibel scale. Each level
// update draws only the segments that change. UI thread only.
#include "gui/controls/DrawBox.h"
#include "gui/controls/VolMeterScale.h"

namespace pelvano::gui {

class TMyVolMeter : public TDrawBox {
    Q_OBJECT
  public:
    explicit TMyVolMeter(QWidget* parent = nullptr);

    int levelMax() const { return levels_.levelMax; }
    void SetlevelMax(int v);  // below levelMin becomes levelMin + 1
    int levelMin() const { return levels_.levelMin; }
    void SetlevelMin(int v);  // above levelMax becomes levelMax − 1
    int levelHigh() const { return levels_.levelHigh; }
    void SetlevelHigh(int v);  // clamped into levelMin…levelMax
    int levelMed() const { return levels_.levelMed; }
    void SetlevelMed(int v);
    TColor colorHigh() const { return levels_.colorHigh; }
    void SetcolorHigh(TColor v);
    TColor colorMed() const { return levels_.colorMed; }
    void SetcolorMed(TColor v);
    TColor colorLow() const { return levels_.colorLow; }
    void SetcolorLow(TColor v);
    bool stereo() const { return levels_.stereo; }
    void Setstereo(bool v);
    int penWidth() const { return penWidth_; }
    void SetpenWidth(int v);
    float LeftPosition() const { return position_[0]; }
    void SetLeftPosition(float v);
    float RightPosition() const { return position_[1]; }
    void SetRightPosition(float v);  // shown only in stereo

    const MeterScale& Scale() const { return scale_; }
    int LitCount(int channel) const { return litCount_[channel]; }

  protected:
    void resized() override;
    void redrawContent() override;

  private:
    void recomputeScale();
    void drawSegment(int channel, int i, bool lit);
    void updateChannel(int channel, float v);

    MeterLevels levels_;
    MeterScale scale_;
    int penWidth_ = 2;
    float position_[2] = {0, 0};
    int litCount_[2] = {0, 0};
};

}  // namespace pelvano::gui
