#include "gui/schedule/CloseRefusal.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace pelvano::gui {

namespace {

bool quitting = false;

// Sees the quit event before the application handles it (and asks the windows to close).
class QuitWatch final : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == QCoreApplication::instance() && e->type() == QEvent::Quit) {
            quitting = true;
            // A quit that some other window cancels leaves the refusal as it was.
            QTimer::singleShot(0, QCoreApplication::instance(), [] { quitting = false; });
        }
        return false;
    }
};

}  // namespace

void WatchApplicationQuit() {
    static QPointer<QObject> watch;  // deleted with its application
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || watch) return;
    watch = new QuitWatch(app);
    app->installEventFilter(watch);
}

bool ApplicationQuitting() {
    return quitting;
}

}  // namespace pelvano::gui
