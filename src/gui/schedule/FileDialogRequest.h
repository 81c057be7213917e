#pragma once
// A file dialog as the windows ask for it: its kind, title, start folder, proposed name and
// filter. Windows run it through a replaceable function, so tests answer it without a dialog.
// UI thread only.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace pelvano::gui {

struct FileDialogRequest {
    enum Kind { OpenExisting, OpenMany, Save };
    Kind kind = OpenExisting;
    QString title;
    QString folder;
    QString fileName;  // proposed, may be empty
    QString filter;    // Qt form: "description (patterns);;description (patterns)"
};

// The chosen paths; empty when the user cancelled.
using FileDialogRunner = std::function<QStringList(const FileDialogRequest&)>;

// The platform's file dialog.
QStringList RunFileDialog(QWidget* parent, const FileDialogRequest& request);

}  // namespace pelvano::gui
