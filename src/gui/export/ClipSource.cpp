#include "export/ClipSource.h"

#include <algorithm>
#include <chrono>
#include <iterator>

#include "analysis/BehaviorAnalyzer.h"
#include "record/LogPlayer.h"

namespace tessarin {

std::optional<ClipRange> clipRange(const std::vector<cycle_info_t>& frames, int from, int to) {
    std::optional<std::size_t> first;
    std::optional<std::size_t> last;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const int cycle = recordCycle(frames[i]);
        if (cycle < from || cycle > to) continue;
        if (!first) first = i;
        last = i;
    }
    if (!first) return std::nullopt;
    return ClipRange{*first, *last};
}

QString describeClipLook(const ClipLook& look) {
    const DisplayOptions& o = look.options;
    const std::pair<bool, const char*> flags[] = {
        {o.Number, "numbers"},
        {o.Kickmargin, "kick margins"},
        {o.Viewarea, "view area"},
        {o.Velocity, "velocities"},
        {o.Stamina, "stamina"},
        {o.OffsideLine, "offside lines"},
        {o.BallDetail, "ball details"},
        {o.ControlArea, "control areas"},
        {o.ControlCourse, "pass course"},
        {o.PassInfo, "pass decisions"},
        {o.DribbleInfo, "dribble decisions"},
        {o.InterceptInfo, "intercept decisions"},
        {o.DefenseInfo, "defense decisions"},
    };
    QStringList parts;
    for (const auto& [on, name] : flags) {
        if (on) parts << QString::fromLatin1(name);
    }
    if (parts.isEmpty()) parts << QStringLiteral("no options");
    parts << QStringLiteral("player scale %1").arg(o.PlayerScale);
    if (look.selected < kSelectBall) {
        parts << QStringLiteral("player %1 of the %2 team selected")
                     .arg(look.selected < 11 ? look.selected + 1 : look.selected - 10)
                     .arg(look.selected < 11 ? QStringLiteral("left") : QStringLiteral("right"));
    } else if (look.selected == kSelectBall) {
        parts << QStringLiteral("the ball selected");
    }
    if (look.present != kPresentClear) parts << QStringLiteral("present overlay %1").arg(look.present);
    if (look.drawCircle) parts << QStringLiteral("the 9.15 m circle");
    if (!look.debugLogs.logs.empty()) {
        QStringList logs;
        for (const agentlog::LogFileEntry& entry : look.debugLogs.logs) logs << QString::fromStdString(entry.label());
        parts << QStringLiteral("the debug drawings of %1").arg(logs.join(QStringLiteral(", ")));
    }
    return parts.join(QStringLiteral(", "));
}

