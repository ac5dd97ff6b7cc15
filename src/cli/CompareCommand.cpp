#include <filesystem>
#include <fstream>

#include "analysis/BatchAggregates.h"
#include "cli/BatchRun.h"
#include "cli/Commands.h"
#include "cli/StatsJson.h"
#include "cli/SummaryTable.h"
#include "record/AtomicFile.h"

namespace tessarin::cli {

namespace fs = std::filesystem;

namespace {

using Json = nlohmann::ordered_json;

bool isListFile(const std::string& path) {
    const std::string ext = fs::path(path).extension().string();
    return ext == ".txt" || ext == ".list" || ext == ".lst";
}

// The paths of one batch: a list file names one path a line (blank lines and lines
// starting with '#' left out; relative paths from the list's folder); anything else
// stands for itself.
std::vector<std::string> batchPaths(const std::string& batch, std::ostream& err, bool& ok) {
    std::error_code ec;
    if (!isListFile(batch) || fs::is_directory(batch, ec)) return {batch};
    std::ifstream in(batch);
    if (!in) {
        err << "tessarin-cli: cannot read the list " << batch << '\n';
        ok = false;
        return {};
    }
    const fs::path base = fs::path(batch).parent_path();
    std::vector<std::string> paths;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        const fs::path p(line.substr(start));
        paths.push_back(p.is_absolute() ? p.string() : (base / p).string());
    }
    return paths;
}

std::string meanText(const MeanEstimate& m) { return m.n > 0 ? fixedText(m.mean, 3) : "-"; }

std::string pValueText(const std::optional<double>& p) {
    if (!p) return "-";
    return *p < 0.001 ? "<0.001" : fixedText(*p, 3);
}

Json intervalJson(const std::optional<Interval>& i) {
    if (!i) return nullptr;
    return Json::array({i->low, i->high});
}

Json comparisonJson(const BatchComparison& c) {
    Json doc;
    doc["team"] = c.team;
    doc["games_a"] = c.gamesA;
    doc["games_b"] = c.gamesB;
    Json figures = Json::array();
    for (const FigureComparison& f : c.figures) {
        Json j;
        j["name"] = f.name;
        j["mean_a"] = f.a.n > 0 ? Json(f.a.mean) : Json(nullptr);
        j["mean_b"] = f.b.n > 0 ? Json(f.b.mean) : Json(nullptr);
        j["ci95_a"] = intervalJson(f.a.ci95);
        j["ci95_b"] = intervalJson(f.b.ci95);
        j["difference"] = f.test.difference;
        j["difference_ci95"] = intervalJson(f.test.ci95);
        j["p_value"] = f.test.pValue ? Json(*f.test.pValue) : Json(nullptr);
        j["games_needed"] = f.test.gamesNeeded ? Json(*f.test.gamesNeeded) : Json(nullptr);
        figures.push_back(std::move(j));
    }
    doc["figures"] = std::move(figures);
    doc["verdict"] = verdictOf(c);
    return doc;
}

void printComparison(std::ostream& out, const BatchComparison& c) {
    out << c.team << ": " << c.gamesA << " game(s) in A, " << c.gamesB << " in B\n\n";
    std::vector<std::vector<std::string>> rows;
    for (const FigureComparison& f : c.figures) {
        rows.push_back(
            {f.name, meanText(f.a), meanText(f.b), fixedText(f.test.difference, 3),
             f.test.ci95 ? "[" + fixedText(f.test.ci95->low, 3) + ", " + fixedText(f.test.ci95->high, 3) + "]" : "-",
             pValueText(f.test.pValue)});
    }
    printAligned(out, {"figure", "mean_a", "mean_b", "difference", "ci95", "p"}, rows);
    out << '\n' << verdictOf(c) << '\n';
}

}  // namespace

int runCompare(const CompareOptions& options, std::ostream& out, std::ostream& err) {
    bool ok = true;
    const std::vector<std::string> pathsA = batchPaths(options.a, err, ok);
    const std::vector<std::string> pathsB = batchPaths(options.b, err, ok);
    if (!ok) return 1;
    err << "batch A:\n";
    const BatchRun a = runBatch(pathsA, options.jobs, options.progress, err);
    err << "batch B:\n";
    const BatchRun b = runBatch(pathsB, options.jobs, options.progress, err);
    for (const BatchRun* run : {&a, &b}) {
        for (const GameSummary& g : run->games) {
            if (!g.ok()) err << "tessarin-cli: " << g.error << '\n';
        }
    }

    const std::vector<TeamGame> gamesA = gamesOfTeam(a.games, options.team);
    const std::vector<TeamGame> gamesB = gamesOfTeam(b.games, options.team);
    if (gamesA.empty() && gamesB.empty()) {
        err << "tessarin-cli: " << options.team << " played in none of the games\n";
        return 1;
    }
    const BatchComparison comparison = compareBatches(options.team, gamesA, gamesB);
    printComparison(out, comparison);
    bool written = true;
    if (!options.json.empty() && !writeFileAtomically(options.json, dumpJson(comparisonJson(comparison)) + '\n')) {
        err << "tessarin-cli: cannot write " << options.json << '\n';
        written = false;
    }
    const BatchRun* runs[] = {&a, &b};
    return batchStatus(runs, written, err);
}

}  // namespace tessarin::cli
