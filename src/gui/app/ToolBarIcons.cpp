#include "app/ToolBarIcons.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace tessarin {

QIcon drawnIcon(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return QIcon(pixmap);
}

QIcon playerIcon(const QColor& fill, const QString& text) {
    return drawnIcon([&](QPainter& p) {
        p.setPen(Qt::black);
        p.setBrush(fill);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        QFont font = p.font();
        font.setPixelSize(text.size() > 1 ? 8 : 10);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
    });
}

QIcon reverseIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 30));
        const QPointF triangle[] = {{12, 3}, {12, 13}, {4, 8}};
        p.drawPolygon(triangle, 3);
    });
}

QIcon kickMarginIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QColor(30, 30, 30));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(QColor(255, 255, 10));
        p.drawEllipse(QRectF(5, 5, 6, 6));
    });
}

namespace {

const QColor kInk(30, 30, 30);
const QColor kGrass(0, 128, 0);

}  // namespace

QIcon typeTableIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(kInk);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.fillRect(QRectF(2, 3, 12, 3), QColor(120, 150, 220));
        for (const double y : {8.5, 11.0}) p.drawLine(QPointF(2, y), QPointF(14, y));
        p.drawLine(QPointF(6.5, 3), QPointF(6.5, 13));
        p.drawLine(QPointF(10.5, 3), QPointF(10.5, 13));
    });
}

QIcon detailsIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(kInk);
        p.setBrush(QColor(255, 255, 220));
        p.drawRect(QRectF(4.5, 1.5, 10, 13));
        for (const double y : {4.5, 7.5, 10.5}) p.drawLine(QPointF(6.5, y), QPointF(12.5, y));
        p.setBrush(QColor(255, 255, 10));
        p.drawEllipse(QRectF(0.5, 9.5, 5, 5));
    });
}

QIcon statisticsIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(kInk);
        p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawRect(QRectF(2, 7, 3, 7));
        p.setBrush(QColor(0, 180, 0));
        p.drawRect(QRectF(6.5, 3, 3, 11));
        p.setBrush(QColor(220, 0, 0));
        p.drawRect(QRectF(11, 9, 3, 5));
    });
}

QIcon presentIcon() {
    return drawnIcon([](QPainter& p) {
        p.fillRect(QRectF(0, 2, 16, 12), kGrass);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawLine(QPointF(3, 11), QPointF(12, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        const QPointF head[] = {{14, 4}, {9.5, 4.5}, {12, 8}};
        p.drawPolygon(head, 3);
        p.setBrush(QColor(255, 255, 10));
        p.drawEllipse(QPointF(3, 11), 2, 2);
    });
}

QIcon jumpIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(1, 10), QPointF(15, 10));
        p.setPen(kInk);
        p.setBrush(QColor(120, 150, 220));
        const QPointF thumb[] = {{8, 14.5}, {5, 11}, {5, 5.5}, {11, 5.5}, {11, 11}};
        p.drawPolygon(thumb, 5);
    });
}

QIcon speedIcon(bool faster) {
    return drawnIcon([faster](QPainter& p) {
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(1.5, 3.5, 13, 13), 0, 180 * 16);
        p.setPen(QPen(faster ? QColor(0, 160, 0) : QColor(200, 0, 0), 2));
        p.drawLine(QPointF(8, 10), faster ? QPointF(12.5, 5.5) : QPointF(3.5, 5.5));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(8, 10), 1.5, 1.5);
    });
}

QIcon defenseIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(kInk);
        p.setBrush(QColor(200, 0, 200));
        const QPointF shield[] = {{8, 1}, {14, 3}, {13, 10}, {8, 15}, {3, 10}, {2, 3}};
        p.drawPolygon(shield, 6);
    });
}

QIcon drawingToolsIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(kInk);
        p.setBrush(QColor(240, 200, 60));
        const QPointF pencil[] = {{11, 1.5}, {14.5, 5}, {5, 14.5}, {1.5, 14.5}, {1.5, 11}};
        p.drawPolygon(pencil, 5);
        p.drawLine(QPointF(1.5, 11), QPointF(5, 14.5));
    });
}

QIcon circleIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 2, 2);
    });
}

QIcon zoomIcon(bool in) {
    return drawnIcon([in](QPainter& p) {
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
        p.drawLine(QPointF(10, 10), QPointF(15, 15));
        p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
        if (in) p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
    });
}

QIcon trainerIcon(bool connect) {
    return drawnIcon([connect](QPainter& p) {
        p.setPen(kInk);
        p.setBrush(QColor(255, 140, 0));
        const QPointF cone[] = {{5, 2}, {9, 13}, {1, 13}};
        p.drawPolygon(cone, 3);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 11), 3, 3);
        if (!connect) {
            p.setPen(QPen(QColor(200, 0, 0), 2));
            p.drawLine(QPointF(2, 2), QPointF(14, 14));
        }
    });
}

}  // namespace tessarin
