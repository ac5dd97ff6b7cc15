#include "windows/StatListCtrl.h"

namespace tessarin {

CStatListCtrl::CStatListCtrl(QWidget* parent) : CSortedListCtrl(parent) {
    setObjectName(QStringLiteral("1006"));
    setColumns({QStringLiteral("Unum"), QStringLiteral("Pas"), QStringLiteral("Cmp"), QStringLiteral("Sho"),
                QStringLiteral("On"), QStringLiteral("Drb"), QStringLiteral("Cmd"), QStringLiteral("Int"),
                QStringLiteral("Cmi")},
               std::vector<int>(kStatColumns, 60));
    // The table sits on the window's face colour, as a menu does.
    QPalette face = palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    face.setColor(QPalette::AlternateBase, face.color(QPalette::Button));
    setPalette(face);
}

void CStatListCtrl::Fill(const StatTable& table) {
    clear();
    sortHeader().reset();
    table_ = table;
    writeRows();
}

void CStatListCtrl::SortList() {
    if (sortHeader().sort_column >= kStatColumns) return;
    sortStatTable(table_, sortHeader().sort_column, sortHeader().sort_flag);
    writeRows();
}

void CStatListCtrl::writeRows() {
    for (std::size_t r = 0; r < table_.size(); ++r) {
        QStringList texts;
        for (const int cell : table_[r]) texts << QString::number(cell);
        setRowTexts(static_cast<int>(r), texts);
    }
}

}  // namespace tessarin
