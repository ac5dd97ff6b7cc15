#include "display/OverlaySources.h"

#include "analysis/BehaviorAnalyzer.h"
#include "display/DisplayOptions.h"
#include "display/FieldScene.h"
#include "display/OverlayPainter.h"
#include "record/LogPlayer.h"

namespace tessarin {

DecisionInputs currentDecisionInputs(const LogPlayer& player, const FieldScene& scene) {
    DecisionInputs decisions;
    if (scene.current && scene.current->kind == kSightRecordV2) {
        decisions.decisions = player.currentDecisions();
        decisions.loaded = {player.decisionsLoaded(DecisionFile::Pass), player.decisionsLoaded(DecisionFile::Intercept),
                            player.decisionsLoaded(DecisionFile::Behave)};
    }
    return decisions;
}

void gatherOverlayInputs(FieldOverlays& overlays, const LogPlayer* player, const BehaviorAnalyzer* analyzer,
                         const FieldScene& scene, const DisplayOptions& options, int presentMode) {
    overlays.setDecisions(player ? currentDecisionInputs(*player, scene) : DecisionInputs{});

    PresentInputs present;
    present.mode = presentMode;
    if (!player || !analyzer) {
        overlays.setPresent(std::move(present));
        return;
    }
    if (options.ControlCourse) {
        const int cycle = scene.current ? recordCycle(*scene.current) : 0;
        overlays.passCourse().append(
            player->withStore([&](const std::vector<cycle_info_t>&) { return courseEventsAt(*analyzer, cycle); }));
    }
    if (presentKind(presentMode) != BB_NONE) {
        present.events = player->withStore([&](const std::vector<cycle_info_t>&) {
            return presentEvents(analyzer->Events(), scene.selected, presentMode);
        });
    } else if (presentMode == kPresentPosition) {
        present.track = player->withStore(
            [&](const std::vector<cycle_info_t>&) { return presentTrack(analyzer->Frames(), scene.selected); });
    }
    overlays.setPresent(std::move(present));
}

}  // namespace tessarin
