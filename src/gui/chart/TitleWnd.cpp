#include "chart/TitleWnd.h"

#include <QPainter>

#include "chart/ChartFont.h"

namespace tessarin {

CTitleWnd::CTitleWnd(QWidget* parent) : QWidget(parent) { setFont(chartFont(10, true)); }

void CTitleWnd::setText(const QString& text) {
    text_ = text;
    update();
}

int CTitleWnd::preferredHeight() const { return text_.isEmpty() ? 0 : fontMetrics().height() + 6; }

void CTitleWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text_);
}

}  // namespace tessarin
