#include "chart/LegendWnd.h"

#include <QPainter>

#include "chart/ChartFont.h"

namespace tessarin {

CLegendWnd::CLegendWnd(QWidget* parent) : QWidget(parent) { setFont(chartFont(9)); }

void CLegendWnd::add(CLegendText entry) {
    entries_.push_back(std::move(entry));
    update();
}

void CLegendWnd::clear() {
    entries_.clear();
    update();
}

int CLegendWnd::preferredHeight() const { return entries_.empty() ? 0 : fontMetrics().height() + 6; }

void CLegendWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int swatch = metrics.height() - 4;
    const int gap = metrics.horizontalAdvance(QLatin1Char(' '));
    int width = 0;
    for (const CLegendText& entry : entries_) width += swatch + gap + metrics.horizontalAdvance(entry.name) + 3 * gap;
    // Centred under the title.
    int x = (this->width() - width) / 2;
    const int y = (height() - swatch) / 2;
    for (const CLegendText& entry : entries_) {
        painter.fillRect(x, y, swatch, swatch, entry.colour);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(x, y, swatch, swatch);
        x += swatch + gap;
        const int textWidth = metrics.horizontalAdvance(entry.name);
        painter.drawText(QRect(x, 0, textWidth + gap, height()), Qt::AlignLeft | Qt::AlignVCenter, entry.name);
        x += textWidth + 3 * gap;
    }
}

}  // namespace tessarin
