#include "record/Companion.h"

#include <charconv>

namespace tessarin {

namespace {

// Most colours and characters per pixel a logo tile may declare: a 256 x 64 logo has
// fewer distinct pixels than this, and two characters name 4096 colours and more.
constexpr long kMaxLogoColours = 1024;
constexpr long kMaxCharsPerPixel = 2;

// The next whitespace-separated number of `text`, or -1.
long nextNumber(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    text.remove_prefix(i);
    long value = -1;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || value < 0) return -1;
    text.remove_prefix(static_cast<std::size_t>(ptr - text.data()));
    return value;
}

}  // namespace

Card PlayerCompanion::card() const {
    if ((state & kStateRedCard) != 0) return Card::Red;
    if ((state & kStateYellowCard) != 0) return Card::Yellow;
    return Card::None;
}

bool isValidLogoTile(int x, int y, const std::vector<std::string>& xpm) {
    if (x < 0 || y < 0 || xpm.empty()) return false;
    std::string_view header = xpm.front();
    const long width = nextNumber(header);
    const long height = nextNumber(header);
    const long colours = nextNumber(header);
    const long chars = nextNumber(header);
    if (width <= 0 || height <= 0 || colours <= 0 || chars <= 0) return false;
    if (colours > kMaxLogoColours || chars > kMaxCharsPerPixel) return false;
    if (x * kLogoTileStep + width > kLogoWidth || y * kLogoTileStep + height > kLogoHeight) return false;
    if (header.find_first_not_of(' ') != std::string_view::npos) return false;
    if (xpm.size() != static_cast<std::size_t>(1 + colours + height)) return false;
    // A colour line names its pixel characters, then at least a key and a value.
    for (std::size_t i = 1; i <= static_cast<std::size_t>(colours); ++i) {
        if (xpm[i].size() < static_cast<std::size_t>(chars) + 4 || xpm[i].size() > 256) return false;
    }
    const auto rowLength = static_cast<std::size_t>(width * chars);
    for (std::size_t i = 1 + static_cast<std::size_t>(colours); i < xpm.size(); ++i) {
        if (xpm[i].size() != rowLength) return false;
    }
    for (const std::string& line : xpm) {
        // Quotes and backslashes would need escaping wherever the text is quoted again.
        if (line.find_first_of(std::string_view("\"\\\0", 3)) != std::string::npos) return false;
    }
    return true;
}

}  // namespace tessarin
