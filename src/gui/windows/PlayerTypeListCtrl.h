#pragma once

// The type explorer's list: one row per player type with its id and eleven parameters,
// sortable by any of them.

#include <vector>

#include "record/GameRecords.h"
#include "windows/SortedListCtrl.h"

namespace tessarin {

// Keeps copies of the shown types in row order; the store's own records stay behind its lock.
class CPlayerTypeListCtrl final : public CSortedListCtrl {
    Q_OBJECT

public:
    explicit CPlayerTypeListCtrl(QWidget* parent = nullptr);

    // Appends a type as the last row.
    void append(const player_type_t& type);
    const std::vector<player_type_t>& types() const { return types_; }

protected:
    void SortList() override;

private:
    void writeRow(int row);

    std::vector<player_type_t> types_;
};

}  // namespace tessarin
