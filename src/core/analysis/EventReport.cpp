#include "analysis/EventReport.h"

#include <cstddef>
#include <sstream>

#include "record/AtomicFile.h"

namespace tessarin {

namespace {

void writeEvent(std::ostream& out, const BasicBehaviorEvent& e) {
    out << "\n";
    out << "-------------------------------------\n";
    out << "at time " << e.start_cycle << " :\n";
    out << "  player " << reportPlayerNumber(e.player) << " was doing ";
    switch (e.kind) {
        case BB_SHOOT:
            out << "BB_SHOOT";
            break;
        case BB_PASS:
            out << "BB_PASS to " << reportPlayerNumber(e.target);
            break;
        case BB_DRIBBLE:
            out << "BB_DRIBBLE";
            break;
        case BB_CLEARBALL:
            out << "BB_CLEARBALL";
            break;
        case BB_ADJUST:
            out << "BB_ADJUST";
            break;
        case BB_RECEIVE:
            out << "BB_RECEIVE from " << reportPlayerNumber(e.target);
            break;
        case BB_INTERCEPT:
            out << "BB_INTERCEPT";
            break;
        default:
            break;
    }
    out << (e.success ? " SUCCEED" : " FAIL") << "\n";
    out << "\n";
}

void writePlayer(std::ostream& out, std::size_t i, const PlayerStatistics& p) {
    const char* pad = "         ";
    const char* tabPad = "\t       ";
    out << "player " << i << " 's pass success rate == " << p.passes.rate << "\n";
    out << pad << "    shot success rate == " << p.shots.rate << "\n";
    out << pad << "    pass count\t\t  == " << p.passes.count << "\n";
    out << pad << "    success pass cnt  == " << p.passes.successes << "\n";
    out << pad << "    shot count\t\t  == " << p.shots.count << "\n";
    out << pad << "    success shot cnt  == " << p.shots.successes << "\n";
    out << pad << "    intercep count    == " << p.interceptions.count << "\n";
    out << tabPad << "    success inte cnt  == " << p.interceptions.successes << "\n";
    out << tabPad << "    inte success rate == " << p.interceptions.rate << "\n";
    out << tabPad << "    dribble count     == " << p.dribbles.count << "\n";
    out << tabPad << "    success drib cnt  == " << p.dribbles.successes << "\n";
    out << tabPad << "    drib success rate == " << p.dribbles.rate << "\n";
}

void writeTeam(std::ostream& out, std::size_t t, const TeamStatistics& s) {
    const char* six = "      ";
    const char* seven = "       ";
    out << "team " << t << " 's pass success rate == " << s.passes.rate << "\n";
    out << six << "    pass count\t\t== " << s.passes.count << "\n";
    out << seven << "\t  success pass cnt  == " << s.passes.successes << "\n";
    out << six << "    shot success rate == " << s.shots.rate << "\n";
    out << six << "    shot count\t\t== " << s.shots.count << "\n";
    out << seven << "\t  success shot cnt  == " << s.shots.successes << "\n";
    out << seven << "    with ball cycles  == " << s.possession_cycles << "\n";
    out << "\t     "
        << "    inte count\t\t== " << s.interceptions.count << "\n";
    out << seven << "    success inte cnt  == " << s.interceptions.successes << "\n";
    out << seven << "    inte success rate == " << s.interceptions.rate << "\n";
    out << seven << "    drib count\t\t== " << s.dribbles.count << "\n";
    out << seven << "    success drib cnt  == " << s.dribbles.successes << "\n";
    out << seven << "    drib success rate == " << s.dribbles.rate << "\n";
}

}  // namespace

int reportPlayerNumber(int index) { return index < kPlayersPerSide ? index + 1 : index + 10; }

void writeEventReport(std::ostream& out, const std::vector<BasicBehaviorEvent>& events,
                      const GameStatistics& statistics) {
    out << "event queu\n";
    for (const auto& e : events) writeEvent(out, e);
    for (std::size_t i = 0; i < statistics.players.size(); ++i) writePlayer(out, i, statistics.players[i]);
    for (std::size_t t = 0; t < statistics.teams.size(); ++t) writeTeam(out, t, statistics.teams[t]);
}

int writeEventReport(const std::filesystem::path& file, const std::vector<BasicBehaviorEvent>& events,
                     const GameStatistics& statistics) {
    DirectorySink sink(file.parent_path());
    std::ostringstream out;
    writeEventReport(out, events, statistics);
    return sink.replace(file.filename().string(), out.view()) ? 0 : -1;
}

int writeEventReport(OutputSink& sink, const std::vector<BasicBehaviorEvent>& events,
                     const GameStatistics& statistics) {
    std::ostringstream out;
    writeEventReport(out, events, statistics);
    return sink.replace(kEventReportFileName, out.view()) ? 0 : -1;
}

}  // namespace tessarin
