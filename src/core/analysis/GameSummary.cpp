#include "analysis/GameSummary.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <new>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/Discipline.h"
#include "analysis/GameAnalysis.h"
#include "record/ByteOrder.h"
#include "record/LoadFailure.h"
#include "record/LogPlayer.h"

namespace tessarin {

namespace {

constexpr int kModeKickOffL = 4;
constexpr int kModeKickOffR = 5;
// The shoot-out's modes run from penalty_setup_l to penalty_score_r.
constexpr int kModeShootOutFirst = 40;
constexpr int kModeShootOutLast = 49;
constexpr int kModePenaltyScoreL = 48;
constexpr int kModePenaltyScoreR = 49;

// The penalty area: 16.5 m deep from the goal line, 40.32 m wide.
constexpr double kGoalLineX = 52.5;
constexpr double kPenaltyAreaDepth = 16.5;
constexpr double kPenaltyAreaHalfWidth = 20.16;

bool inPenaltyAreaAttackedBy(int side, double x, double y) {
    if (std::fabs(y) >= kPenaltyAreaHalfWidth) return false;
    const double depth = side == kSideLeft ? kGoalLineX - x : x + kGoalLineX;
    return depth >= 0.0 && depth <= kPenaltyAreaDepth;
}

// What the behaviour analysis leaves out: the shoot-out's goals, the players present at
// kick-off who left the field later, and the entries into the penalty area with the ball.
// Fed after the analyser with every show, so that it sees the analyser's ball owner.
class SummaryTracker {
public:
    void add(const show_info_t& show, const BehaviorAnalyzer& analyzer) {
        const int time = netToHost16(show.time);
        const int mode = show.playmode;
        if (time < lastTime_) *this = SummaryTracker{};
        lastTime_ = time;

        if (mode >= kModeShootOutFirst && mode <= kModeShootOutLast) shootOut_ = true;
        if (mode != prevMode_) {
            if (mode == kModePenaltyScoreL) ++penaltyGoals_[0];
            if (mode == kModePenaltyScoreR) ++penaltyGoals_[1];
        }
        prevMode_ = mode;

        std::uint32_t present = 0;
        for (int i = 0; i < kPlayerCount; ++i) {
            if (netToHost16(show.player[static_cast<std::size_t>(i)].mode) != 0) present |= 1u << i;
        }
        if (!kickedOff_ && (mode == kModeKickOffL || mode == kModeKickOffR || mode == PM_PlayOn)) {
            kickedOff_ = true;
            atKickOff_ = present;
        } else if (kickedOff_) {
            dropped_ |= atKickOff_ & ~present;
        }

        const double x = fixed_to_double(show.ball.x);
        const double y = fixed_to_double(show.ball.y);
        for (int side = 0; side < 2; ++side) {
            const bool inside = inPenaltyAreaAttackedBy(side, x, y);
            if (!inside) {
                inArea_[static_cast<std::size_t>(side)] = false;
            } else if (mode == PM_PlayOn && analyzer.ballKickable() && analyzer.ownerSide() == side &&
                       !inArea_[static_cast<std::size_t>(side)]) {
                inArea_[static_cast<std::size_t>(side)] = true;
                ++entries_[static_cast<std::size_t>(side)];
            }
        }
    }

    void fill(std::array<SideSummary, 2>& sides) const {
        for (std::size_t s = 0; s < 2; ++s) {
            if (shootOut_) sides[s].penaltyGoals = penaltyGoals_[s];
            sides[s].penaltyAreaEntries = entries_[s];
            int dropped = 0;
            for (int i = 0; i < kPlayersPerSide; ++i) {
                if (dropped_ & (1u << (i + static_cast<int>(s) * kPlayersPerSide))) ++dropped;
            }
            sides[s].droppedPlayers = dropped;
        }
    }

private:
    int lastTime_ = -1;
    int prevMode_ = -1;
    bool shootOut_ = false;
    std::array<int, 2> penaltyGoals_{};
    bool kickedOff_ = false;
    std::uint32_t atKickOff_ = 0;
    std::uint32_t dropped_ = 0;
    std::array<bool, 2> inArea_{};
    std::array<int, 2> entries_{};
};

// The log player's analysis for a summary: the behaviour analysis without the opponent
// model, and the tracker. Called on the parser thread under the log player's lock.
class SummaryHooks final : public GameAnalysisHooks {
public:
    explicit SummaryHooks(BehaviorAnalyzer& analyzer) : analyzer_(analyzer), analysis_(analyzer, nullptr) {}

    void storeCleared() override {
        analysis_.storeCleared();
        tracker_ = SummaryTracker{};
    }
    void storeReserved(std::size_t records) override { analysis_.storeReserved(records); }
    void analyzeShow(const cycle_info_t& record, const std::vector<player_type_t>& playerTypes) override {
        analysis_.analyzeShow(record, playerTypes);
        if (record.kind == kShowRecord) tracker_.add(record.show(), analyzer_);
    }
    void feedOpponentModel(const cycle_info_t&) override {}
    bool opponentModelEnabled() const override { return false; }
    void startOpponentModel(const show_info_t&) override {}
    void finishOpponentModel() override {}

