#pragma once

// Labels of numbers (player numbers, speeds, stamina) drawn as prepared glyph runs: the
// glyph and advance of each printable ASCII character are looked up once per font, so a
// label costs no text shaping and no layout, only the blits of cached glyphs. Text with
// other characters is laid out as usual.

#include <QFont>
#include <QRawFont>
#include <QString>
#include <array>

class QPainter;

namespace tessarin {

class LabelGlyphs {
public:
    void make(const QFont& font);

    // Draws `text` with the top-left of its line at (x, y), as an unaligned single-line
    // text would be drawn there. The painter's pen gives the colour.
    void draw(QPainter& painter, int x, int y, const QString& text) const;

private:
    static constexpr char16_t kFirst = 0x20;
    static constexpr char16_t kLast = 0x7E;
    static constexpr std::size_t kCount = kLast - kFirst + 1;

    QFont font_;
    QRawFont raw_;
    double ascent_ = 0.0;
    std::array<quint32, kCount> index_{};
    std::array<double, kCount> advance_{};
    // Whether the font's own face has every character of the table.
    bool complete_ = false;
};

}  // namespace tessarin
