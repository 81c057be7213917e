#include "gui/schedule/FileDialogRequest.h"

#include <QDir>
#include <QFileDialog>

namespace pelvano::gui {

QStringList RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    switch (request.kind) {
        case FileDialogRequest::OpenExisting:
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileDialogRequest::OpenMany:
            dialog.setFileMode(QFileDialog::ExistingFiles);
            break;
        case FileDialogRequest::Save:
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            break;
    }
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace pelvano::gui
