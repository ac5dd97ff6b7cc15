#pragma once

// Which selectable object of the current record lies under a client point: a player of
// a show record, or the observer or a seen player of a version-2 sight record.

#include <QPoint>
#include <QString>
#include <optional>

#include "display/FieldScene.h"
#include "display/FieldView.h"
#include "record/DecisionRecords.h"

namespace tessarin {

// The selection index hit, or -1. Players of a show record are tried in index order
// with squares of half side player_size * playerScale; in a version-2 sight record the
// observer (index n, when his confidence is not 0) comes first, then the seen players
// with a confidence, with squares of half side 0.3 * playerScale. Kind-1 records and
// the ball are never hit.
int hitTestScene(const FieldScene& scene, const FieldView& view, double playerScale, QPoint point);

// The hint of the first pass decision whose target lies less than 3 pixels from the
// point, or none.
std::optional<QString> passDecisionHint(const cycle_pass_info& decisions, const FieldView& view, QPoint point);
// The same for intercept decisions and their points.
std::optional<QString> interceptDecisionHint(const cycle_intercept_info& decisions, const FieldView& view,
                                             QPoint point);

}  // namespace tessarin
