#pragma once

// The local files of a drag-and-drop payload, shared by every window that takes dropped games.

#include <QStringList>

class QMimeData;

namespace tessarin {

// The local file paths among the payload's URLs; empty for none or no payload.
QStringList localPaths(const QMimeData* mime);

}  // namespace tessarin
