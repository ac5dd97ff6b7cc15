#pragma once

// What the field overlays show, worked out without drawing: the offside lines, each
// player's control cell, the course of the acting side's actions, the intercept point
// to stress, the players a defence decision connects, and the present overlays' picks
// from the analysis. Qt-free, so that the rules are tested on their own.

#include <optional>
#include <string>
#include <vector>

#include "analysis/BasicBehaviorEvent.h"
#include "display/FieldScene.h"
#include "geometry/Vector.h"
#include "record/DecisionRecords.h"
#include "record/SightRecords.h"

namespace tessarin {

class BehaviorAnalyzer;

// One offside line: its x in metres, and whether an attacker is beyond it.
struct OffsideLine {
    double x = 0.0;
    bool offside = false;
};

// The left team's line (the second rearmost left player or the ball, whichever is
// nearer the left goal, never beyond the halfway line) and the right team's, mirrored.
// Players with mode 0 are not on the field and count for neither team.
struct OffsideLines {
    OffsideLine left;
    OffsideLine right;
};
OffsideLines offsideLines(const DisplayState& state);

// The part of the field nearer to player `index` (0..21) than to any of the 11
// opponents, whatever their mode, as the vertices of a convex polygon in boundary order.
std::vector<Vector> controlCell(const DisplayState& state, int index);

// The actions drawn as the pass course: they belong to the side that acted last and
// grow while it keeps acting; the first action of the other side starts a new course.
class PassCourse final {
public:
    // Appends the actions of one cycle in order (events of other kinds are ignored). An
    // action already in the course is not added again: a repaint of the same cycle, or a
    // long action seen on each of its cycles, draws the same line and must not grow the list.
    void append(const std::vector<BasicBehaviorEvent>& events);
    void clear();

    const std::vector<BasicBehaviorEvent>& events() const { return events_; }
    // 1 left, -1 right, 0 before the first action.
    int side() const { return side_; }

private:
    std::vector<BasicBehaviorEvent> events_;
    int side_ = 0;
};

// Whether an event kind is one the pass course shows: a shot, pass, dribble, clearance
// or adjustment.
constexpr bool isCourseKind(int kind) { return kind >= BB_SHOOT && kind <= BB_ADJUST; }

// The actions of `cycle` for the pass course: the left team's uniform numbers 1..11,
// then the right team's, each as BehaviourAt reports it, keeping the course kinds only.
// Call with the lock of the store that feeds `analyzer` held.
std::vector<BasicBehaviorEvent> courseEventsAt(const BehaviorAnalyzer& analyzer, int cycle);

// The intercept decision with the greatest gain (the first of equals), counting only
// gains above -10; -1 when there is none.
int greatestGainIndex(const std::vector<INTERCEPTDECISIONINFO>& decisions);

// Where a defence decision of the observer of `view` is drawn: from the defender to the
// point or the marked opponent. None when the defender is not among the players the
// observer saw; without a target when the opponent to mark is not.
struct DefenseSegment {
    Vector defender;
    std::optional<Vector> target;
    bool point = false;  // target -1: a point to cover
};
std::optional<DefenseSegment> defenseSegment(const SightV2View& view, const DEFENSEDECISIONINFO& decision);
// The label of a decision: its two characters, up to the first 0.
std::string defenseLabel(const DEFENSEDECISIONINFO& decision);

// Present modes, as the present dialog sets them.
enum PresentMode : int {
    kPresentClear = 0,
    kPresentShot = 1,
    kPresentDribble = 2,
    kPresentPass = 3,
    kPresentIntercept = 4,
    kPresentPosition = 5,
};
inline constexpr int kPresentModeCount = 6;

// The behaviour kind a present mode 1..4 shows; BB_NONE for the others.
int presentKind(int mode);
// The events of the selected player with the kind of `mode` (1..4); none when no player
// is selected or the mode shows no events.
std::vector<BasicBehaviorEvent> presentEvents(const std::vector<BasicBehaviorEvent>& events, int selected, int mode);
// The positions of the selected object (a player 0..21 or the ball 22) in every frame;
// none for any other selection.
std::vector<Vector> presentTrack(const std::vector<PointFrameT>& frames, int selected);

}  // namespace tessarin
