#include <optional>

#include "analysis/BatchAggregates.h"
#include "cli/BatchRun.h"
#include "cli/Commands.h"
#include "cli/StatsJson.h"
#include "cli/SummaryTable.h"
#include "record/AtomicFile.h"

namespace tessarin::cli {

namespace {

using Json = nlohmann::ordered_json;

std::int64_t integer(int v) { return v; }

Cell optionalCount(const std::optional<int>& v) { return v ? Cell(integer(*v)) : Cell{}; }

std::vector<std::string> gameColumns(bool teamView) {
    std::vector<std::string> c = {"file",
                                  "time",
                                  "format",
                                  "left",
                                  "right",
                                  "left_goals",
                                  "right_goals",
                                  "left_penalty_goals",
                                  "right_penalty_goals",
                                  "cycles"};
    if (teamView) {
        for (const char* name : {"team", "opponent", "side", "goals_for", "goals_against", "result"}) c.push_back(name);
    } else {
        c.push_back("winner");
    }
    for (const char* prefix : teamView ? std::array{"our_", "opp_"} : std::array{"left_", "right_"}) {
        for (const SideFigure& figure : sideFigures()) c.push_back(prefix + std::string(figure.name));
    }
    c.push_back("warning");
    c.push_back("error");
    return c;
}

void putFigures(const Table& table, std::vector<Cell>& row, const char* prefix, const SideSummary& side) {
    for (const SideFigure& figure : sideFigures()) {
        const double v = figure.value(side);
        if (!SideFigure::known(v)) continue;  // the cell stays empty
        Cell& cell = row[table.column(prefix + std::string(figure.name))];
        if (figure.share) {
            cell = v;
        } else {
            cell = static_cast<std::int64_t>(v);
        }
    }
}

void putGame(const Table& table, std::vector<Cell>& row, const GameSummary& game, const std::string& team) {
    const auto set = [&](const char* name, Cell value) { row[table.column(name)] = std::move(value); };
    set("file", game.file);
    set("time", game.time);
    set("error", game.error);
    set("warning", game.warning);
    if (!game.ok()) return;
    set("format", game.format);
    set("left", game.sides[0].team);
    set("right", game.sides[1].team);
    set("left_goals", integer(game.sides[0].goals));
    set("right_goals", integer(game.sides[1].goals));
    set("left_penalty_goals", optionalCount(game.sides[0].penaltyGoals));
    set("right_penalty_goals", optionalCount(game.sides[1].penaltyGoals));
    set("cycles", integer(game.cycles));
    if (team.empty()) {
        const int winner = winnerOf(game);
        set("winner", std::string(winner < 0 ? "draw" : winner == 0 ? "left" : "right"));
        putFigures(table, row, "left_", game.sides[0]);
        putFigures(table, row, "right_", game.sides[1]);
        return;
    }
    const std::optional<int> side = sideOfTeam(game, team);
    if (!side) {
        set("result", std::string("skipped"));
        return;
    }
    const TeamGame view = teamView(game, *side);
    set("team", view.our.team);
    set("opponent", view.opp.team);
    set("side", std::string(*side == 0 ? "l" : "r"));
    set("goals_for", integer(view.our.goals));
    set("goals_against", integer(view.opp.goals));
    set("result", std::string(resultName(view.result)));
    putFigures(table, row, "our_", view.our);
    putFigures(table, row, "opp_", view.opp);
}

Table gameTable(const std::vector<GameSummary>& games, const std::string& team) {
    Table table;
    table.columns = gameColumns(!team.empty());
    for (const GameSummary& game : games) putGame(table, table.addRow(), game, team);
    return table;
}

Json intervalJson(const std::optional<Interval>& i) {
    if (!i) return nullptr;
    return Json::array({i->low, i->high});
}

Json teamJson(const TeamAggregate& a) {
    Json j;
    j["team"] = a.team;
    j["games"] = a.games;
    j["wins"] = a.wins;
    j["draws"] = a.draws;
    j["losses"] = a.losses;
    j["points"] = a.points;
    j["goals_for"] = a.goalsFor;
    j["goals_against"] = a.goalsAgainst;
    j["goal_difference_mean"] = a.goalDifference.mean;
    j["goal_difference_ci95"] = intervalJson(a.goalDifference.ci95);
    j["win_rate"] = a.winRate;
    j["win_rate_ci95"] = intervalJson(a.winRateCi95);
    for (const FigureMean& m : a.figureMeans) j[std::string(m.name) + "_mean"] = m.mean ? Json(*m.mean) : Json(nullptr);
    return j;
}

std::vector<TeamAggregate> aggregates(const std::vector<GameSummary>& games, const std::string& team) {
    std::vector<TeamAggregate> out;
    const std::vector<std::string> names = team.empty() ? teamsOf(games) : std::vector<std::string>{team};
    for (const std::string& name : names) out.push_back(aggregateTeam(name, gamesOfTeam(games, name)));
    return out;
}

std::string intervalText(const std::optional<Interval>& i, int decimals) {
    if (!i) return "-";
    return "[" + fixedText(i->low, decimals) + ", " + fixedText(i->high, decimals) + "]";
}

std::string percent(double share) { return fixedText(share * 100.0, 0) + "%"; }

std::string scoreText(const SideSummary& a, const SideSummary& b) {
    std::string s = std::to_string(a.goals) + "-" + std::to_string(b.goals);
    if (a.penaltyGoals || b.penaltyGoals) {
        s += " (" + std::to_string(a.penaltyGoals.value_or(0)) + "-" + std::to_string(b.penaltyGoals.value_or(0)) + ")";
    }
    return s;
}

std::string pair(int a, int b) { return std::to_string(a) + "/" + std::to_string(b); }

void printGames(std::ostream& out, const std::vector<GameSummary>& games, const std::string& team) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> columns;
    if (team.empty()) {
        columns = {"file", "time", "left", "score", "right", "cycles", "possession", "shots", "passes", "error"};
    } else {
        columns = {"file",   "time",       "side",  "opponent", "score", "result",
                   "cycles", "possession", "shots", "passes",   "error"};
    }
    for (const GameSummary& g : games) {
        std::vector<std::string> row = {g.file, g.time};
        if (!g.ok()) {
            row.resize(columns.size() - 1);
            row.push_back(g.error);
        } else if (team.empty()) {
            const SideSummary& l = g.sides[0];
            const SideSummary& r = g.sides[1];
            row.insert(row.end(), {l.team, scoreText(l, r), r.team, std::to_string(g.cycles),
                                   percent(l.possession) + "/" + percent(r.possession), pair(l.shots, r.shots),
                                   pair(l.passes, r.passes), g.warning});
        } else if (const auto side = sideOfTeam(g, team)) {
            const TeamGame v = teamView(g, *side);
            row.insert(row.end(),
                       {*side == 0 ? "l" : "r", v.opp.team, scoreText(v.our, v.opp), std::string(resultName(v.result)),
                        std::to_string(g.cycles), percent(v.our.possession) + "/" + percent(v.opp.possession),
                        pair(v.our.shots, v.opp.shots), pair(v.our.passes, v.opp.passes), g.warning});
        } else {
            row.insert(row.end(), {"", "", "", "skipped", std::to_string(g.cycles), "", "", "", ""});
        }
        rows.push_back(std::move(row));
    }
    printAligned(out, columns, rows);
}

void printTeams(std::ostream& out, const std::vector<TeamAggregate>& teams) {
    std::vector<std::vector<std::string>> rows;
    for (const TeamAggregate& a : teams) {
        rows.push_back({a.team, std::to_string(a.games), std::to_string(a.wins), std::to_string(a.draws),
                        std::to_string(a.losses), std::to_string(a.points), std::to_string(a.goalsFor),
                        std::to_string(a.goalsAgainst), fixedText(a.goalDifference.mean, 2),
                        intervalText(a.goalDifference.ci95, 2), fixedText(a.winRate, 3),
                        intervalText(a.winRateCi95, 3)});
    }
    printAligned(out,
                 {"team", "games", "wins", "draws", "losses", "points", "goals_for", "goals_against", "gd_mean",
                  "gd_ci95", "win_rate", "win_rate_ci95"},
                 rows);
}

bool writeOutput(const std::string& path, const std::string& text, std::ostream& err) {
    if (path.empty()) return true;
    if (writeFileAtomically(path, text)) return true;
    err << "tessarin-cli: cannot write " << path << '\n';
    return false;
}

}  // namespace

int runSummary(const SummaryOptions& options, std::ostream& out, std::ostream& err) {
    const BatchRun run = runBatch(options.paths, options.jobs, options.progress, err);
    const std::vector<TeamAggregate> teams = aggregates(run.games, options.team);

    printGames(out, run.games, options.team);
    out << '\n';
    printTeams(out, teams);

    bool written = true;
    if (!options.csv.empty()) written &= writeOutput(options.csv, toCsv(gameTable(run.games, options.team)), err);
    if (!options.json.empty()) {
        Json doc;
        doc["games"] = toJson(gameTable(run.games, options.team));
        Json list = Json::array();
        for (const TeamAggregate& a : teams) list.push_back(teamJson(a));
        doc["teams"] = std::move(list);
        written &= writeOutput(options.json, dumpJson(doc) + '\n', err);
    }
    if (!options.team.empty() && !teams.empty() && teams.front().games == 0) {
        err << "tessarin-cli: " << options.team << " played in none of the games read\n";
    }
    if (run.failures > 0) err << "tessarin-cli: " << run.failures << " game(s) could not be read\n";
    const BatchRun* runs[] = {&run};
    return batchStatus(runs, written, err);
}

}  // namespace tessarin::cli
