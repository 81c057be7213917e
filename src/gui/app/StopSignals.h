#pragma once
// SIGTERM (a service manager's or a session's stop), SIGINT and SIGHUP become a call on the UI
// thread, so the player closes as when its window is closed, its keys written. The handler
// only writes a byte to a pipe; the UI loop reads it. One instance per program.
#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace pelvano::gui {

class StopSignals final : public QObject {
    Q_OBJECT
  public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals() override;

  private:
    std::function<void()> onStop_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace pelvano::gui
