#include "analysis/EventReport.h"

#include <charconv>
#include <concepts>
#include <cstddef>
#include <sstream>
#include <string>
#include <string_view>

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

// Numbers as the report has always shown them (an ostream's default, printf's "%g"),
// gathered per block and written at once: the 24 blocks are most of a short game's report.
void appendNumber(std::string& text, double v) {
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, v, std::chars_format::general, 6);
    text.append(digits, written.ptr);
}

template <std::integral T>
void appendNumber(std::string& text, T v) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, v);
    text.append(digits, written.ptr);
}

template <typename T>
void appendLine(std::string& text, std::string_view pad, std::string_view label, T value) {
    text += pad;
    text += label;
    appendNumber(text, value);
    text += '\n';
}

void writePlayer(std::ostream& out, std::size_t i, const PlayerStatistics& p) {
    constexpr std::string_view pad = "         ";
    constexpr std::string_view tabPad = "\t       ";
    std::string text;
    text.reserve(640);
    text += "player ";
    appendNumber(text, i);
    appendLine(text, "", " 's pass success rate == ", p.passes.rate);
    appendLine(text, pad, "    shot success rate == ", p.shots.rate);
    appendLine(text, pad, "    pass count\t\t  == ", p.passes.count);
    appendLine(text, pad, "    success pass cnt  == ", p.passes.successes);
    appendLine(text, pad, "    shot count\t\t  == ", p.shots.count);
    appendLine(text, pad, "    success shot cnt  == ", p.shots.successes);
    appendLine(text, pad, "    intercep count    == ", p.interceptions.count);
    appendLine(text, tabPad, "    success inte cnt  == ", p.interceptions.successes);
    appendLine(text, tabPad, "    inte success rate == ", p.interceptions.rate);
    appendLine(text, tabPad, "    dribble count     == ", p.dribbles.count);
    appendLine(text, tabPad, "    success drib cnt  == ", p.dribbles.successes);
    appendLine(text, tabPad, "    drib success rate == ", p.dribbles.rate);
    out << text;
}

void writeTeam(std::ostream& out, std::size_t t, const TeamStatistics& s) {
    constexpr std::string_view six = "      ";
    constexpr std::string_view seven = "       ";
    std::string text;
    text.reserve(640);
    text += "team ";
    appendNumber(text, t);
    appendLine(text, "", " 's pass success rate == ", s.passes.rate);
    appendLine(text, six, "    pass count\t\t== ", s.passes.count);
    appendLine(text, seven, "\t  success pass cnt  == ", s.passes.successes);
    appendLine(text, six, "    shot success rate == ", s.shots.rate);
    appendLine(text, six, "    shot count\t\t== ", s.shots.count);
    appendLine(text, seven, "\t  success shot cnt  == ", s.shots.successes);
    appendLine(text, seven, "    with ball cycles  == ", s.possession_cycles);
    appendLine(text, "\t     ", "    inte count\t\t== ", s.interceptions.count);
    appendLine(text, seven, "    success inte cnt  == ", s.interceptions.successes);
    appendLine(text, seven, "    inte success rate == ", s.interceptions.rate);
    appendLine(text, seven, "    drib count\t\t== ", s.dribbles.count);
    appendLine(text, seven, "    success drib cnt  == ", s.dribbles.successes);
    appendLine(text, seven, "    drib success rate == ", s.dribbles.rate);
    out << text;
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
