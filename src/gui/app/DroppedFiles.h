#pragma once
// The local files and folders of a drop from the desktop's file manager (its file URLs), as
// native paths; other URLs are left out. UI thread.
#include <QMimeData>
#include <QStringList>
#include <QUrl>

namespace pelvano::gui {

inline QStringList LocalFilesOf(const QMimeData* mime) {
    QStringList names;
    if (!mime) return names;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) names << url.toLocalFile();
    return names;
}

}  // namespace pelvano::gui
