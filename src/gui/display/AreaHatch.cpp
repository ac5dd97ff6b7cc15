#include "display/AreaHatch.h"

#include <QBrush>
#include <QImage>
#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "display/PainterPixels.h"
#include "display/SimdSupport.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TESSARIN_HATCH_SIMD 1
#endif

namespace tessarin {

namespace {

// ceil(n / d) for d > 0.
std::int64_t ceilDiv(std::int64_t n, std::int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

// Hands `keep` the pieces of [left, right) that `covered` (sorted, disjoint) leaves free,
// then adds [left, right) to `covered`.
template <typename Keep>
void claim(std::vector<std::pair<int, int>>& covered, int left, int right, Keep keep) {
    std::size_t i = 0;
    while (i < covered.size() && covered[i].second < left) ++i;
    // Hidden whole behind one later span: the common case where teammates' cells overlap.
    if (i < covered.size() && covered[i].first <= left && covered[i].second >= right) return;
    // The spans from i to j touch or overlap [left, right): the gaps between them are free,
    // and together with it they become one span.
    int from = left;
    int merged0 = left;
    int merged1 = right;
    std::size_t j = i;
    for (; j < covered.size() && covered[j].first <= right; ++j) {
        const auto [a, b] = covered[j];
        if (a > from) keep(from, a);
        from = std::max(from, b);
        merged0 = std::min(merged0, a);
        merged1 = std::max(merged1, b);
    }
    if (from < right) keep(from, right);
    const auto at = covered.begin() + static_cast<std::ptrdiff_t>(i);
    if (j == i) {
        covered.insert(at, {merged0, merged1});
    } else {
        *at = {merged0, merged1};
        covered.erase(at + 1, covered.begin() + static_cast<std::ptrdiff_t>(j));
    }
}

#if defined(TESSARIN_HATCH_SIMD)
// Sixteen pixels per masked store: a quarter of the stores of the scalar loop, which the
// hatch's writes are bound by.
__attribute__((target("avx512f"))) void hatchRunAvx512(QRgb* out, int phase, int count, unsigned bits, QRgb colour) {
    const unsigned repeated = bits | bits << 8 | bits << 16;
    const auto mask = static_cast<__mmask16>(repeated >> (phase & 7));
    const __m512i solid = _mm512_set1_epi32(static_cast<int>(colour));
    int i = 0;
    for (; i + 16 <= count; i += 16) _mm512_mask_storeu_epi32(out + i, mask, solid);
    // Lanes left out by the mask are neither written nor touched, past the run's end too.
    if (i < count) _mm512_mask_storeu_epi32(out + i, mask & static_cast<__mmask16>((1U << (count - i)) - 1), solid);
}

// Eight pixels per read, blend and write: AVX2's masked store is slow on some processors,
// and rewriting the six unchanged pixels costs less than two separate stores.
__attribute__((target("avx2"))) void hatchRunAvx2(QRgb* out, int phase, int count, unsigned bits, QRgb colour) {
    const unsigned lanesSet = ((bits | bits << 8) >> (phase & 7)) & 0xffU;
    const __m256i lane = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    const __m256i mask =
        _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(static_cast<int>(lanesSet)), lane), lane);
    const __m256i solid = _mm256_set1_epi32(static_cast<int>(colour));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* at = reinterpret_cast<__m256i*>(out + i);
        _mm256_storeu_si256(at, _mm256_blendv_epi8(_mm256_loadu_si256(at), solid, mask));
    }
    for (; i < count; ++i) {
        if ((lanesSet >> (i & 7)) & 1U) out[i] = colour;
    }
}
#endif

}  // namespace

HatchWrites fastestHatchWrites() {
    if (cpuHasAvx512()) return HatchWrites::Avx512;
    if (cpuHasAvx2()) return HatchWrites::Avx2;
    return HatchWrites::Scalar;
}

void writeHatchRun(HatchWrites form, QRgb* out, int phase, int count, unsigned bits, QRgb colour) {
    if (count <= 0) return;
#if defined(TESSARIN_HATCH_SIMD)
    if (form == HatchWrites::Avx512) return hatchRunAvx512(out, phase, count, bits, colour);
    if (form == HatchWrites::Avx2) return hatchRunAvx2(out, phase, count, bits, colour);
#else
    static_cast<void>(form);
#endif
    for (int bit = 0; bit < 8; ++bit) {
        if (!(bits & (1U << bit))) continue;
        for (int x = (bit - phase) & 7; x < count; x += 8) out[x] = colour;
    }
}

std::array<std::uint8_t, 8> diagonalCrossRows() {
    static const std::array<std::uint8_t, 8> rows = [] {
        QImage tile(8, 8, QImage::Format_RGB32);
        tile.fill(Qt::white);
        {
            QPainter painter(&tile);
            painter.fillRect(tile.rect(), QBrush(Qt::black, Qt::DiagCrossPattern));
        }
        std::array<std::uint8_t, 8> bits{};
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (qGray(tile.pixel(x, y)) < 128) bits[static_cast<std::size_t>(y)] |= std::uint8_t(1U << x);
            }
        }
        return bits;
    }();
    return rows;
}

PolygonSpans convexSpans(const QPolygon& polygon, const QRect& bounds) {
    PolygonSpans result;
    convexSpans(polygon, bounds, result);
    return result;
}

