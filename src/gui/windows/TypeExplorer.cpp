#include "windows/TypeExplorer.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

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
    // 141 dialog units high, and wide enough for all twelve columns as far as the screen allows.
    const QMargins margins = layout->contentsMargins();
    const int columns = list_->header()->length() + 2 * list_->frameWidth() +
                        list_->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() * 9 / 10 : columns;
    resize(std::max(572, std::min(columns, widest)), 229);
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
