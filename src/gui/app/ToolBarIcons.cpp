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

QIcon textIcon(const QString& text) {
    return drawnIcon([&](QPainter& p) {
        p.setPen(QColor(30, 30, 30));
        QFont font = p.font();
        font.setPixelSize(text.size() > 1 ? 9 : 13);
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

}  // namespace tessarin
