#pragma once

// Short texts that come back paint after paint (player numbers, speeds, confidences,
// the header) kept laid out as QStaticText, so that drawing one costs the blits of its
// glyphs and no text layout. Keyed by the font and the text; the colour is the painter's
// pen at the time of drawing. Bounded: when full it starts again empty, since a paint
// draws a few dozen texts and most of them repeat from the paint before.

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <QString>

namespace tessarin {

class StaticTextCache final {
public:
    // Draws `text` in the painter's font and pen with the top-left of its line at (x, y),
    // where QPainter::drawText(QRect(x, y, 0, 0), Qt::AlignLeft | Qt::AlignTop |
    // Qt::TextDontClip, text) puts it.
    void draw(QPainter& painter, int x, int y, const QString& text);
    void clear() { texts_.clear(); }
    qsizetype size() const { return texts_.size(); }

    static constexpr qsizetype kCapacity = 512;

private:
    // The display's fonts differ in face and size only; QFont::key() would spell out every
    // attribute of the font on each lookup.
    struct Key {
        QString family;
        int pixelSize = 0;
        QString text;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) noexcept {
        return qHashMulti(seed, key.family, key.pixelSize, key.text);
    }

    QHash<Key, QStaticText> texts_;
};

}  // namespace tessarin
