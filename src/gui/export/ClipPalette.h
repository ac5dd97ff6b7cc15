#pragma once

// The palette of an animated GIF, made for the clip: the field's pictures hold few
// colours (the grass, the lines, the teams' fills, the labels), so they are kept exactly
// and nothing is dithered. Only when a clip holds more than 256 colours (smooth drawing
// mixes edges with the grass) do the rarer ones snap to the nearest colour kept.

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tessarin {

inline constexpr std::size_t kMaxPaletteColours = 256;

class ClipPalette final {
public:
    // Counts the colours of one picture of the clip (RGB32).
    void count(const QImage& image);
    // Chooses the palette from what was counted: every colour when there are at most 256,
    // else the 256 most frequent. Call once, after counting and before mapping.
    void finish();

    // Takes a palette chosen before (at most 256 colours) in place of counting.
    void setColours(const std::vector<QRgb>& colours);

    const std::vector<QRgb>& colours() const { return colours_; }
    // Writes the palette index of each pixel of `image` (RGB32, width × height) into rows
    // of `stride` bytes at `out`.
    void map(const QImage& image, std::uint8_t* out, int stride);

private:
    std::uint8_t nearest(QRgb colour) const;

    std::unordered_map<QRgb, std::uint64_t> counts_;
    std::vector<QRgb> colours_;
    // Every colour seen so far, with its index: the chosen colours and those snapped.
    std::unordered_map<QRgb, std::uint8_t> index_;
};

}  // namespace tessarin
