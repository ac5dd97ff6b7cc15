#pragma once

// The user's drawings on the field: points, lines, rectangles and circles. Their
// positions are client pixels of the display, so after a zoom or a resize they stay
// where they are on screen and describe the world point now under them. Each reports
// its size and position in field metres.

#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

#include "display/FieldRenderer.h"

namespace tessarin {

// Base of the drawings; never made by itself. Holds the renderer whose mapping and
// palette it uses (not owned; it outlives every drawing of its display).
class CVisualObject {
public:
    explicit CVisualObject(const FieldRenderer& renderer) : renderer_(renderer) {}
    virtual ~CVisualObject() = default;
    CVisualObject(const CVisualObject&) = delete;
    CVisualObject& operator=(const CVisualObject&) = delete;

    virtual void Draw(QPainter& painter) const;
    // A left click reached the object.
    virtual void Track(Qt::KeyboardModifiers flags, QPoint point);
    virtual bool HitTest(Qt::KeyboardModifiers flags, QPoint point) const;
    virtual bool IsSelected() const { return selected_; }
    virtual QString Describe() const;

protected:
    const FieldView& view() const { return renderer_.view(); }
    const DisplayPalette& palette() const { return renderer_.palette(); }
    // "(%.2f,%.2f)" of the world point under a client pixel.
    QString worldPoint(QPoint pixel) const;

    bool selected_ = false;

private:
    const FieldRenderer& renderer_;
};

// Whether `point` lies in the square of half side 3 around `centre` (left and top
// edges included, right and bottom excluded).
bool inSquareOfThree(QPoint centre, QPoint point);
// Whether `point` lies within 4 pixels of the straight line through `a` and `b`, in
// integer arithmetic. A degenerate segment (a == b) is tested as a point.
bool onSegmentLine(QPoint a, QPoint b, QPoint point);

class CVisualPoint final : public CVisualObject {
public:
    CVisualPoint(const FieldRenderer& renderer, QPoint point) : CVisualObject(renderer), point_(point) {}
    void Draw(QPainter& painter) const override;
    void Track(Qt::KeyboardModifiers flags, QPoint point) override;
    bool HitTest(Qt::KeyboardModifiers flags, QPoint point) const override;
    QString Describe() const override;

private:
    QPoint point_;
};

class CVisualLine final : public CVisualObject {
public:
    CVisualLine(const FieldRenderer& renderer, QPoint start) : CVisualObject(renderer), start_(start) {}
    void Draw(QPainter& painter) const override;
    void Track(Qt::KeyboardModifiers flags, QPoint point) override;
    bool HitTest(Qt::KeyboardModifiers flags, QPoint point) const override;
    QString Describe() const override;
    bool finished() const { return finished_; }
    double length() const { return length_; }  // metres
    double angle() const { return angle_; }    // degrees

private:
    QPoint start_;
    QPoint end_;
    bool finished_ = false;
    double length_ = 0;
    double angle_ = 0;
};

class CVisualRect final : public CVisualObject {
public:
    CVisualRect(const FieldRenderer& renderer, QPoint corner) : CVisualObject(renderer), corner_(corner) {}
    void Draw(QPainter& painter) const override;
    void Track(Qt::KeyboardModifiers flags, QPoint point) override;
    bool HitTest(Qt::KeyboardModifiers flags, QPoint point) const override;
    QString Describe() const override;
    bool finished() const { return finished_; }

private:
    QPoint corner_;
    // Edges in client pixels: left, top, right, bottom.
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    bool finished_ = false;
};

class CVisualCircle final : public CVisualObject {
public:
    CVisualCircle(const FieldRenderer& renderer, QPoint centre) : CVisualObject(renderer), centre_(centre) {}
    void Draw(QPainter& painter) const override;
    void Track(Qt::KeyboardModifiers flags, QPoint point) override;
    bool HitTest(Qt::KeyboardModifiers flags, QPoint point) const override;
    QString Describe() const override;
    bool finished() const { return finished_; }
    int radius() const { return radius_; }  // pixels

private:
    QPoint centre_;
    int radius_ = 0;
    bool finished_ = false;
};

// Tools of the drawing box.
enum DrawingTool : int {
    kToolSelect = 0,
    kToolPoint = 1,
    kToolLine = 2,
    kToolRect = 3,
    kToolCircle = 4,
    kToolNone = 5
};

// A new drawing of the tool's kind at a client point, or none for tools 0 and 5.
std::unique_ptr<CVisualObject> makeVisualObject(int tool, const FieldRenderer& renderer, QPoint point);

// The display's drawings, owned, in the order they were made: drawn, hit and clicked
// in that order.
class VisualObjectList final : public FieldOverlay {
public:
    void append(std::unique_ptr<CVisualObject> object) { objects_.push_back(std::move(object)); }
    // Gives a click to every drawing in order; true when afterwards any reports itself selected.
    bool track(Qt::KeyboardModifiers flags, QPoint point);
    // The first drawing under the point, or none.
    const CVisualObject* hit(Qt::KeyboardModifiers flags, QPoint point) const;
    // Destroys every selected drawing; true when any was removed.
    bool deleteSelected();
    std::size_t size() const { return objects_.size(); }
    const CVisualObject& at(std::size_t i) const { return *objects_[i]; }

    void draw(QPainter& painter, const FieldView& view, const FieldScene& scene,
              const DisplayOptions& options) override;

private:
    std::vector<std::unique_ptr<CVisualObject>> objects_;
};

}  // namespace tessarin
