#include "gui/tags/TagWindowSetup.h"

#include <QMessageBox>

namespace pelvano::gui {

void ShowTagMessage(QWidget* parent, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, QString(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName("tagMessage");
    box->open();
}

}  // namespace pelvano::gui