ClipSnapshot takeClipSnapshot(const LogPlayer& player, const BehaviorAnalyzer* analyzer, ClipRange range,
                              const ClipLook& look) {
    ClipSnapshot snapshot;
    snapshot.look = look;
    snapshot.playerTypes = player.player_types();
    snapshot.ballSize = player.ball_size();
    const std::array<bool, 3> loaded = {player.decisionsLoaded(DecisionFile::Pass),
                                        player.decisionsLoaded(DecisionFile::Intercept),
                                        player.decisionsLoaded(DecisionFile::Behave)};
    const bool course = analyzer && look.options.ControlCourse;
    player.withStore([&](const std::vector<cycle_info_t>& frames) {
        if (frames.empty()) return;
        const std::size_t last = std::min(range.last, frames.size() - 1);
        if (range.first > last) return;
        snapshot.records.assign(frames.begin() + static_cast<std::ptrdiff_t>(range.first),
                                frames.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        snapshot.places.reserve(snapshot.records.size());
        for (std::size_t i = range.first; i <= last; ++i) snapshot.places.push_back(agentlog::gamePlace(frames, i));
        for (std::size_t i = range.first; i-- > 0;) {
            if (frames[i].kind == kShowRecord) {
                snapshot.showBefore = frames[i];
                break;
            }
        }
        if (course) {
            for (std::size_t i = 0; i < range.first; ++i) {
                snapshot.courseBefore.append(courseEventsAt(*analyzer, recordCycle(frames[i])));
            }
            for (const cycle_info_t& record : snapshot.records) {
                snapshot.courseSteps.push_back(courseEventsAt(*analyzer, recordCycle(record)));
            }
        }
        if (analyzer) {
            snapshot.present.mode = look.present;
            if (presentKind(look.present) != BB_NONE) {
                snapshot.present.events = presentEvents(analyzer->Events(), look.selected, look.present);
            } else if (look.present == kPresentPosition) {
                snapshot.present.track = presentTrack(analyzer->Frames(), look.selected);
            }
        }
    });
    if (std::find(loaded.begin(), loaded.end(), true) != loaded.end()) {
        // Taken one at a time: the lock is not held across the whole clip for this.
        for (std::size_t i = 0; i < snapshot.records.size(); ++i) {
            DecisionInputs inputs;
            inputs.loaded = loaded;
            if (snapshot.records[i].kind == kSightRecordV2) inputs.decisions = player.decisionsAt(range.first + i);
            snapshot.decisions.push_back(std::move(inputs));
        }
    }
    return snapshot;
}

std::pair<std::string, std::string> clipTeamNames(const ClipSnapshot& snapshot) {
    FieldScene scene;
    if (snapshot.showBefore) scene.setCurrent(*snapshot.showBefore);
    if (!snapshot.records.empty()) scene.setCurrent(snapshot.records.front());
    return {scene.state.team[0].name, scene.state.team[1].name};
}

ClipPainter::ClipPainter(const ClipSnapshot& snapshot, const std::atomic<bool>* stop)
    : snapshot_(snapshot), overlays_(renderer_) {
    scene_.setPlayerTypes(snapshot.playerTypes, snapshot.ballSize);
    scene_.selected = snapshot.look.selected;
    scene_.drawCircle = snapshot.look.drawCircle;
    if (snapshot.showBefore) scene_.setCurrent(*snapshot.showBefore);
    overlays_.passCourse() = snapshot.courseBefore;
    overlays_.setPresent(snapshot.present);
    // A single picture has no use for a copy of the markings kept for the next one.
    renderer_.setCacheMarkings(snapshot.records.size() > 1);
    prepared_ = renderer_.prepare(snapshot.look.width, snapshot.look.height);
    openDebugLogs(stop);
}

void ClipPainter::openDebugLogs(const std::atomic<bool>* stop) {
    const ClipDebugLogs& wanted = snapshot_.look.debugLogs;
    if (wanted.logs.empty()) return;
    debugLogs_.setEntries(wanted.logs);
    for (std::size_t entry = 0; entry < wanted.logs.size(); ++entry) {
        std::string error;
        const agentlog::AgentLog* log = debugLogs_.log(entry, &error);
        if (!log) {
            failure_ = QString::fromStdString(error);
            return;
        }
        // The whole index first: a record's lines are read from it, and a clip that
        // started before the indexer reached its cycles would show them only in part.
        while (!log->waitUntilIndexed(std::chrono::milliseconds(50))) {
            if (stop && stop->load()) return;
        }
    }
    renderer_.addOverlay(OverlayStage::DebugLog, &debugPainter_);
}

QImage ClipPainter::draw(std::size_t index) {
    const ClipLook& look = snapshot_.look;
    if (index >= snapshot_.records.size()) return {};
    scene_.setCurrent(snapshot_.records[index]);
    for (; next_ <= index && next_ < snapshot_.courseSteps.size(); ++next_) {
        overlays_.passCourse().append(snapshot_.courseSteps[next_]);
    }
    DecisionInputs decisions;
    if (index < snapshot_.decisions.size() && snapshot_.records[index].kind == kSightRecordV2) {
        decisions = snapshot_.decisions[index];
    }
    overlays_.setDecisions(std::move(decisions));
    if (!snapshot_.look.debugLogs.logs.empty() && failure_.isEmpty() && index < snapshot_.places.size()) {
        std::vector<agentlog::Record> drawings;
        for (std::size_t entry = 0; entry < debugLogs_.entries().size(); ++entry) {
            agentlog::CycleView view = debugLogs_.view(entry, snapshot_.places[index], snapshot_.look.debugLogs.levels);
            std::move(view.drawings.begin(), view.drawings.end(), std::back_inserter(drawings));
        }
        debugPainter_.setDrawings(std::move(drawings));
    }
    if (!prepared_) return renderField(scene_, look.options, look.width, look.height);
    return renderer_.compose(scene_, look.options);
}

}  // namespace tessarin
