#pragma once

// A report list sortable by column: a click on a column's header sorts by that column,
// a further click on it reverses the order. The header marks the sorted column with the
// style's sort indicator. Ctrl+C copies the rows as tab-separated text; every other key goes on to the
// window that holds the list.

#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>
#include <vector>

namespace tessarin {

class CSortedHeaderCtrl final : public QHeaderView {
    Q_OBJECT

public:
    explicit CSortedHeaderCtrl(QWidget* parent = nullptr);

    // A click on column c: the first click on a column (or any click while sort_flag is
    // clear) sets sort_flag, a further click on the same column clears it.
    void clickColumn(int column);
    // Back to the start: nothing sorted, the mark gone.
    void reset();

    // The column sorted by, -1 before the first click.
    int sort_column = -1;
    // Set: decreasing order; clear: increasing order.
    bool sort_flag = true;
};

class CSortedListCtrl : public QTreeWidget {
    Q_OBJECT

public:
    explicit CSortedListCtrl(QWidget* parent = nullptr);

    CSortedHeaderCtrl& sortHeader() const { return *header_; }
    // Clicks a column's header as the user would (header rule, then the list's sort).
    void sortBy(int column);

    // The header line and the selected rows (all rows when none is selected), tab
    // between cells, newline after each line.
    QString rowsAsText() const;

protected:
    // Centred columns with these headers and widths.
    void setColumns(const QStringList& headers, const std::vector<int>& widths);
    // Replaces the texts of row `row`, appending rows as needed.
    void setRowTexts(int row, const QStringList& texts);
    // Sorts the rows by the header's sort_column and sort_flag.
    virtual void SortList() = 0;

    void keyPressEvent(QKeyEvent* event) override;

private:
    CSortedHeaderCtrl* header_ = nullptr;
};

}  // namespace tessarin
