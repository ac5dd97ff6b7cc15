#include "files/DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

namespace tessarin {

QStringList localPaths(const QMimeData* mime) {
    QStringList paths;
    if (!mime) return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    return paths;
}

}  // namespace tessarin
