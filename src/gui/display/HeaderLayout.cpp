#include "display/HeaderLayout.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// How a text lies along the line from its pen position: its advance, and the ink that
// reaches out of it before (the overhang of a first glyph) and after (of a last one).
struct Span {
    int lead = 0;
    int advance = 0;
    int trail = 0;
    int extent() const { return lead + advance + trail; }
};

Span span(const QFont& font, const QString& text) {
    if (text.isEmpty()) return {};
    const QFontMetrics metrics(font);
    const QRect ink = metrics.boundingRect(text);
    const int advance = metrics.horizontalAdvance(text);
    return {std::max(0, -ink.left()), advance, std::max(0, ink.right() + 1 - advance)};
}

// Makes the text fit `room` pixels, ink included: the font set smaller step by step, and
// at the smallest size the text cut short (to nothing when not even an ellipsis fits).
Span fit(HeaderItem& item, int room) {
    room = std::max(0, room);
    Span taken = span(item.font, item.text);
    int size = item.font.pixelSize();
    while (taken.extent() > room && size > 1) {
        const double share = static_cast<double>(room) / taken.extent();
        size = std::clamp(static_cast<int>(std::floor(size * share)), 1, size - 1);
        item.font.setPixelSize(size);
        taken = span(item.font, item.text);
    }
    if (taken.extent() > room) {
        item.text = QFontMetrics(item.font).elidedText(item.text, Qt::ElideRight, room);
        taken = span(item.font, item.text);
        while (!item.text.isEmpty() && taken.extent() > room) {
            item.text.chop(1);
            taken = span(item.font, item.text);
        }
    }
    return taken;
}

}  // namespace

HeaderLayout layoutHeader(const FieldView& view, const DisplayFonts& fonts, const HeaderTexts& texts) {
    HeaderLayout items;
    items[kLeftScore] = {latin1(texts.leftScore), fonts.score, {}};
    items[kLeftName] = {latin1(texts.leftName), fonts.name, {}};
    items[kPlayMode] = {latin1(texts.playMode), fonts.mode, {}};
    items[kTime] = {latin1(texts.time), fonts.mode, {}};
    items[kRightName] = {latin1(texts.rightName), fonts.name, {}};
    items[kRightScore] = {latin1(texts.rightScore), fonts.score, {}};

    const int left = view.pixelX(-52.5);
    const int right = view.pixelX(52.5);
    const int modeEnd = view.pixelX(-2.0);
    const int timeStart = view.pixelX(2.0);
    const int band = std::max(0, right - left);
    // Half a metre between neighbours, at least a pixel.
    const int gap = std::max(1, view.pixels(0.5));
    std::array<int, kHeaderSlotCount> pen{};

    // The scores keep their places at the field's ends; they are short, and only a band
    // of a few pixels needs them smaller.
    const Span leftScore = fit(items[kLeftScore], band / 4);
    const Span rightScore = fit(items[kRightScore], band / 4);
    pen[kLeftScore] = left;
    pen[kRightScore] = right - rightScore.advance;
    const int leftScoreEnd = left + leftScore.advance + leftScore.trail;
    const int rightScoreStart = pen[kRightScore] - rightScore.lead;

    // The play mode and the cycle keep theirs either side of the halfway line.
    const Span mode = fit(items[kPlayMode], modeEnd - leftScoreEnd - gap);
    const Span time = fit(items[kTime], rightScoreStart - gap - timeStart);
    pen[kPlayMode] = modeEnd - mode.advance;
    pen[kTime] = timeStart;
    const int modeStart = pen[kPlayMode] - mode.lead;
    const int timeEnd = timeStart + time.advance + time.trail;

    // The names start (left) or end (right) at their places unless a score is in the
    // way, and get the room up to the play mode or from the cycle.
    const Span leftIdeal = span(items[kLeftName].font, items[kLeftName].text);
    const int leftFrom = std::max(view.pixelX(-44.5) - leftIdeal.lead, leftScoreEnd + gap);
    const Span leftName = fit(items[kLeftName], modeStart - gap - leftFrom);
    pen[kLeftName] = leftFrom + leftName.lead;
    const Span rightIdeal = span(items[kRightName].font, items[kRightName].text);
    const int rightTo = std::min(view.pixelX(44.5) + rightIdeal.trail, rightScoreStart - gap);
    const Span rightName = fit(items[kRightName], rightTo - timeEnd - gap);
    pen[kRightName] = rightTo - rightName.trail - rightName.advance;

    // Each line is centred in the band from y = -44 to y = -34.
    const int top = view.pixelY(-44.0);
    const int height = std::max(0, view.pixelY(-34.0) - top);
    for (std::size_t i = 0; i < kHeaderSlotCount; ++i) {
        HeaderItem& item = items[i];
        if (item.text.isEmpty()) continue;
        const QFontMetrics metrics(item.font);
        item.box = QRect(pen[i], top + (height - metrics.height()) / 2, metrics.horizontalAdvance(item.text),
                         metrics.height());
    }
    return items;
}

void HeaderCache::render(Rendered& rendered, const HeaderItem& item, qreal ratio) {
    const QFontMetrics metrics(item.font);
    // Room for the line and for any ink beyond it, a pixel to spare for anti-aliasing.
    const QRect line(0, -metrics.ascent(), metrics.horizontalAdvance(item.text), metrics.height());
    const QRect area = metrics.boundingRect(item.text).united(line).adjusted(-1, -1, 1, 1);
    rendered.pixmap =
        QPixmap(static_cast<int>(std::ceil(area.width() * ratio)), static_cast<int>(std::ceil(area.height() * ratio)));
    rendered.pixmap.setDevicePixelRatio(ratio);
    rendered.pixmap.fill(Qt::transparent);
    if (!rendered.pixmap.isNull()) {
        QPainter painter(&rendered.pixmap);
        painter.setFont(item.font);
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(-area.left(), -area.top(), item.text);
    }
    rendered.text = item.text;
    rendered.font = item.font;
    rendered.ratio = ratio;
    rendered.offset = QPoint(area.left(), metrics.ascent() + area.top());
}

void HeaderCache::draw(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const HeaderTexts& texts) {
    if (!laidOut_ || texts != texts_ || view.scale() != scale_ || view.centreX() != cx_ || view.centreY() != cy_) {
        layout_ = layoutHeader(view, fonts, texts);
        texts_ = texts;
        scale_ = view.scale();
        cx_ = view.centreX();
        cy_ = view.centreY();
        laidOut_ = true;
    }
    const QPaintDevice* device = painter.device();
    const qreal ratio = device ? device->devicePixelRatioF() : 1.0;
    const QFont font = painter.font();
    painter.setPen(QColor(0, 0, 0));
    for (std::size_t i = 0; i < kHeaderSlotCount; ++i) {
        const HeaderItem& item = layout_[i];
        if (item.text.isEmpty()) continue;
        if (i == kTime) {
            painter.setFont(item.font);
            fonts.texts.draw(painter, item.box.x(), item.box.y(), item.text);
            continue;
        }
        Rendered& rendered = rendered_[i];
        if (rendered.text != item.text || rendered.font != item.font || rendered.ratio != ratio) {
            render(rendered, item, ratio);
        }
        painter.drawPixmap(item.box.topLeft() + rendered.offset, rendered.pixmap);
    }
    painter.setFont(font);
}

}  // namespace tessarin
