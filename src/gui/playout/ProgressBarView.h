#pragma once
// A gradient progress bar as the view of a schedule load or save (the player's PB4); with
// showWhileBusy the bar appears at the start and goes at the end. UI thread.
#include <algorithm>

#include "core/schedule/ScheduleFile.h"
#include "gui/controls/MyProgressBarNew.h"

namespace pelvano::gui {

class ProgressBarView final : public core::ScheduleProgressView {
  public:
    explicit ProgressBarView(TMyProgressBarNew& bar, bool showWhileBusy = false)
        : bar_(bar), showWhileBusy_(showWhileBusy) {}
    void beginProgress(int maximum, const std::string& suffix) override {
        if (showWhileBusy_) bar_.show();
        bar_.SetMin(0);
        bar_.SetMax(std::max(1, maximum));
        bar_.SetPosition(0);
        bar_.SetPosTextSuffix(GbkToQString(suffix));
    }
    void setProgress(int position) override { bar_.SetPosition(position); }
    void endProgress(const std::string& suffix) override {
        bar_.SetPosTextSuffix(GbkToQString(suffix));
        if (showWhileBusy_) bar_.hide();
    }
    void setInputEnabled(bool) override {}

  private:
    TMyProgressBarNew& bar_;
    bool showWhileBusy_;
};

}  // namespace pelvano::gui
