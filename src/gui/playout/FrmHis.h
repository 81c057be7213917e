#pragma once
// TFrmHis: the play-process log window ("详细播放过程记录"). Its memo mmHis shows the lines of
// the station's LogWindowModel (which clears itself past 500 lines); "清除" in the memo's menu
// clears it. Log messages are kept from the end of Station::start() on, where this window's
// creation stands in the start-up. Its size and position are read at creation and written
// whenever it is resized. UI thread only.
#include <QWidget>

#include "core/playout/PlayProcessLog.h"

class QPlainTextEdit;

namespace pelvano::core {
class Station;
}

namespace pelvano::gui {

struct AppContext;

class TFrmHis : public QWidget, public core::PlayLogView {
    Q_OBJECT
  public:
    static constexpr int kDesignClientWidth = 640;
    static constexpr int kDesignClientHeight = 360;

    explicit TFrmHis(AppContext& app);
    explicit TFrmHis(core::Station& station, QWidget* parent = nullptr);
    ~TFrmHis() override;

    QPlainTextEdit* mmHis() const { return mmHis_; }
    // The memo's "清除".
    void clearLog();

    void appendLine(const std::string& gbkLine) override;
    void clear() override;

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    void writeGeometryKeys();

    core::Station& station_;
    QPlainTextEdit* mmHis_ = nullptr;
    QSize placedSize_;
};

}  // namespace pelvano::gui
