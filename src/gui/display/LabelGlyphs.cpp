#include "display/LabelGlyphs.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "display/PainterPixels.h"
#include "display/SimdSupport.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TESSARIN_BLEND_AVX2 1
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessarin {

namespace {

// c·a + d·(255 − a) over 255 for each channel of two premultiplied pixels, rounded as
// the paint engine rounds it; two channels at a time in the spare bits between them.
QRgb interpolate255(QRgb c, unsigned a, QRgb d) {
    const unsigned b = 255 - a;
    unsigned rb = (c & 0xff00ffU) * a + (d & 0xff00ffU) * b;
    rb = ((rb + ((rb >> 8) & 0xff00ffU) + 0x800080U) >> 8) & 0xff00ffU;
    unsigned ag = ((c >> 8) & 0xff00ffU) * a + ((d >> 8) & 0xff00ffU) * b;
    ag = (ag + ((ag >> 8) & 0xff00ffU) + 0x800080U) & 0xff00ff00U;
    return rb | ag;
}

#if defined(TESSARIN_BLEND_AVX2)
// Eight pixels at a time where the processor has AVX2, with the same sums and rounding;
// returns how many pixels it has blended, a multiple of eight.
__attribute__((target("avx2"))) int blendRowAvx2(QRgb* out, const unsigned char* cover, int count, QRgb colour) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i solid = _mm256_set1_epi32(static_cast<int>(colour));
    const __m256i c16 = _mm256_unpacklo_epi8(solid, zero);
    const __m256i full = _mm256_set1_epi16(255);
    const __m256i half = _mm256_set1_epi16(128);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, cover + i, sizeof eight);
        if (eight == 0) continue;
        if (eight == ~std::uint64_t{0}) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), solid);
            continue;
        }
        // Coverage of pixels 0-3 and 4-7 in the two halves, each repeated over the four
        // channels of its pixel in the order the unpacking below puts the pixels.
        const __m256i a32 = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cover + i)));
        const __m256i a16 = _mm256_or_si256(a32, _mm256_slli_epi32(a32, 16));
        const __m256i aLo = _mm256_unpacklo_epi32(a16, a16);
        const __m256i aHi = _mm256_unpackhi_epi32(a16, a16);
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
        __m256i lo = _mm256_unpacklo_epi8(d, zero);
        lo = _mm256_add_epi16(_mm256_mullo_epi16(c16, aLo), _mm256_mullo_epi16(lo, _mm256_sub_epi16(full, aLo)));
        lo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(lo, _mm256_srli_epi16(lo, 8)), half), 8);
        __m256i hi = _mm256_unpackhi_epi8(d, zero);
        hi = _mm256_add_epi16(_mm256_mullo_epi16(c16, aHi), _mm256_mullo_epi16(hi, _mm256_sub_epi16(full, aHi)));
        hi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(hi, _mm256_srli_epi16(hi, 8)), half), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(lo, hi));
    }
    return i;
}

#endif

// Blends `colour` into `count` pixels by their coverage.
void blendRow(QRgb* out, const unsigned char* cover, int count, QRgb colour) {
    int i = 0;
#if defined(TESSARIN_BLEND_AVX2)
    if (cpuHasAvx2()) i = blendRowAvx2(out, cover, count, colour);
#endif
#if defined(__SSE2__)
    // Four pixels at a time, with each channel in a 16-bit lane: the same sums and the
    // same rounding as the pair-of-channels form below, so both give the same pixels.
    const __m128i zero = _mm_setzero_si128();
    const __m128i c16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i half = _mm_set1_epi16(128);
    const __m128i solid = _mm_set1_epi32(static_cast<int>(colour));
    for (; i + 4 <= count; i += 4) {
        std::uint32_t four;
        std::memcpy(&four, cover + i, sizeof four);
        if (four == 0) continue;
        if (four == 0xffffffffU) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), solid);
            continue;
        }
        const __m128i a8 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero);
        const __m128i a16 = _mm_unpacklo_epi16(a8, a8);
        const __m128i aLo = _mm_unpacklo_epi32(a16, a16);
        const __m128i aHi = _mm_unpackhi_epi32(a16, a16);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        auto mix = [&](__m128i d16, __m128i a) {
            __m128i t = _mm_add_epi16(_mm_mullo_epi16(c16, a), _mm_mullo_epi16(d16, _mm_sub_epi16(full, a)));
            t = _mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half);
            return _mm_srli_epi16(t, 8);
        };
        const __m128i lo = mix(_mm_unpacklo_epi8(d, zero), aLo);
        const __m128i hi = mix(_mm_unpackhi_epi8(d, zero), aHi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < count; ++i) {
        const unsigned a = cover[i];
        if (a == 0) continue;
        out[i] = a == 255 ? colour : interpolate255(colour, a, out[i]);
    }
}

}  // namespace

