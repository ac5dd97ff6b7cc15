#include "chart/ChartWnd.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "chart/ChartFont.h"

namespace tessarin {

CChartWndBase::CChartWndBase(const CDataSeriesArray& series, const C2DScale& xScale, const C2DScale& yScale,
                             QWidget* parent)
    : QWidget(parent), data_(series), xScale_(xScale), yScale_(yScale) {
    setFont(chartFont(8));
}

void CChartWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QFontMetrics metrics = fontMetrics();

    const C2DScale::Drawn xs = xScale_.drawn(data_.hasPoints(), data_.minX(), data_.maxX());
    const C2DScale::Drawn ys = yScale_.drawn(data_.hasPoints(), data_.minY(), data_.maxY());
    const std::vector<double> xTicks = C2DScale::ticks(xs);
    const std::vector<double> yTicks = C2DScale::ticks(ys);
    const bool xLabels = (xScale_.flags() & C2DScale::kShowLabels) != 0;
    const bool yLabels = (yScale_.flags() & C2DScale::kShowLabels) != 0;

    int labelWidth = 0;
    if (yLabels) {
        for (const double v : yTicks) labelWidth = std::max(labelWidth, metrics.horizontalAdvance(yScale_.label(v)));
    }
    const int left = 6 + labelWidth + 4;
    const int bottom = height() - 4 - (xLabels ? metrics.height() + 2 : 0);
    const QRect plot(QPoint(left, 6 + metrics.height() / 2), QPoint(width() - 10, bottom));
    if (plot.width() < 4 || plot.height() < 4) return;

    // Bars sit on the x values, so the x axis reaches half a step beyond its range.
    const bool bars = kind_ == kChartBars;
    const double x0 = bars ? xs.minimum - xs.step / 2 : xs.minimum;
    const double x1 = bars ? xs.maximum + xs.step / 2 : xs.maximum;
    const auto px = [&](double x) { return plot.left() + (x - x0) / (x1 - x0) * plot.width(); };
    const auto py = [&](double y) {
        return plot.bottom() - (y - ys.minimum) / (ys.maximum - ys.minimum) * plot.height();
    };

    const QColor text = palette().color(QPalette::Text);
    const QColor grid = palette().color(QPalette::Mid);
    for (const double v : yTicks) {
        const int y = static_cast<int>(py(v));
        if ((yScale_.flags() & C2DScale::kShowGrid) != 0 || v == ys.minimum) {
            painter.setPen(QPen(grid, 1, Qt::DotLine));
            painter.drawLine(plot.left(), y, plot.right(), y);
        }
        if (yLabels) {
            painter.setPen(text);
            painter.drawText(QRect(6, y - metrics.height() / 2, labelWidth, metrics.height()),
                             Qt::AlignRight | Qt::AlignVCenter, yScale_.label(v));
        }
    }
    if (xLabels) {
        painter.setPen(text);
        for (const double v : xTicks) {
            const int x = static_cast<int>(px(v));
            painter.drawText(QRect(x - 30, bottom + 2, 60, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                             xScale_.label(v));
        }
    }
    painter.setPen(text);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    const auto& series = data_.series();
    if (series.empty()) return;
    painter.setClipRect(plot.adjusted(0, -1, 1, 1));
    if (bars) {
        // Each x gets four fifths of its slot, shared by the series in their order.
        const double slot = plot.width() * xs.step / (x1 - x0);
        const double barWidth = slot * 0.8 / static_cast<double>(series.size());
        for (std::size_t s = 0; s < series.size(); ++s) {
            const QColor colour = series[s].colour();
            for (const CDataPoint& p : series[s].points()) {
                const double x = px(p.x) - slot * 0.4 + barWidth * static_cast<double>(s);
                const double top = py(std::max(p.y, ys.minimum));
                const QRectF bar(QPointF(x, top), QPointF(x + barWidth, py(ys.minimum)));
                painter.fillRect(bar, colour);
                painter.setPen(colour.darker(150));
                painter.drawRect(bar);
            }
        }
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    for (const CDataSeries& s : series) {
        QPainterPath path;
        bool first = true;
        for (const CDataPoint& p : s.points()) {
            const QPointF at(px(p.x), py(p.y));
            if (first) {
                path.moveTo(at);
            } else {
                path.lineTo(at);
            }
            first = false;
        }
        painter.setPen(QPen(s.colour(), 2));
        if (kind_ == kChartLines) painter.drawPath(path);
        painter.setBrush(s.colour());
        for (const CDataPoint& p : s.points()) painter.drawEllipse(QPointF(px(p.x), py(p.y)), 3.0, 3.0);
        painter.setBrush(Qt::NoBrush);
    }
}

}  // namespace tessarin
