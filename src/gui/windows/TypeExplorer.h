#pragma once

// The type explorer: a modeless tool window listing the loaded game's player types 0..6
// with their parameters, sortable by any column. It reads copies of the types and
// changes nothing.

#include "windows/ForwardingDialog.h"

namespace tessarin {

class CPlayerTypeListCtrl;
class LogPlayer;
class Profile;

class CTypeExplorer final : public ForwardingDialog {
    Q_OBJECT

public:
    // Lists the first stored type of each id 0..6, in id order; the window's size and place
    // are kept in `profile`.
    CTypeExplorer(const LogPlayer& player, Profile& profile, QWidget* parent = nullptr);
    ~CTypeExplorer() override;

    CPlayerTypeListCtrl& list() const { return *list_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    Profile& profile_;
    CPlayerTypeListCtrl* list_ = nullptr;
};

}  // namespace tessarin
