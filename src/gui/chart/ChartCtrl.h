#pragma once

// A chart window: a title, a legend and a plot of data series against two numeric axes.
// Its context menu saves the chart as a PNG image.

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "chart/2DScale.h"
#include "chart/DataSeries.h"

namespace tessarin {

class CChartWnd;
class CLegendWnd;
class CTitleWnd;

enum class ChartAxis { Horizontal, Vertical };

// Owns its series, its two scales and its three child windows. Changes take effect on
// screen at Refresh (ranges request a redraw at once).
class CChartCtrl final : public QWidget {
    Q_OBJECT

public:
    explicit CChartCtrl(QWidget* parent = nullptr);
    ~CChartCtrl() override;

    // The chart kinds of ChartWnd.h.
    void SetChartType(int kind);
    int chartType() const;
    void SetTitle(const QString& title);
    QString title() const;

    void SetRange(ChartAxis axis, double minimum, double maximum);
    void SetStep(ChartAxis axis, double step);
    unsigned GetScaleFlags(ChartAxis axis) const { return scale(axis).flags(); }
    void SetScaleFlags(ChartAxis axis, unsigned flags) { scale(axis).setFlags(flags); }
    bool SetLabelFormat(ChartAxis axis, const std::string& format) { return scale(axis).setLabelFormat(format); }
    const C2DScale& scale(ChartAxis axis) const { return axis == ChartAxis::Horizontal ? xScale_ : yScale_; }

    // Removes every series and empties the legend.
    void RemoveAllSeries();
    // The new series' index; it gets a legend entry.
    int AddSeries(const QString& name, QColor colour);
    // False and nothing added for an index that names no series (negative ones included).
    bool AddPoint(int index, double x, double y);
    const CDataSeriesArray& series() const { return data_; }
    const CLegendWnd& legend() const { return *legend_; }

    // Lays title, legend and plot out in the client area and redraws.
    void Refresh();

    // Writes the chart as it is drawn now to a PNG file; false when it cannot be written.
    bool SaveImage(const QString& path);
    // Replaces the file dialog of "Save image…" (tests); it returns the chosen path or none.
    void setSavePathAsker(std::function<std::optional<QString>()> ask) { askPath_ = std::move(ask); }
    // What the context menu runs: asks for a path and saves, reporting a failure.
    void saveImageWithDialog();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    C2DScale& scale(ChartAxis axis) { return axis == ChartAxis::Horizontal ? xScale_ : yScale_; }

    CDataSeriesArray data_;
    C2DScale xScale_;
    C2DScale yScale_;
    CTitleWnd* title_ = nullptr;
    CLegendWnd* legend_ = nullptr;
    CChartWnd* plot_ = nullptr;
    std::function<std::optional<QString>()> askPath_;
};

}  // namespace tessarin
