#pragma once

// The display's hint: a small framed text that sits just above a point of the field,
// centred on it. A child widget of the display, so it never leaves the field's window.

#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>

namespace tessarin {

class CHintWindow final : public QWidget {
    Q_OBJECT

public:
    explicit CHintWindow(QWidget* display);

    // Shows `text` with its bottom edge at the point's row, centred on its column. A hint
    // already visible with the same point and text stays as it is.
    void ShowHint(QPoint point, const QString& text);
    const QString& text() const { return text_; }
    // The hint font: "MS Sans Serif" is a Windows face, so the nearest sans
    // face that Qt finds is used, 15 pixels high, normal weight.
    static QFont hintFont();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QPoint point_;
    QFont font_;
};

// The display's zoom cursors: a magnifier with a plus (zoom in) or a minus (zoom out).
QCursor zoomInCursor();
QCursor zoomOutCursor();

}  // namespace tessarin
