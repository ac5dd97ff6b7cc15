#include "windows/SortedListCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <algorithm>

namespace tessarin {

CSortedHeaderCtrl::CSortedHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignCenter);
    // The style's own indicator: the header keeps room for it beside the text.
    setSortIndicatorShown(true);
    setSortIndicator(-1, Qt::DescendingOrder);
}

void CSortedHeaderCtrl::clickColumn(int column) {
    sort_flag = column != sort_column || !sort_flag;
    sort_column = column;
    setSortIndicator(column, sort_flag ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CSortedHeaderCtrl::reset() {
    sort_column = -1;
    sort_flag = true;
    setSortIndicator(-1, Qt::DescendingOrder);
}

CSortedListCtrl::CSortedListCtrl(QWidget* parent) : QTreeWidget(parent), header_(new CSortedHeaderCtrl(this)) {
    setHeader(header_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    // The list sorts itself; the view's own sorting would also make the header unclickable.
    setSortingEnabled(false);
    header_->setSectionsClickable(true);
    header_->setSortIndicatorShown(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setFocusPolicy(Qt::ClickFocus);
    connect(header_, &QHeaderView::sectionClicked, this, &CSortedListCtrl::sortBy);
}

void CSortedListCtrl::sortBy(int column) {
    header_->clickColumn(column);
    SortList();
}

void CSortedListCtrl::setColumns(const QStringList& headers, const std::vector<int>& widths) {
    setColumnCount(static_cast<int>(headers.size()));
    setHeaderLabels(headers);
    for (int c = 0; c < headers.size(); ++c) {
        if (static_cast<std::size_t>(c) < widths.size()) setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
        headerItem()->setTextAlignment(c, Qt::AlignCenter);
    }
}

void CSortedListCtrl::setRowTexts(int row, const QStringList& texts) {
    while (topLevelItemCount() <= row) addTopLevelItem(new QTreeWidgetItem);
    QTreeWidgetItem* item = topLevelItem(row);
    for (int c = 0; c < texts.size(); ++c) {
        item->setText(c, texts[c]);
        item->setTextAlignment(c, Qt::AlignCenter);
    }
}

QString CSortedListCtrl::rowsAsText() const {
    QStringList lines;
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c) cells << headerItem()->text(c);
    lines << cells.join(QLatin1Char('\t'));
    bool anySelected = false;
    for (int r = 0; r < topLevelItemCount(); ++r) anySelected = anySelected || topLevelItem(r)->isSelected();
    for (int r = 0; r < topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = topLevelItem(r);
        if (anySelected && !item->isSelected()) continue;
        cells.clear();
        for (int c = 0; c < columnCount(); ++c) cells << item->text(c);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CSortedListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(rowsAsText());
        event->accept();
        return;
    }
    // The game's keys: the window that holds the list passes them on.
    event->ignore();
}

}  // namespace tessarin