void convexSpans(const QPolygon& polygon, const QRect& bounds, PolygonSpans& result) {
    result.top = 0;
    result.spans.clear();
    if (polygon.size() < 3 || bounds.isEmpty()) return;
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (const QPoint& p : polygon) {
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    // A row is covered when its centre y + 0.5 lies in [top, bottom).
    top = std::max(top, bounds.top());
    bottom = std::min(bottom, bounds.bottom() + 1);
    if (top >= bottom) return;
    result.top = top;
    result.spans.assign(static_cast<std::size_t>(bottom - top), {INT_MAX, INT_MIN});
    const qsizetype count = polygon.size();
    for (qsizetype i = 0; i < count; ++i) {
        QPoint a = polygon[i];
        QPoint b = polygon[(i + 1) % count];
        if (a.y() == b.y()) continue;
        if (a.y() > b.y()) std::swap(a, b);
        const std::int64_t dy = b.y() - a.y();
        const std::int64_t dx = b.x() - a.x();
        const int from = std::max(a.y(), top);
        const int to = std::min(b.y(), bottom);
        if (from >= to) continue;
        // The first pixel whose centre is at or right of the edge at row centre y + 0.5 is
        // ceil(n / d) with n = (2 ax - 1) dy + (2 y + 1 - 2 ay) dx and d = 2 dy. It is
        // stepped from row to row exactly, as q and r with n = q d - r, 0 <= r < d.
        const std::int64_t d = 2 * dy;
        const std::int64_t n = (2 * std::int64_t{a.x()} - 1) * dy + (2 * std::int64_t{from} + 1 - 2 * a.y()) * dx;
        std::int64_t q = ceilDiv(n + 1, d);
        std::int64_t r = q * d - n - 1;
        const std::int64_t step = 2 * dx;
        const std::int64_t stepQ = step >= 0 ? step / d : -ceilDiv(-step, d);
        const std::int64_t stepR = step - stepQ * d;
        auto* span = &result.spans[static_cast<std::size_t>(from - top)];
        for (int y = from; y < to; ++y, ++span) {
            const auto x = static_cast<int>(q);
            span->first = std::min(span->first, x);
            span->second = std::max(span->second, x);
            q += stepQ;
            r -= stepR;
            if (r < 0) {
                r += d;
                ++q;
            }
        }
    }
    for (auto& span : result.spans) {
        span.first = std::max(span.first, bounds.left());
        span.second = std::min(span.second, bounds.right() + 1);
    }
}

void AreaHatch::prepare(std::vector<QPolygon> areas, std::vector<QColor> colours, const QRect& bounds) {
    areas_ = std::move(areas);
    colours_ = std::move(colours);
    colours_.resize(areas_.size());
    visible_.resize(areas_.size());
    for (auto& runs : visible_) runs.clear();
    worked_ = !bounds.isEmpty();
    if (!worked_) return;
    spans_.resize(areas_.size());
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (std::size_t k = 0; k < areas_.size(); ++k) {
        PolygonSpans& spans = spans_[k];
        convexSpans(areas_[k], bounds, spans);
        if (spans.spans.empty()) continue;
        top = std::min(top, spans.top);
        bottom = std::max(bottom, spans.top + static_cast<int>(spans.spans.size()));
    }
    // Row by row, the last area claims its span first; each earlier one keeps what is left.
    // The areas that hold a row are kept in `active_`, last drawn first, as the rows are
    // walked down: most areas hold only a few of the rows.
    starts_.clear();
    for (std::size_t k = 0; k < areas_.size(); ++k) {
        if (!spans_[k].spans.empty()) starts_.push_back(k);
    }
    std::stable_sort(starts_.begin(), starts_.end(),
                     [&](std::size_t a, std::size_t b) { return spans_[a].top < spans_[b].top; });
    active_.clear();
    std::size_t next = 0;
    for (int y = top; y < bottom; ++y) {
        for (; next < starts_.size() && spans_[starts_[next]].top <= y; ++next) {
            const std::size_t k = starts_[next];
            const PolygonSpans& s = spans_[k];
            const Active entry{k, s.top, s.top + static_cast<int>(s.spans.size()), s.spans.data()};
            const auto later = [](const Active& a, const Active& b) { return a.area > b.area; };
            active_.insert(std::upper_bound(active_.begin(), active_.end(), entry, later), entry);
        }
        std::erase_if(active_, [y](const Active& a) { return y >= a.end; });
        covered_.clear();
        for (const Active& a : active_) {
            const auto [left, right] = a.rows[y - a.top];
            if (left >= right) continue;
            claim(covered_, left, right, [&](int from, int to) { visible_[a.area].push_back({y, from, to}); });
        }
    }
}

void AreaHatch::draw(QPainter& painter, std::size_t index) const {
    if (index >= areas_.size() || areas_[index].size() < 3) return;
    const PainterPixels pixels(painter);
    if (!worked_ || !pixels.available()) {
        painter.save();
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(colours_[index], Qt::DiagCrossPattern));
        painter.drawPolygon(areas_[index]);
        painter.restore();
        return;
    }
    const std::array<std::uint8_t, 8> pattern = diagonalCrossRows();
    const QRgb colour = colours_[index].rgb() | 0xff000000U;
    const int dx = pixels.origin().x();
    const HatchWrites form = fastestHatchWrites();
    for (const Run& run : visible_[index]) {
        for (const QRect& clip : pixels.clip()) {
            if (run.y < clip.top() || run.y > clip.bottom()) continue;
            const int from = std::max(run.left, clip.left());
            const int to = std::min(run.right, clip.right() + 1);
            if (from >= to) continue;
            // The pattern is fixed to the painter's origin, as Qt fixes a brush's pattern:
            // a window shows the same picture wherever it sits in its backing store.
            QRgb* out = pixels.row(run.y) + from + dx;
            const unsigned bits = pattern[static_cast<std::size_t>(run.y & 7)];
            writeHatchRun(form, out, from, to - from, bits, colour);
        }
    }
}

}  // namespace tessarin
