#pragma once

// The statistics dialog's per-player table of one team: nine centred columns, one row per
// uniform number, sortable by any column.

#include "analysis/StatisticTables.h"
#include "windows/SortedListCtrl.h"

namespace tessarin {

class CStatListCtrl final : public CSortedListCtrl {
    Q_OBJECT

public:
    explicit CStatListCtrl(QWidget* parent = nullptr);

    // Replaces the rows with the table's, in uniform-number order; the header no longer
    // marks a sorted column.
    void Fill(const StatTable& table);
    const StatTable& table() const { return table_; }

protected:
    void SortList() override;

private:
    void writeRows();

    StatTable table_{};
};

}  // namespace tessarin
