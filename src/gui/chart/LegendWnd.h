#pragma once

// The chart's legend: one entry per series, a swatch of its colour and its name, in a row.

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

namespace tessarin {

struct CLegendText {
    QString name;
    QColor colour;
};

class CLegendWnd final : public QWidget {
public:
    explicit CLegendWnd(QWidget* parent);

    void add(CLegendText entry);
    void clear();
    const std::vector<CLegendText>& entries() const { return entries_; }
    // The height the legend needs; 0 when it is empty.
    int preferredHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<CLegendText> entries_;
};

}  // namespace tessarin
