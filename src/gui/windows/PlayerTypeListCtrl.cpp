#include "windows/PlayerTypeListCtrl.h"

#include "analysis/StatisticTables.h"

namespace tessarin {

CPlayerTypeListCtrl::CPlayerTypeListCtrl(QWidget* parent) : CSortedListCtrl(parent) {
    setObjectName(QStringLiteral("1006"));
    std::vector<int> widths(kTypeColumns, 120);
    widths[0] = 40;
    setColumns({QStringLiteral("id"), QStringLiteral("player_speed_max"), QStringLiteral("stamina_inc_max"),
                QStringLiteral("player_decay"), QStringLiteral("inertia_moment"), QStringLiteral("dash_power_rate"),
                QStringLiteral("player_size"), QStringLiteral("kickable_margin"), QStringLiteral("kick_rand"),
                QStringLiteral("extra_stamina"), QStringLiteral("effort_max"), QStringLiteral("effort_min")},
               widths);
}

void CPlayerTypeListCtrl::append(const player_type_t& type) {
    types_.push_back(type);
    writeRow(static_cast<int>(types_.size()) - 1);
}

void CPlayerTypeListCtrl::SortList() {
    if (types_.empty()) return;
    sortPlayerTypes(types_, sortHeader().sort_column, sortHeader().sort_flag);
    for (int row = 0; row < static_cast<int>(types_.size()); ++row) writeRow(row);
}

void CPlayerTypeListCtrl::writeRow(int row) {
    QStringList texts;
    for (int c = 0; c < kTypeColumns; ++c) {
        texts << QString::fromStdString(playerTypeText(types_[static_cast<std::size_t>(row)], c));
    }
    setRowTexts(row, texts);
}

}  // namespace tessarin
