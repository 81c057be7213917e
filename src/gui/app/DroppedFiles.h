#pragma once
// The local files and folders of a drop from the desktop's file manager (its file URLs), as
// native paths: the bytes of the names, whatever their encoding; other URLs are left out.
// UI thread.
#include <QMimeData>
#include <QStringList>
#include <QUrl>
#include <string>
#include <vector>

namespace pelvano::gui {

using NativePaths = std::vector<std::string>;

inline NativePaths LocalFilesOf(const QMimeData* mime) {
    NativePaths paths;
    if (!mime) return paths;
    for (const QUrl& url : mime->urls()) {
        // The encoded path decodes to every byte of the name; toLocalFile() would turn the bytes
        // of a name that is not UTF-8 (GBK from Windows) into U+FFFD.
        if (url.isLocalFile())
            paths.push_back(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())
                                .toStdString());
    }
    return paths;
}

// Paths Qt has as text (a file dialog's, a test's): their UTF-8 bytes.
inline NativePaths NativePathsOf(const QStringList& names) {
    NativePaths paths;
    for (const QString& name : names) paths.push_back(name.toStdString());
    return paths;
}

}  // namespace pelvano::gui
