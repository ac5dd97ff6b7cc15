#include "windows/DrawingBox.h"

#include <QButtonGroup>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include "display/VisualObject.h"

namespace tessarin {

namespace {

constexpr int kButtonSide = 32;
constexpr int kButtonStep = 36;

// The icon of a tool, drawn as the drawing itself looks on the field.
QIcon toolIcon(int tool) {
    QPixmap pixmap(24, 24);
    pixmap.fill(QColor(0, 96, 0));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255), 2));
    switch (tool) {
        case kToolSelect:  // an arrow
            painter.setBrush(QColor(255, 255, 255));
            painter.drawPolygon(QPolygonF({{6, 3}, {6, 19}, {10, 15}, {14, 21}, {16, 20}, {12, 14}, {18, 14}}));
            break;
        case kToolPoint:
            painter.setBrush(QColor(128, 255, 255));
            painter.drawEllipse(QPointF(12, 12), 4, 4);
            break;
        case kToolLine:
            painter.drawLine(QPointF(4, 19), QPointF(20, 5));
            break;
        case kToolRect:
            painter.drawRect(QRectF(4, 6, 16, 12));
            break;
        case kToolCircle:
            painter.drawEllipse(QPointF(12, 12), 8, 8);
            break;
        default:  // makes nothing: a crossed circle
            painter.setPen(QPen(QColor(200, 0, 0), 2));
            painter.drawEllipse(QPointF(12, 12), 8, 8);
            painter.drawLine(QPointF(6.5, 17.5), QPointF(17.5, 6.5));
            break;
    }
    return QIcon(pixmap);
}

}  // namespace

CDrawingBox::CDrawingBox(QWidget* display)
    : ForwardingDialog(display, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(tr("Drawing Tools"));
    setAcceptDrops(true);
    buttons_ = new QButtonGroup(this);
    buttons_->setExclusive(true);
    // Button id, tool and tip, left to right.
    const struct {
        int id;
        int tool;
        const char* tip;
    } layout[] = {{1027, kToolSelect, "Select"},  {1024, kToolPoint, "Point"},   {1023, kToolLine, "Line"},
                  {1026, kToolRect, "Rectangle"}, {1025, kToolCircle, "Circle"}, {1028, kToolNone, "No drawing"}};
    int x = 0;
    for (const auto& entry : layout) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::number(entry.id));
        button->setCheckable(true);
        button->setIcon(toolIcon(entry.tool));
        button->setIconSize(QSize(24, 24));
        button->setToolTip(tr(entry.tip));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(x, 0, kButtonSide, kButtonSide);
        buttons_->addButton(button, entry.tool);
        x += kButtonStep;
    }
    setFixedSize(x - (kButtonStep - kButtonSide), kButtonSide);
    setTool(kToolSelect);
    connect(buttons_, &QButtonGroup::idClicked, this, [this](int id) {
        tool_ = id;
        emit toolChanged(id);
    });
}

void CDrawingBox::setTool(int tool) {
    if (QAbstractButton* button = buttons_->button(tool)) {
        button->setChecked(true);
        tool_ = tool;
        emit toolChanged(tool);
    }
}

void CDrawingBox::reject() {
    setTool(kToolSelect);
    hide();
}

}  // namespace tessarin
