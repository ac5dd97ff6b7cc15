#include "windows/TypeExplorer.h"

#include <QVBoxLayout>

#include "analysis/StatisticTables.h"
#include "record/LogPlayer.h"
#include "settings/Profile.h"
#include "settings/WindowPlacement.h"
#include "windows/PlayerTypeListCtrl.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("TypeExplorer");

}  // namespace

CTypeExplorer::CTypeExplorer(const LogPlayer& player, Profile& profile, QWidget* parent)
    : ForwardingDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      profile_(profile),
      list_(new CPlayerTypeListCtrl(this)) {
    setWindowTitle(tr("Type Explorer"));
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list_);
    // 381 x 141 dialog units.
    resize(572, 229);
    restorePlacement(*this, profile_, kSection);

    const std::vector<player_type_t> types = player.player_types();
    for (int id = 0; id < kListedTypeIds; ++id) {
        if (const std::optional<player_type_t> type = findPlayerType(types, id)) list_->append(*type);
    }
}

CTypeExplorer::~CTypeExplorer() = default;

void CTypeExplorer::hideEvent(QHideEvent* event) {
    savePlacement(*this, profile_, kSection);
    ForwardingDialog::hideEvent(event);
}

}  // namespace tessarin
