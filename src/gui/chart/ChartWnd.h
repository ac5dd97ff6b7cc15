#pragma once

// The plot area of a chart: axes with their labels and the series drawn by the chart's kind.

#include <QWidget>

#include "chart/2DScale.h"
#include "chart/DataSeries.h"

namespace tessarin {

// Kinds of chart. kChartBars draws, at each x, one bar per series side by side in the
// series' colours (grouped bars); the other kinds draw each series as a line with markers.
inline constexpr int kChartLines = 0;
inline constexpr int kChartMarkers = 1;
inline constexpr int kChartBars = 2;

// A plot window that reads the data and scales of the chart that owns it; not owned.
class CChartWndBase : public QWidget {
public:
    CChartWndBase(const CDataSeriesArray& series, const C2DScale& xScale, const C2DScale& yScale, QWidget* parent);

    void setKind(int kind) { kind_ = kind; }
    int kind() const { return kind_; }

protected:
    const CDataSeriesArray& data_;
    const C2DScale& xScale_;
    const C2DScale& yScale_;
    int kind_ = kChartBars;
};

class CChartWnd final : public CChartWndBase {
public:
    using CChartWndBase::CChartWndBase;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessarin
