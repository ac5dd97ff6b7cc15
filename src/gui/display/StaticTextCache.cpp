#include "display/StaticTextCache.h"

namespace tessarin {

void StaticTextCache::draw(QPainter& painter, int x, int y, const QString& text) {
    if (text.isEmpty()) return;
    const QFont& font = painter.font();
    Key key{font.family(), font.pixelSize(), text};
    auto found = texts_.find(key);
    if (found == texts_.end()) {
        if (texts_.size() >= kCapacity) texts_.clear();
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        // Laid out for the painter's transform and font, so that the glyphs are placed as
        // drawText places them on this device.
        laidOut.prepare(painter.transform(), font);
        found = texts_.insert(std::move(key), std::move(laidOut));
    }
    painter.drawStaticText(x, y, *found);
}

}  // namespace tessarin