void LabelGlyphs::make(const QFont& font) {
    font_ = font;
    raw_ = QRawFont::fromFont(font);
    ascent_ = QFontMetricsF(font).ascent();
    complete_ = false;
    masks_ = {};
    maskable_ = QFontMetricsF(font).height() <= kMaxMaskPixels;
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

const LabelGlyphs::Mask& LabelGlyphs::mask(std::size_t index) const {
    Mask& m = masks_[index];
    if (m.made) return m;
    m.made = true;
    // The glyph as the engine draws it, in coverage only, with the pen at (pad, pad) and
    // room for any ink a glyph of the font may have around it.
    const int pad = static_cast<int>(std::ceil(QFontMetricsF(font_).height())) + 2;
    const int width = 3 * pad + static_cast<int>(std::ceil(std::max(0.0, advance_[index])));
    QImage image(width, 3 * pad, QImage::Format_Alpha8);
    if (image.isNull()) return m;
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setPen(QColor(0, 0, 0));
        const quint32 glyph = index_[index];
        const QPointF origin(0.0, 0.0);
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setRawData(&glyph, &origin, 1);
        painter.drawGlyphRun(QPointF(pad, pad + ascent_), run);
    }
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return m;  // a space: no ink
    m.dx = left - pad;
    m.dy = top - pad;
    m.width = right - left + 1;
    m.height = bottom - top + 1;
    m.coverage.resize(static_cast<std::size_t>(m.width) * static_cast<std::size_t>(m.height));
    for (int y = 0; y < m.height; ++y) {
        std::copy_n(image.constScanLine(top + y) + left, m.width,
                    m.coverage.begin() + static_cast<std::ptrdiff_t>(y) * m.width);
    }
    return m;
}

void LabelGlyphs::blend(const PainterPixels& pixels, const Mask& mask, int x, int y, unsigned colour) const {
    const QRect box(x + mask.dx, y + mask.dy, mask.width, mask.height);
    for (const QRect& clip : pixels.clip()) {
        const QRect part = box.intersected(clip);
        if (part.isEmpty()) continue;
        for (int row = part.top(); row <= part.bottom(); ++row) {
            const unsigned char* cover = mask.coverage.data() +
                                         static_cast<std::ptrdiff_t>(row - box.top()) * mask.width +
                                         (part.left() - box.left());
            blendRow(pixels.row(row) + pixels.origin().x() + part.left(), cover, part.width(), colour);
        }
    }
}

void LabelGlyphs::draw(QPainter& painter, int x, int y, const QString& text, const PainterPixels* direct) const {
    constexpr qsizetype kInline = 32;
    bool prepared = complete_ && text.size() <= kInline;
    for (qsizetype i = 0; prepared && i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        prepared = c >= kFirst && c <= kLast;
    }
    if (!prepared) {
        painter.save();
        painter.setFont(font_);
        painter.drawText(QRect(x, y, 0, 0), static_cast<int>(Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip), text);
        painter.restore();
        return;
    }
    const QColor pen = painter.pen().color();
    if (direct && direct->available() && direct->premultiplied() && maskable_ && pen.alpha() == 255) {
        const QRgb colour = pen.rgba();
        double advance = 0.0;
        for (const QChar ch : text) {
            const std::size_t index = ch.unicode() - kFirst;
            const Mask& m = mask(index);
            if (!m.coverage.empty()) blend(*direct, m, x + static_cast<int>(std::lround(advance)), y, colour);
            advance += advance_[index];
        }
        return;
    }
    QVarLengthArray<quint32, kInline> glyphs;
    QVarLengthArray<QPointF, kInline> positions;
    double advance = 0.0;
    for (const QChar ch : text) {
        const std::size_t index = ch.unicode() - kFirst;
        glyphs.append(index_[index]);
        positions.append(QPointF(advance, 0.0));
        advance += advance_[index];
    }
    if (glyphs.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setRawData(glyphs.constData(), positions.constData(), static_cast<int>(glyphs.size()));
    painter.drawGlyphRun(QPointF(x, y + ascent_), run);
}

}  // namespace tessarin
