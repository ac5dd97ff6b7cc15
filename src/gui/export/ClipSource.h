#pragma once

// The records of a clip and everything their drawing reads, copied out of a loaded game,
// so that the frames can be drawn on any thread while the game grows or plays on; and
// the drawing of those records one after another as playback draws them.

#include <QImage>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "agentlog/AgentLogSet.h"
#include "display/AgentLogPainter.h"
#include "display/DisplayOptions.h"
#include "display/FieldRenderer.h"
#include "display/FieldScene.h"
#include "display/OverlayGeometry.h"
#include "display/OverlayPainter.h"

namespace tessarin {

class BehaviorAnalyzer;
class LogPlayer;

// Store indices of a clip's first and last record, both included.
struct ClipRange {
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t size() const { return last - first + 1; }
};

// The records from the first of cycle `from` to the last of cycle `to`, in store order;
// a cycle missing from the game widens nothing: the range starts at the first record of
// a later cycle and ends at the last of an earlier one. None when no record lies between.
std::optional<ClipRange> clipRange(const std::vector<cycle_info_t>& frames, int from, int to);

// Players' debug logs drawn over a clip: the logs whose drawings are shown (each a
// player's) and the topics kept.
struct ClipDebugLogs {
    std::vector<agentlog::LogFileEntry> logs;
    std::uint32_t levels = 0xffffffffu;
};

// How the clip is drawn: the display's options, selection and overlays, and the size.
struct ClipLook {
    DisplayOptions options;
    int selected = kSelectBall;
    bool drawCircle = false;
    int present = kPresentClear;
    int width = 1280;
    int height = 720;
    ClipDebugLogs debugLogs;
};

// The look in words, for the dialog that says what a clip is drawn with: the options
// that are on, the selection and the overlays.
QString describeClipLook(const ClipLook& look);

struct ClipSnapshot {
    ClipLook look;
    std::vector<cycle_info_t> records;
    // The last show record before the clip: a sight record at its start keeps the header
    // of the show before it, as on screen.
    std::optional<cycle_info_t> showBefore;
    // Per record, the decisions stored with it; empty when the game has no decision files.
    std::vector<DecisionInputs> decisions;
    // The pass course as playback drew it up to the record before the clip, and the
    // actions each record of the clip adds to it; empty unless ControlCourse is on.
    PassCourse courseBefore;
    std::vector<std::vector<BasicBehaviorEvent>> courseSteps;
    PresentInputs present;
    std::vector<player_type_t> playerTypes;
    double ballSize = 0.0;
    // Per record, where it stands among the game's records of its cycle: a debug log's
    // lines go with a record by that place.
    std::vector<agentlog::GamePlace> places;
};

// The team names (left, right) that the clip's first picture shows in its header.
std::pair<std::string, std::string> clipTeamNames(const ClipSnapshot& snapshot);

// Copies the clip out of `player`. `analyzer` is the analysis that `player` feeds, or
// null when the game was not analysed (no pass course and no present overlay are drawn
// then). Takes the player's lock; call with no lock held.
ClipSnapshot takeClipSnapshot(const LogPlayer& player, const BehaviorAnalyzer* analyzer, ClipRange range,
                              const ClipLook& look);

// Draws the records of a snapshot. It keeps what playback keeps from one record to the
// next (the last show record, the pass course), so records are drawn in order; the same
// record may be drawn again. The look's debug logs are opened here and read record by
// record on the drawing thread; the painter waits until they are indexed, or until
// `stop` (when given) is set.
class ClipPainter final {
public:
    explicit ClipPainter(const ClipSnapshot& snapshot, const std::atomic<bool>* stop = nullptr);
    ClipPainter(const ClipPainter&) = delete;
    ClipPainter& operator=(const ClipPainter&) = delete;

    // Why the painter cannot draw what the look asks for (a debug log that cannot be
    // read); empty when it can.
    const QString& failure() const { return failure_; }

    // Record `index` of the snapshot (0 is its first) at the look's size; `index` must
    // not be below that of the previous call.
    QImage draw(std::size_t index);

private:
    void openDebugLogs(const std::atomic<bool>* stop);

    const ClipSnapshot& snapshot_;
    FieldScene scene_;
    FieldRenderer renderer_;
    FieldOverlays overlays_;
    agentlog::AgentLogSet debugLogs_;
    AgentLogPainter debugPainter_;
    QString failure_;
    bool prepared_ = false;
    std::size_t next_ = 0;  // the next record whose pass-course actions are not yet added
};

}  // namespace tessarin
