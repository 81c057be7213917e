#include "gui/app/PelvanoApplication.h"

namespace pelvano::gui {

PelvanoApplication::PelvanoApplication(int& argc, char** argv, bool showErrorBoxes)
    : QApplication(argc, argv), errors_(showErrorBoxes) {}

bool PelvanoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        errors_.reportCurrentException();
        return false;
    }
}

}  // namespace pelvano::gui
