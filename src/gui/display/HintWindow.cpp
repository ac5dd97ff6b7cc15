#include "display/HintWindow.h"

#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

namespace tessarin {

CHintWindow::CHintWindow(QWidget* display) : QWidget(display), font_(hintFont()) {
    setWindowTitle(QStringLiteral("Hint"));
    setGeometry(0, 0, 10, 10);
    // The hint shows what lies under the mouse; it must never take the mouse away from the field.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

QFont CHintWindow::hintFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(15);
    font.setWeight(QFont::Normal);
    return font;
}

void CHintWindow::ShowHint(QPoint point, const QString& text) {
    if (isVisible() && point == point_ && text == text_) return;
    hide();
    point_ = point;
    text_ = text;
    const QFontMetrics metrics(font_);
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    const int left = point.x() - w / 2;
    const int top = point.y() - h;
    setGeometry(QRect(left, top, w, h).adjusted(-2, -2, 2, 2));
    show();
    raise();
}

void CHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(QColor(0, 0, 0), 1));
    painter.setBrush(QColor(255, 255, 225));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(font_);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(QRect(2, 2, width() - 2, height() - 2), static_cast<int>(Qt::AlignLeft | Qt::AlignTop), text_);
}

namespace {

QCursor magnifier(bool plus) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A white halo under the black strokes keeps the cursor visible on the dark field.
    for (const auto& [colour, width] : {std::pair{QColor(255, 255, 255), 4}, std::pair{QColor(0, 0, 0), 2}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(3, 3, 17, 17));
        painter.drawLine(QPointF(18, 18), QPointF(28, 28));
        painter.drawLine(QPointF(7.5, 11.5), QPointF(15.5, 11.5));
        if (plus) painter.drawLine(QPointF(11.5, 7.5), QPointF(11.5, 15.5));
    }
    painter.end();
    // The hot spot is the centre of the lens.
    return QCursor(pixmap, 11, 11);
}

}  // namespace

QCursor zoomInCursor() { return magnifier(true); }
QCursor zoomOutCursor() { return magnifier(false); }

}  // namespace tessarin
