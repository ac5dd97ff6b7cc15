#include "display/LabelGlyphs.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QVarLengthArray>

namespace tessarin {

void LabelGlyphs::make(const QFont& font) {
    font_ = font;
    raw_ = QRawFont::fromFont(font);
    ascent_ = QFontMetricsF(font).ascent();
    complete_ = false;
    if (!raw_.isValid()) return;
    QString table;
    table.reserve(static_cast<qsizetype>(kCount));
    for (char16_t c = kFirst; c <= kLast; ++c) {
        if (!raw_.supportsCharacter(QChar(c))) return;
        table.append(QChar(c));
    }
    const QList<quint32> indexes = raw_.glyphIndexesForString(table);
    if (indexes.size() != static_cast<qsizetype>(kCount)) return;
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(indexes);
    if (advances.size() != static_cast<qsizetype>(kCount)) return;
    for (std::size_t i = 0; i < kCount; ++i) {
        index_[i] = indexes[static_cast<qsizetype>(i)];
        advance_[i] = advances[static_cast<qsizetype>(i)].x();
    }
    complete_ = true;
}

void LabelGlyphs::draw(QPainter& painter, int x, int y, const QString& text) const {
    constexpr qsizetype kInline = 32;
    bool prepared = complete_ && text.size() <= kInline;
    QVarLengthArray<quint32, kInline> glyphs;
    QVarLengthArray<QPointF, kInline> positions;
    double pen = 0.0;
    for (qsizetype i = 0; prepared && i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < kFirst || c > kLast) {
            prepared = false;
            break;
        }
        glyphs.append(index_[c - kFirst]);
        positions.append(QPointF(pen, 0.0));
        pen += advance_[c - kFirst];
    }
    if (!prepared) {
        painter.save();
        painter.setFont(font_);
        painter.drawText(QRect(x, y, 0, 0), static_cast<int>(Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip), text);
        painter.restore();
        return;
    }
    if (glyphs.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setRawData(glyphs.constData(), positions.constData(), static_cast<int>(glyphs.size()));
    painter.drawGlyphRun(QPointF(x, y + ascent_), run);
}

}  // namespace tessarin
