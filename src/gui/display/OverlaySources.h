#pragma once

// Fills the display's overlays with what the next paint draws: the current decisions,
// the pass course's actions of the current cycle and the present dialog's picks. The
// analysis is read under the log player's lock and copied, so the paint that follows
// holds no lock and never sees data that a producer thread is writing.

namespace tessarin {

class BehaviorAnalyzer;
class FieldOverlays;
class LogPlayer;
struct DecisionInputs;
struct DisplayOptions;
struct FieldScene;

// The decisions that `player` holds for its current record, when the scene shows a
// version-2 sight record; none otherwise. Call with no lock held.
DecisionInputs currentDecisionInputs(const LogPlayer& player, const FieldScene& scene);

// `player` and `analyzer` may be null (nothing loaded, or a display without a game);
// `analyzer` must be the analysis that `player` feeds. Call with no lock held.
void gatherOverlayInputs(FieldOverlays& overlays, const LogPlayer* player, const BehaviorAnalyzer* analyzer,
                         const FieldScene& scene, const DisplayOptions& options, int presentMode);

}  // namespace tessarin
