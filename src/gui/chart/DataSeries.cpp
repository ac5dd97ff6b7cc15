#include "chart/DataSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessarin {

int CDataSeriesArray::add(QString name, QColor colour) {
    series_.emplace_back(std::move(name), colour);
    return size() - 1;
}

bool CDataSeriesArray::addPoint(int index, CDataPoint point) {
    if (index < 0 || index >= size()) return false;
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) return false;
    series_[static_cast<std::size_t>(index)].add(point);
    include(point);
    return true;
}

void CDataSeriesArray::removeAll() {
    series_.clear();
    resetBounds();
}

bool CDataSeriesArray::remove(int index) {
    if (index < 0 || index >= size()) return false;
    series_.erase(series_.begin() + index);
    resetBounds();
    for (const CDataSeries& s : series_) {
        for (const CDataPoint& p : s.points()) include(p);
    }
    return true;
}

void CDataSeriesArray::resetBounds() {
    hasPoints_ = false;
    minX_ = minY_ = std::numeric_limits<double>::max();
    maxX_ = maxY_ = std::numeric_limits<double>::min();
}

void CDataSeriesArray::include(CDataPoint point) {
    if (!hasPoints_) {
        // The reset maxima are positive: a first point at or below zero must still set them.
        hasPoints_ = true;
        minX_ = maxX_ = point.x;
        minY_ = maxY_ = point.y;
        return;
    }
    minX_ = std::min(minX_, point.x);
    maxX_ = std::max(maxX_, point.x);
    minY_ = std::min(minY_, point.y);
    maxY_ = std::max(maxY_, point.y);
}

}  // namespace tessarin
