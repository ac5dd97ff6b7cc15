#pragma once

// The data of a chart: named, coloured series of points and the bounds of all of them.

#include <QColor>
#include <QString>
#include <vector>

namespace tessarin {

struct CDataPoint {
    double x = 0.0;
    double y = 0.0;
};

class CDataSeries final {
public:
    CDataSeries(QString name, QColor colour) : name_(std::move(name)), colour_(colour) {}

    const QString& name() const { return name_; }
    QColor colour() const { return colour_; }
    const std::vector<CDataPoint>& points() const { return points_; }
    void add(CDataPoint point) { points_.push_back(point); }

private:
    QString name_;
    QColor colour_;
    std::vector<CDataPoint> points_;
};

// The series in insertion order (a series' index is its place) and the smallest and largest
// x and y over all their points.
//
// With no point the minima hold the largest finite double and the maxima the smallest
// positive normal double; the first point then sets all four, whatever its sign.
class CDataSeriesArray final {
public:
    CDataSeriesArray() { resetBounds(); }

    // The new series' index.
    int add(QString name, QColor colour);
    // False (nothing added) for an index that names no series, negative ones included,
    // and for a point that is not finite.
    bool addPoint(int index, CDataPoint point);
    void removeAll();
    // Removes one series and recomputes the bounds from the others; false for a bad index.
    bool remove(int index);

    int size() const { return static_cast<int>(series_.size()); }
    const std::vector<CDataSeries>& series() const { return series_; }
    // Whether any series holds a point; the bounds mean something only then.
    bool hasPoints() const { return hasPoints_; }
    double minX() const { return minX_; }
    double maxX() const { return maxX_; }
    double minY() const { return minY_; }
    double maxY() const { return maxY_; }

private:
    void resetBounds();
    void include(CDataPoint point);

    std::vector<CDataSeries> series_;
    bool hasPoints_ = false;
    double minX_ = 0.0;
    double maxX_ = 0.0;
    double minY_ = 0.0;
    double maxY_ = 0.0;
};

}  // namespace tessarin
