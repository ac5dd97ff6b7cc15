#include "chart/ChartCtrl.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>

#include "chart/ChartWnd.h"
#include "chart/LegendWnd.h"
#include "chart/TitleWnd.h"

namespace tessarin {

CChartCtrl::CChartCtrl(QWidget* parent)
    : QWidget(parent),
      title_(new CTitleWnd(this)),
      legend_(new CLegendWnd(this)),
      plot_(new CChartWnd(data_, xScale_, yScale_, this)) {
    // Keys belong to whoever holds the chart.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    setMinimumSize(160, 120);
}

CChartCtrl::~CChartCtrl() = default;

void CChartCtrl::SetChartType(int kind) {
    plot_->setKind(kind);
    plot_->update();
}

int CChartCtrl::chartType() const { return plot_->kind(); }

void CChartCtrl::SetTitle(const QString& title) { title_->setText(title); }

QString CChartCtrl::title() const { return title_->text(); }

void CChartCtrl::SetRange(ChartAxis axis, double minimum, double maximum) {
    scale(axis).setRange(minimum, maximum);
    plot_->update();
}

void CChartCtrl::SetStep(ChartAxis axis, double step) { scale(axis).setStep(step); }

void CChartCtrl::RemoveAllSeries() {
    data_.removeAll();
    legend_->clear();
}

int CChartCtrl::AddSeries(const QString& name, QColor colour) {
    legend_->add({name, colour});
    return data_.add(name, colour);
}

bool CChartCtrl::AddPoint(int index, double x, double y) { return data_.addPoint(index, {x, y}); }

void CChartCtrl::Refresh() {
    const int titleHeight = title_->preferredHeight();
    const int legendHeight = legend_->preferredHeight();
    title_->setGeometry(0, 0, width(), titleHeight);
    legend_->setGeometry(0, titleHeight, width(), legendHeight);
    plot_->setGeometry(0, titleHeight + legendHeight, width(), std::max(0, height() - titleHeight - legendHeight));
    title_->update();
    legend_->update();
    plot_->update();
}

bool CChartCtrl::SaveImage(const QString& path) {
    Refresh();
    const QImage image = grab().toImage();
    return !image.isNull() && image.save(path, "PNG");
}

void CChartCtrl::saveImageWithDialog() {
    std::optional<QString> path;
    if (askPath_) {
        path = askPath_();
    } else {
        const QString chosen =
            QFileDialog::getSaveFileName(this, tr("Save image"), QString(), tr("PNG images (*.png)"));
        if (!chosen.isEmpty()) path = chosen;
    }
    if (!path || path->isEmpty()) return;
    if (!path->endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path->append(QStringLiteral(".png"));
    if (!SaveImage(*path)) QMessageBox::warning(this, tr("Save image"), tr("%1 could not be written.").arg(*path));
}

void CChartCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Refresh();
}

void CChartCtrl::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* save = menu.addAction(tr("Save image…"));
    if (menu.exec(event->globalPos()) == save) saveImageWithDialog();
}

}  // namespace tessarin
