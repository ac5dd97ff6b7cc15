#include "display/CompanionPainter.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

// The focus point is drawn only when it lies farther than this from the player (metres).
constexpr double kLeastFocusDistance = 0.05;
constexpr double kDegreesToRadians = 3.1415926538 / 180.0;

// One tile as an XPM file Qt's reader takes.
QByteArray xpmFile(const LogoTile& tile) {
    QByteArray text = "/* XPM */\nstatic const char* tile[] = {\n";
    for (const std::string& line : tile.xpm) {
        text += '"';
        text += QByteArray(line.data(), static_cast<qsizetype>(line.size()));
        text += "\",\n";
    }
    text += "};\n";
    return text;
}

}  // namespace

QRect cardMarkBox(int sx, int sy, int r) {
    const int width = std::max(3, r / 2);
    const int height = std::max(4, (r * 3) / 4);
    return QRect(sx - r - width - 1, sy - r, width, height);
}

void drawCardMark(QPainter& painter, int sx, int sy, int r, Card card) {
    if (card == Card::None) return;
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(card == Card::Red ? kRedCardColour : kYellowCardColour);
    const QRect box = cardMarkBox(sx, sy, r);
    // The outline's right and bottom edges lie inside the box, as QRect counts them.
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.restore();
}

void drawAttention(QPainter& painter, const FieldView& view, const FieldScene& scene, int index) {
    if (!scene.showCurrent() || !scene.current->companion || index < 0 || index >= kPlayerCount) return;
    const PlayerCompanion& extra = scene.current->companion->players[static_cast<std::size_t>(index)];
    const PlayerState& p = scene.state.player[static_cast<std::size_t>(index)];
    const QPoint at(view.pixelX(p.x), view.pixelY(p.y));
    painter.save();
    painter.setPen(QPen(kAttentionColour, 0));
    painter.setBrush(Qt::NoBrush);
    if (extra.attentionSide != 0 && extra.attentionUnum >= 1 && extra.attentionUnum <= kPlayersPerSide) {
        const int target = extra.attentionUnum - 1 + (extra.attentionSide == 'r' ? kPlayersPerSide : 0);
        const PlayerState& t = scene.state.player[static_cast<std::size_t>(target)];
        if (t.mode != 0 && target != index) painter.drawLine(at, QPoint(view.pixelX(t.x), view.pixelY(t.y)));
    }
    if (extra.has(PlayerCompanion::kFocusPoint) && extra.focusDist > kLeastFocusDistance) {
        // The focus point lies at its distance in the direction of the face turned by its angle.
        const double direction = p.body_angle + p.neck_angle + extra.focusDir * kDegreesToRadians;
        const int fx = view.pixelX(p.x + extra.focusDist * std::cos(direction));
        const int fy = view.pixelY(p.y + extra.focusDist * std::sin(direction));
        const int arm = 3;
        painter.drawLine(QPoint(fx - arm, fy - arm), QPoint(fx + arm, fy + arm));
        painter.drawLine(QPoint(fx - arm, fy + arm), QPoint(fx + arm, fy - arm));
    }
    painter.restore();
}

QImage composeLogo(const std::vector<LogoTile>& tiles) {
    QImage logo(kLogoWidth, kLogoHeight, QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::transparent);
    QRect used;
    QPainter painter(&logo);
    for (const LogoTile& tile : tiles) {
        QImage image;
        if (!image.loadFromData(xpmFile(tile), "XPM")) continue;
        const QPoint at(tile.x * kLogoTileStep, tile.y * kLogoTileStep);
        painter.drawImage(at, image);
        used = used.united(QRect(at, image.size()));
    }
    painter.end();
    // Only the part the tiles cover: a logo of a few tiles is drawn at their size.
    return used.isEmpty() ? QImage() : logo.copy(used.intersected(logo.rect()));
}

const std::array<QImage, 2>& TeamLogoCache::images(const std::shared_ptr<const TeamLogos>& logos) {
    if (logos != source_) {
        source_ = logos;
        for (std::size_t side = 0; side < 2; ++side) {
            images_[side] = logos ? composeLogo(logos->tiles[side]) : QImage();
        }
    }
    return images_;
}

std::array<QRect, 2> drawTeamLogos(QPainter& painter, const FieldView& view, const HeaderLayout& header,
                                   const std::array<QImage, 2>& logos) {
    std::array<QRect, 2> drawn;
    const int top = view.pixelY(-44.0);
    const int band = std::max(0, view.pixelY(-34.0) - top);
    const int gap = std::max(1, view.pixels(0.5));
    for (std::size_t side = 0; side < 2; ++side) {
        const QImage& logo = logos[side];
        const HeaderItem& name = header[side == 0 ? kLeftName : kRightName];
        if (logo.isNull() || name.box.isEmpty()) continue;
        // The room between the name and the play mode (left) or the cycle (right).
        const HeaderItem& middle = header[side == 0 ? kPlayMode : kTime];
        const int from = side == 0 ? name.box.right() + 1 + gap
                                   : (middle.box.isEmpty() ? view.pixelX(2.0) : middle.box.right() + 1) + gap;
        const int to =
            side == 0 ? (middle.box.isEmpty() ? view.pixelX(-2.0) : middle.box.left()) - gap : name.box.left() - gap;
        int height = (band * 3) / 5;
        int width = height * logo.width() / logo.height();
        if (width > to - from) {
            width = std::max(0, to - from);
            height = width * logo.height() / logo.width();
        }
        if (height < 4) continue;
        const int x = side == 0 ? from : to - width;
        const QRect box(x, top + (band - height) / 2, width, height);
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(box, logo);
        painter.restore();
        drawn[side] = box;
    }
    return drawn;
}

}  // namespace tessarin
