#pragma once

// Small drawings that come back paint after paint (a text in a colour, a circle of a
// radius and colour) kept drawn into images with an alpha channel, so that drawing one
// again costs one blit: the raster engine blends a glyph or strokes a curve several
// times slower than it copies the same pixels from an image. Keyed by what the drawing
// depends on; bounded by the bytes of its images.

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QString>
#include <functional>

class QPainter;

namespace tessarin {

class SpriteCache final {
public:
    struct Key {
        char kind = 0;  // what the drawing is; the caller's letter
        int size = 0;   // a radius, a font's pixel size...
        QRgb colour = 0;
        QString text;
        bool operator==(const Key&) const = default;
    };

    // A drawing in an image, and where the image goes from the point the drawing is placed at.
    struct Sprite {
        QImage image;
        QPoint offset;
    };
    // Draws a drawing placed at the origin of the painter.
    using Draw = std::function<void(QPainter&)>;

    // The sprite for `key`, drawn by `draw` when it is not held yet, of the pixels in
    // `bounds` about the drawing's point (all that `draw` may touch); null when the cache
    // is full or `bounds` empty (the caller then draws without it).
    const Sprite* find(const Key& key, const QRect& bounds, const Draw& draw);
    // The sprite for `key` when it is held; null otherwise.
    const Sprite* held(const Key& key) const;
    // Forgets every sprite when the cache refused one since the last trim, so that a cache
    // filled by a cycle of many distinct drawings starts empty for the next cycle rather
    // than refusing it too. Called between cycles, never within a paint.
    void trim();
    void clear();
    // Whether a sprite was refused since the last trim: the cache is full.
    bool refusing() const { return refused_; }
    qsizetype size() const { return sprites_.size(); }
    qint64 bytes() const { return bytes_; }

    static constexpr qint64 kMostBytes = 16 * 1024 * 1024;

private:
    friend size_t qHash(const Key& key, size_t seed) noexcept {
        return qHashMulti(seed, key.kind, key.size, key.colour, key.text);
    }

    QHash<Key, Sprite> sprites_;
    qint64 bytes_ = 0;
    bool refused_ = false;
};

}  // namespace tessarin
