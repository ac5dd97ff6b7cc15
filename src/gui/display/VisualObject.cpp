#include "display/VisualObject.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "display/FieldPainter.h"

namespace tessarin {

namespace {

QString format2(const char* pattern, double a, double b) { return QString::asprintf(pattern, a, b); }

int pixelDistance(QPoint a, QPoint b) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

}  // namespace

void CVisualObject::Draw(QPainter&) const {}
void CVisualObject::Track(Qt::KeyboardModifiers, QPoint) {}
bool CVisualObject::HitTest(Qt::KeyboardModifiers, QPoint) const { return false; }
QString CVisualObject::Describe() const { return QStringLiteral("Should Not Show This Text"); }

QString CVisualObject::worldPoint(QPoint pixel) const {
    return format2("(%.2f,%.2f)", view().ToWorldX(pixel.x()), view().ToWorldY(pixel.y()));
}

bool inSquareOfThree(QPoint centre, QPoint point) {
    return point.x() >= centre.x() - 3 && point.x() < centre.x() + 3 && point.y() >= centre.y() - 3 &&
           point.y() < centre.y() + 3;
}

bool onSegmentLine(QPoint a, QPoint b, QPoint point) {
    const int dx = b.x() - a.x();
    const int dy = b.y() - a.y();
    if (dx == 0 && dy == 0) return std::abs(point.x() - a.x()) < 4 && std::abs(point.y() - a.y()) < 4;
    if (std::abs(dy) >= std::abs(dx)) return std::abs(dx * (point.y() - a.y()) / dy + a.x() - point.x()) < 4;
    return std::abs(dy * (point.x() - a.x()) / dx + a.y() - point.y()) < 4;
}

// Point.

void CVisualPoint::Draw(QPainter& painter) const {
    painter.setPen(selected_ ? palette().redPen : palette().whitePen);
    painter.setBrush(selected_ ? palette().magentaBrush : palette().cyanBrush);
    painter.drawEllipse(circleBox(point_.x(), point_.y(), 3));
    painter.setPen(QColor(0, 0, 0));
    painter.drawPoint(point_);
}

void CVisualPoint::Track(Qt::KeyboardModifiers, QPoint point) { selected_ = inSquareOfThree(point_, point); }

bool CVisualPoint::HitTest(Qt::KeyboardModifiers, QPoint point) const { return inSquareOfThree(point_, point); }

QString CVisualPoint::Describe() const { return worldPoint(point_); }

// Line.

void CVisualLine::Draw(QPainter& painter) const {
    if (!finished_) return;
    painter.setPen(selected_ ? palette().redPen : palette().whitePen);
    painter.drawLine(start_, end_);
}

void CVisualLine::Track(Qt::KeyboardModifiers flags, QPoint point) {
    if (finished_) {
        selected_ = HitTest(flags, point);
        return;
    }
    if (point == start_) return;
    end_ = point;
    finished_ = true;
    selected_ = true;
    const double dx = view().ToWorldX(end_.x()) - view().ToWorldX(start_.x());
    const double dy = view().ToWorldY(end_.y()) - view().ToWorldY(start_.y());
    length_ = std::sqrt(dx * dx + dy * dy);
    angle_ = length_ > 0 ? std::asin(std::clamp(dy / length_, -1.0, 1.0)) * 180.0 / kDisplayPi : 0.0;
    if (view().ToWorldX(end_.x()) < view().ToWorldX(start_.x())) angle_ = angle_ > 0 ? 180 - angle_ : -180 - angle_;
}

bool CVisualLine::HitTest(Qt::KeyboardModifiers, QPoint point) const {
    if (!finished_) return false;
    const int minX = std::min(start_.x(), end_.x());
    const int maxX = std::max(start_.x(), end_.x());
    const int minY = std::min(start_.y(), end_.y());
    const int maxY = std::max(start_.y(), end_.y());
    if (point.x() < minX - 3 || point.y() < minY - 3 || point.x() > maxX + 3 || point.y() > maxY + 3) return false;
    return onSegmentLine(start_, end_, point);
}

QString CVisualLine::Describe() const {
    return QString::asprintf("(%.2f,%.2f)->(%.2f,%.2f) (L:%.2f) (A:%.2f)", view().ToWorldX(start_.x()),
                             view().ToWorldY(start_.y()), view().ToWorldX(end_.x()), view().ToWorldY(end_.y()), length_,
                             angle_);
}

// Rectangle.

void CVisualRect::Draw(QPainter& painter) const {
    if (!finished_) return;
    painter.setPen(selected_ ? palette().redPen : palette().whitePen);
    const QPoint corners[] = {{left_, top_}, {right_, top_}, {right_, bottom_}, {left_, bottom_}, {left_, top_}};
    painter.drawPolyline(corners, 5);
}

void CVisualRect::Track(Qt::KeyboardModifiers flags, QPoint point) {
    if (finished_) {
        selected_ = HitTest(flags, point);
        return;
    }
    if (point == corner_) return;
    left_ = std::min(corner_.x(), point.x());
    top_ = std::min(corner_.y(), point.y());
    right_ = std::max(corner_.x(), point.x());
    bottom_ = std::max(corner_.y(), point.y());
    finished_ = true;
    selected_ = true;
}

bool CVisualRect::HitTest(Qt::KeyboardModifiers, QPoint point) const {
    if (!finished_) return false;
    if (point.x() < left_ - 3 || point.x() >= right_ + 3 || point.y() < top_ - 3 || point.y() >= bottom_ + 3) {
        return false;
    }
    const QPoint lt(left_, top_), rt(right_, top_), rb(right_, bottom_), lb(left_, bottom_);
    return onSegmentLine(lt, rt, point) || onSegmentLine(rt, rb, point) || onSegmentLine(rb, lb, point) ||
           onSegmentLine(lb, lt, point);
}

QString CVisualRect::Describe() const {
    const double x1 = view().ToWorldX(left_);
    const double y1 = view().ToWorldY(top_);
    const double x2 = view().ToWorldX(right_);
    const double y2 = view().ToWorldY(bottom_);
    return QString::asprintf("(%.2f,%.2f) (%.2f,%.2f) (%.2f*%.2f)", x1, y1, x2, y2, x2 - x1, y2 - y1);
}

// Circle.

void CVisualCircle::Draw(QPainter& painter) const {
    if (!finished_) return;
    painter.setPen(selected_ ? palette().redPen : palette().whitePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circleBox(centre_.x(), centre_.y(), radius_));
}

void CVisualCircle::Track(Qt::KeyboardModifiers flags, QPoint point) {
    if (finished_) {
        selected_ = HitTest(flags, point);
        return;
    }
    if (point == centre_) return;
    radius_ = pixelDistance(centre_, point);
    finished_ = true;
    selected_ = true;
}

bool CVisualCircle::HitTest(Qt::KeyboardModifiers, QPoint point) const {
    if (!finished_) return false;
    return std::abs(pixelDistance(centre_, point) - radius_) < 4;
}

QString CVisualCircle::Describe() const {
    const double radius = view().ToWorldX(centre_.x()) - view().ToWorldX(centre_.x() - radius_);
    return QString::asprintf("(%.2f,%.2f) (%.2f)", view().ToWorldX(centre_.x()), view().ToWorldY(centre_.y()), radius);
}

std::unique_ptr<CVisualObject> makeVisualObject(int tool, const FieldRenderer& renderer, QPoint point) {
    switch (tool) {
        case kToolPoint:
            return std::make_unique<CVisualPoint>(renderer, point);
        case kToolLine:
            return std::make_unique<CVisualLine>(renderer, point);
        case kToolRect:
            return std::make_unique<CVisualRect>(renderer, point);
        case kToolCircle:
            return std::make_unique<CVisualCircle>(renderer, point);
        default:
            return nullptr;
    }
}

bool VisualObjectList::track(Qt::KeyboardModifiers flags, QPoint point) {
    for (const auto& object : objects_) object->Track(flags, point);
    return std::any_of(objects_.begin(), objects_.end(), [](const auto& object) { return object->IsSelected(); });
}

const CVisualObject* VisualObjectList::hit(Qt::KeyboardModifiers flags, QPoint point) const {
    for (const auto& object : objects_) {
        if (object->HitTest(flags, point)) return object.get();
    }
    return nullptr;
}

bool VisualObjectList::deleteSelected() {
    const auto removed = std::erase_if(objects_, [](const auto& object) { return object->IsSelected(); });
    return removed > 0;
}

void VisualObjectList::draw(QPainter& painter, const FieldView&, const FieldScene&, const DisplayOptions&) {
    for (const auto& object : objects_) object->Draw(painter);
}

}  // namespace tessarin
