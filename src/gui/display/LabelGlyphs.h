#pragma once

// Labels of numbers (player numbers, speeds, stamina) drawn as prepared glyph runs: the
// glyph and advance of each printable ASCII character are looked up once per font, so a
// label costs no text shaping and no layout, only the blits of cached glyphs. Text with
// other characters is laid out as usual.
//
// Where the painter's pixels can be written directly, each glyph's coverage, as the
// paint engine renders it at a whole-pixel position, is kept and blended in with the
// pen's colour: the engine's own glyph blit tests and blends every pixel of a glyph's
// box one by one, and the labels of a full field are tens of thousands of such pixels.

#include <QFont>
#include <QRawFont>
#include <QString>
#include <array>
#include <vector>

class QPainter;

namespace tessarin {

class PainterPixels;

class LabelGlyphs {
public:
    void make(const QFont& font);

    // Draws `text` with the top-left of its line at (x, y), as an unaligned single-line
    // text would be drawn there. The painter's pen gives the colour. With `direct`
    // available, the glyphs are blended straight into its pixels.
    void draw(QPainter& painter, int x, int y, const QString& text, const PainterPixels* direct = nullptr) const;

private:
    static constexpr char16_t kFirst = 0x20;
    static constexpr char16_t kLast = 0x7E;
    static constexpr std::size_t kCount = kLast - kFirst + 1;
    // Glyphs of larger fonts (a far zoomed-in view) go through the paint engine, which
    // caches them itself; a coverage mask of each would cost more than it saves.
    static constexpr int kMaxMaskPixels = 160;

    // A glyph's coverage, 0..255 per pixel, and where its box lies from the pen's
    // position on the top of the line.
    struct Mask {
        bool made = false;
        int dx = 0;
        int dy = 0;
        int width = 0;
        int height = 0;
        std::vector<unsigned char> coverage;
    };

    const Mask& mask(std::size_t index) const;
    void blend(const PainterPixels& pixels, const Mask& mask, int x, int y, unsigned colour) const;

    QFont font_;
    QRawFont raw_;
    double ascent_ = 0.0;
    std::array<quint32, kCount> index_{};
    std::array<double, kCount> advance_{};
    // Whether the font's own face has every character of the table.
    bool complete_ = false;
    bool maskable_ = false;
    // Made on first use, on the GUI thread that paints, like the painter's own glyph cache.
    mutable std::array<Mask, kCount> masks_;
};

}  // namespace tessarin
