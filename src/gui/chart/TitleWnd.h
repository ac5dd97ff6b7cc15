#pragma once

// The chart's title: one line of text, centred, in the chart's font.

#include <QString>
#include <QWidget>

namespace tessarin {

class CTitleWnd final : public QWidget {
public:
    explicit CTitleWnd(QWidget* parent);

    void setText(const QString& text);
    const QString& text() const { return text_; }
    // The height the title needs; 0 without a text.
    int preferredHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace tessarin
