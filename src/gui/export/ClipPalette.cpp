#include "export/ClipPalette.h"

#include <algorithm>
#include <limits>

namespace tessarin {

void ClipPalette::count(const QImage& image) {
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        // Runs of one colour are long in these pictures: count a run at once.
        int x = 0;
        while (x < rgb.width()) {
            const QRgb colour = row[x] | 0xff000000u;
            int end = x + 1;
            while (end < rgb.width() && (row[end] | 0xff000000u) == colour) ++end;
            counts_[colour] += static_cast<std::uint64_t>(end - x);
            x = end;
        }
    }
}

void ClipPalette::finish() {
    std::vector<std::pair<QRgb, std::uint64_t>> ranked(counts_.begin(), counts_.end());
    // Most frequent first; equal counts by colour, so that the palette never depends on
    // the order of the hash table.
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (ranked.size() > kMaxPaletteColours) ranked.resize(kMaxPaletteColours);
    colours_.clear();
    index_.clear();
    for (const auto& [colour, n] : ranked) {
        index_.emplace(colour, static_cast<std::uint8_t>(colours_.size()));
        colours_.push_back(colour);
    }
    if (colours_.empty()) colours_.push_back(qRgb(0, 0, 0));
    counts_.clear();
}

void ClipPalette::setColours(const std::vector<QRgb>& colours) {
    colours_.clear();
    index_.clear();
    for (const QRgb colour : colours) {
        if (colours_.size() == kMaxPaletteColours) break;
        const QRgb opaque = colour | 0xff000000u;
        if (index_.emplace(opaque, static_cast<std::uint8_t>(colours_.size())).second) colours_.push_back(opaque);
    }
    if (colours_.empty()) colours_.push_back(qRgb(0, 0, 0));
}

std::uint8_t ClipPalette::nearest(QRgb colour) const {
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        const int dr = qRed(colour) - qRed(colours_[i]);
        const int dg = qGreen(colour) - qGreen(colours_[i]);
        const int db = qBlue(colour) - qBlue(colours_[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

void ClipPalette::map(const QImage& image, std::uint8_t* out, int stride) {
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* target = out + static_cast<std::ptrdiff_t>(y) * stride;
        QRgb last = 0;
        std::uint8_t lastIndex = 0;
        bool have = false;
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb colour = row[x] | 0xff000000u;
            if (!have || colour != last) {
                auto found = index_.find(colour);
                if (found == index_.end()) found = index_.emplace(colour, nearest(colour)).first;
                last = colour;
                lastIndex = found->second;
                have = true;
            }
            target[x] = lastIndex;
        }
    }
}

}  // namespace tessarin
