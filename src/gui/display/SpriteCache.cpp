#include "display/SpriteCache.h"

#include <QPainter>

namespace tessarin {

const SpriteCache::Sprite* SpriteCache::find(const Key& key, const QRect& bounds, const Draw& draw) {
    if (const auto found = sprites_.constFind(key); found != sprites_.cend()) return &*found;
    const qint64 bytes = qint64{bounds.width()} * bounds.height() * 4;
    if (bounds.isEmpty()) return nullptr;
    if (bytes_ + bytes > kMostBytes) {
        refused_ = true;
        return nullptr;
    }
    Sprite sprite{QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied), bounds.topLeft()};
    if (sprite.image.isNull()) {
        refused_ = true;
        return nullptr;
    }
    sprite.image.fill(Qt::transparent);
    {
        QPainter painter(&sprite.image);
        painter.translate(-bounds.left(), -bounds.top());
        draw(painter);
    }
    bytes_ += bytes;
    return &*sprites_.insert(key, std::move(sprite));
}

const SpriteCache::Sprite* SpriteCache::held(const Key& key) const {
    const auto found = sprites_.constFind(key);
    return found != sprites_.cend() ? &*found : nullptr;
}

void SpriteCache::trim() {
    if (refused_) clear();
}

void SpriteCache::clear() {
    sprites_.clear();
    bytes_ = 0;
    refused_ = false;
}

}  // namespace tessarin