    // Read once the parser thread has been joined.
    const SummaryTracker& tracker() const { return tracker_; }

private:
    BehaviorAnalyzer& analyzer_;
    GameAnalysis analysis_;
    SummaryTracker tracker_;
};

// Whether reading stopped before the end of the file, and why; empty when it did not. A
// reader's note on a game read whole (lines of an unknown kind skipped, say) is no reason.
std::string loadWarningOf(const LogPlayer& player) {
    const std::string records = std::to_string(player.size()) + " records read";
    if (player.ranOutOfMemory()) return "reading stopped: out of memory (" + records + ")";
    if (!player.inputDamaged() && !player.overBudget()) return {};
    if (std::string warning = player.loadWarning(); !warning.empty()) return warning + " (" + records + ")";
    if (player.parseResult() == false) return "reading stopped at a record that cannot be read (" + records + ")";
    if (player.droppedTornRecord()) return "the file ends inside its last record, which was dropped (" + records + ")";
    return {};
}

PassDirection directionOf(int side, Vector from, Vector to) {
    // The right team attacks toward -x; its left hand is then toward +y.
    const double sign = side == kSideLeft ? 1.0 : -1.0;
    const double dx = sign * (static_cast<double>(to.x) - from.x);
    const double dy = sign * (static_cast<double>(to.y) - from.y);
    if (std::fabs(dx) >= std::fabs(dy)) return dx >= 0 ? PassDirection::Forward : PassDirection::Back;
    // Field y grows downward on screen: attacking toward +x, the left hand is toward -y.
    return dy < 0 ? PassDirection::Left : PassDirection::Right;
}

void fillFromAnalysis(BehaviorAnalyzer& analyzer, std::array<SideSummary, 2>& sides) {
    analyzer.ComputeStatistics();
    for (std::size_t s = 0; s < 2; ++s) {
        const int sideCode = s == 0 ? 1 : -1;
        const TeamStatistics team = analyzer.teamStatistics(sideCode);
        const PlayModeCounters counters = analyzer.playModeCounters(sideCode);
        SideSummary& out = sides[s];
        out.possession = team.possession_share;
        out.shots = team.shots.count;
        out.shotsOnTarget = team.shots.successes;
        out.passes = team.passes.count;
        out.passesCompleted = team.passes.successes;
        out.dribbles = team.dribbles.count;
        out.cornerKicks = counters.corner_kicks;
        out.freeKicks = counters.free_kicks;
        out.offsides = counters.offsides;
    }
    const auto& events = analyzer.Events();
    for (std::size_t i = 1; i < events.size(); ++i) {
        const BasicBehaviorEvent& e = events[i];
        if (e.side != kSideLeft && e.side != kSideRight) continue;
        SideSummary& out = sides[static_cast<std::size_t>(e.side)];
        if (e.kind == BB_INTERCEPT) ++out.interceptions;
        // A pass still open at the end of the game has no end position.
        const bool closed = e.end_pos.x != 0.0f || e.end_pos.y != 0.0f;
        const bool moved = e.end_pos.x != e.start_pos.x || e.end_pos.y != e.start_pos.y;
        if (e.kind == BB_PASS && closed && moved) {
            ++out.passesByDirection[static_cast<std::size_t>(directionOf(e.side, e.start_pos, e.end_pos))];
        }
    }
}

GameSummary summarizeLoaded(GameSummary summary, LogPlayer& player, BehaviorAnalyzer& analyzer,
                            const SummaryHooks& hooks) {
    summary.warning = loadWarningOf(player);
    const std::optional<cycle_info_t> last = player.last();
    if (!last || last->kind != kShowRecord) {
        summary.error = "holds no show record";
        return summary;
    }
    const show_info_t show = last->show();
    summary.cycles = netToHost16(show.time);
    for (std::size_t s = 0; s < 2; ++s) {
        summary.sides[s].team = teamName(show.team[s]);
        summary.sides[s].goals = netToHost16(show.team[s].score);
    }
    fillFromAnalysis(analyzer, summary.sides);
    hooks.tracker().fill(summary.sides);
    const GameDiscipline discipline = player.withStoreAndCompanions(countDiscipline);
    for (std::size_t s = 0; s < 2; ++s) {
        const std::optional<DisciplineFigures>& d = discipline.teams[s];
        if (!d) continue;
        SideSummary& side = summary.sides[s];
        side.yellowCards = d->yellowCards;
        side.redCards = d->redCards;
        side.fouls = d->fouls;
        side.tackles = static_cast<int>(std::min<std::int64_t>(d->tackles, std::numeric_limits<int>::max()));
    }
    return summary;
}

}  // namespace

int winnerOf(const GameSummary& game) {
    const SideSummary& l = game.sides[0];
    const SideSummary& r = game.sides[1];
    if (l.goals != r.goals) return l.goals > r.goals ? 0 : 1;
    const int lp = l.penaltyGoals.value_or(0);
    const int rp = r.penaltyGoals.value_or(0);
    if (lp != rp) return lp > rp ? 0 : 1;
    return -1;
}

std::string startTimeFromFileName(std::string_view fileName) {
    if (fileName.size() < 15 || fileName[14] != '-') return {};
    for (std::size_t i = 0; i < 14; ++i) {
        if (fileName[i] < '0' || fileName[i] > '9') return {};
    }
    const auto num = [&](std::size_t at, std::size_t n) { return std::stoi(std::string(fileName.substr(at, n))); };
    const int month = num(4, 2), day = num(6, 2), hour = num(8, 2), minute = num(10, 2), second = num(12, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return {};
    std::string t(fileName.substr(0, 4));
    t += '-';
    t += fileName.substr(4, 2);
    t += '-';
    t += fileName.substr(6, 2);
    t += ' ';
    t += fileName.substr(8, 2);
    t += ':';
    t += fileName.substr(10, 2);
    t += ':';
    t += fileName.substr(12, 2);
    return t;
}

struct GameSummarizer::Parts {
    NullPlaybackHost host;
    BehaviorAnalyzer analyzer;
    SummaryHooks hooks{analyzer};
    LogPlayer player{host, &hooks};
};

GameSummarizer::GameSummarizer() = default;
GameSummarizer::~GameSummarizer() = default;

GameSummary GameSummarizer::summarize(const std::string& path) {
    GameSummary summary;
    summary.file = path;
    const std::size_t slash = path.find_last_of('/');
    summary.time = startTimeFromFileName(slash == std::string::npos ? path : path.substr(slash + 1));
    try {
        if (!parts_) parts_ = std::make_unique<Parts>();
        LogPlayer& player = parts_->player;
        // Loading empties the store (keeping its room) and starts the analysis afresh.
        player.command(kCmdLoad, path);
        if (player.format() == LogFormat::Sight || player.format() == LogFormat::SightV2) {
            summary.error = "a sight log, not a game log";
            return summary;  // the log player stops its reader as it goes
        }
        player.waitForParser();
        if (auto failure = loadFailureText(player, path)) {
            summary.error = std::move(*failure);
            return summary;
        }
        // A game's format; anything else leaves the row's format empty.
        const LogFormat format = player.format();
        const bool game = format == LogFormat::V3 || format == LogFormat::V4 || format == LogFormat::V5 ||
                          format == LogFormat::V6 || format == LogFormat::Json;
        summary.format = game ? logFormatName(format) : "";
        return summarizeLoaded(std::move(summary), player, parts_->analyzer, parts_->hooks);
    } catch (const std::bad_alloc&) {
        parts_.reset();
        summary.error = "out of memory";
    } catch (const std::exception& e) {
        parts_.reset();
        summary.error = e.what();
    }
    return summary;
}

GameSummary summarizeGame(const std::string& path) { return GameSummarizer().summarize(path); }

namespace {

template <int SideSummary::*Member>
double count(const SideSummary& s) {
    return s.*Member;
}

template <PassDirection D>
double passesToward(const SideSummary& s) {
    return s.passesByDirection[static_cast<std::size_t>(D)];
}

double possessionOf(const SideSummary& s) { return s.possession; }

template <std::optional<int> SideSummary::*Member>
double knownCount(const SideSummary& s) {
    const std::optional<int>& v = s.*Member;
    return v ? *v : std::numeric_limits<double>::quiet_NaN();
}

constexpr SideFigure kSideFigures[] = {
    {"possession", &possessionOf, true},
    {"shots", &count<&SideSummary::shots>},
    {"shots_on_target", &count<&SideSummary::shotsOnTarget>},
    {"passes", &count<&SideSummary::passes>},
    {"passes_completed", &count<&SideSummary::passesCompleted>},
    {"passes_forward", &passesToward<PassDirection::Forward>},
    {"passes_back", &passesToward<PassDirection::Back>},
    {"passes_left", &passesToward<PassDirection::Left>},
    {"passes_right", &passesToward<PassDirection::Right>},
    {"dribbles", &count<&SideSummary::dribbles>},
    {"interceptions", &count<&SideSummary::interceptions>},
    {"corner_kicks", &count<&SideSummary::cornerKicks>},
    {"free_kicks", &count<&SideSummary::freeKicks>},
    {"offsides", &count<&SideSummary::offsides>},
    {"penalty_area_entries", &count<&SideSummary::penaltyAreaEntries>},
    {"dropped_players", &count<&SideSummary::droppedPlayers>},
    {"yellow_cards", &knownCount<&SideSummary::yellowCards>},
    {"red_cards", &knownCount<&SideSummary::redCards>},
    {"fouls", &knownCount<&SideSummary::fouls>},
    {"tackles", &knownCount<&SideSummary::tackles>},
};

}  // namespace

std::span<const SideFigure> sideFigures() { return kSideFigures; }

}  // namespace tessarin
