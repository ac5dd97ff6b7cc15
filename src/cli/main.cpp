// tessarin-cli: batch access to the game files and analyses of Tessarin.

#include <unistd.h>
#include <CLI/CLI.hpp>
#include <atomic>
#include <csignal>
#include <exception>
#include <iostream>
#include <limits>

#include "TessarinVersion.h"
#include "cli/Commands.h"
#include "cli/OptionChecks.h"

namespace {

// Set by Ctrl-C or SIGTERM: the recorder then saves what arrived, the autoplayer ends its
// clients and stops.
std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted = true; }

// A year: longer waits are typing mistakes, and every one of them fits a timer.
constexpr double kMostSeconds = 365.0 * 24 * 3600;
constexpr long long kMostCount = 1'000'000'000;

CLI::Validator positiveSeconds(double highest) {
    return CLI::Validator([highest](std::string& text) { return tessarin::cli::checkPositiveSeconds(text, highest); },
                          "SECONDS>0");
}

CLI::Validator secondsFromZero(double highest) {
    return CLI::Validator([highest](std::string& text) { return tessarin::cli::checkSecondsFromZero(text, highest); },
                          "SECONDS>=0");
}

CLI::Validator count(long long lowest, long long highest) {
    return CLI::Validator(
        [lowest, highest](std::string& text) { return tessarin::cli::checkCount(text, lowest, highest); }, "NUMBER");
}

// The store's budget of a command that loads a game.
void addMaxRecords(CLI::App& command, std::size_t& maxRecords) {
    command
        .add_option("--max-records", maxRecords,
                    "Most records a game may hold; reading stops there with a warning (exit status 2)")
        ->capture_default_str()
        ->check(count(1, 100'000'000));
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessarin::cli;
    CLI::App app{"Tessarin command-line tool: inspect and convert game logs and sight logs."};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("tessarin-cli ") + tessarin::kVersion, "Print the version and exit");

    InfoOptions info;
    auto* infoCmd = app.add_subcommand("info", "Load a game file as the viewer does and print what it holds.");
    infoCmd
        ->add_option("FILE", info.file,
                     "Game log (.rcg), sight log (SLG), version-2 sight log (SLH) or a player's debug log")
        ->required();
    infoCmd->add_flag("--json", info.json, "Print one JSON object instead of text");
    addMaxRecords(*infoCmd, info.maxRecords);

    ConvertOptions convert;
    auto* convertCmd = app.add_subcommand("convert",
                                          "Load a game file and write it again in the format of its first record (game "
                                          "logs of every version as version 3, or as version 6 when asked), "
                                          "gzip-compressed when OUT ends in .gz.");
    convertCmd->add_option("IN", convert.in, "File to read")->required();
    convertCmd->footer("Exit status 2: OUT was written from an input that was damaged or larger than --max-records.");
    convertCmd->add_option("OUT", convert.out, "File to write")->required();
    convertCmd
        ->add_option("--format", convert.format,
                     "Game-log format to write: v3 (binary) or v6 (text, with cards, logos and the other fields "
                     "version 3 has no room for)")
        ->capture_default_str()
        ->check(CLI::IsMember({"v3", "v6"}));
    addMaxRecords(*convertCmd, convert.maxRecords);

    RecordOptions record;
    record.interrupted = &interrupted;
    auto* recordCmd = app.add_subcommand("record", "Watch a live game as a monitor client and save it as a game log.");
    recordCmd->add_option("--host", record.host, "Server host")->capture_default_str();
    recordCmd->add_option("--port", record.port, "Server monitor port")
        ->capture_default_str()
        ->check(CLI::Range(1, 65535));
    recordCmd
        ->add_option("--protocol", record.protocol,
                     "Monitor protocol: 5 (servers 17 to 19; text with cards and focus), 3, 4, or 2 (binary)")
        ->capture_default_str()
        ->check(CLI::Range(tessarin::kMinMonitorProtocol, tessarin::kMaxMonitorProtocol));
    recordCmd->add_option("--out", record.out, "Game log to write (.rcg)")->required();
    recordCmd->add_option("--format", record.format, "Game-log format to write: v3 (binary) or v6 (text)")
        ->capture_default_str()
        ->check(CLI::IsMember({"v3", "v6"}));
    recordCmd->add_option("--cycles", record.cycles, "Stop after this many show records")->check(count(1, kMostCount));
    recordCmd->add_option("--seconds", record.seconds, "Stop after this many seconds")
        ->check(positiveSeconds(kMostSeconds));
    recordCmd
        ->add_option("--idle", record.idle,
                     "Once something has arrived, stop after this many seconds without a datagram")
        ->capture_default_str()
        ->check(positiveSeconds(kMostSeconds));

    AnalyzeOptions analyze;
    auto* analyzeCmd = app.add_subcommand(
        "analyze", "Analyse games: behaviour events, statistics, plan recognition, position dump, opponent model.");
    analyzeCmd->add_option("FILE", analyze.files, "Game files, loaded one after another")->required();
    analyzeCmd->add_option("--out", analyze.out, "Output directory (one folder per game when there are several)")
        ->capture_default_str();
    analyzeCmd->add_flag("--events", analyze.events, "Write the event report \"event.txt\"");
    analyzeCmd->add_flag("--stats-json", analyze.statsJson, "Write every statistic as \"stats.json\"");
    analyzeCmd->add_flag("--plan", analyze.plan,
                         "Run plan recognition (\"concurrent_event.txt\", \"Trie.txt\", \"MAPRN.txt\"); reads "
                         "\"plan_recognition_parameters.txt\" from the working directory");
    analyzeCmd->add_flag("--dump-positions", analyze.dumpPositions,
                         "Write \"ball.txt\" and \"player1.txt\" .. \"player22.txt\"");
    analyzeCmd->add_flag(
        "--opponent-model", analyze.opponentModel,
        "Learn the opponent model over all files and save one block file per team into the output directory");
    analyzeCmd->footer(
        "Without an output flag, --events and --stats-json are written. Exit status 2: the outputs were written from "
        "an input that was damaged or larger than --max-records.");
    addMaxRecords(*analyzeCmd, analyze.maxRecords);

    SceneOptions scene;
    auto* sceneCmd = app.add_subcommand(
        "scene", "Write the first record of a cycle as a scene: a version-2 sight log seen by one player.");
    sceneCmd->add_option("FILE", scene.file, "Game log to take the cycle from")->required();
    sceneCmd->add_option("--cycle", scene.cycle, "Cycle whose first record is written")->required();
    sceneCmd->add_option("--self", scene.self, "Observing player: 1..11 left players 1..11, 12..22 right players 1..11")
        ->required();
    sceneCmd->add_option("--out", scene.out, "Scene file to write (.slh)")->required();
    addMaxRecords(*sceneCmd, scene.maxRecords);

    AutoplayOptions autoplay;
    autoplay.interrupted = &interrupted;
    auto* autoplayCmd = app.add_subcommand(
        "autoplay", "Start a team's eleven clients against a running server, again each time all of them ended.");
    autoplayCmd->add_option("--client", autoplay.client, "Client program, started in its own directory")->required();
    autoplayCmd->add_option("--client-param", autoplay.clientParam,
                            "Start of every command line; its first word becomes the client's argv[0]");
    autoplayCmd->add_option("--goalie-param", autoplay.goalieParam, "Added to the goalie's command line");
    autoplayCmd->add_option("--goalie-num", autoplay.goalieNum, "Uniform number of the goalie (none outside 1..11)")
        ->capture_default_str();
    autoplayCmd->add_option("--host", autoplay.host, "Server host")->capture_default_str();
    autoplayCmd->add_option("--port", autoplay.port, "Server port for players")
        ->capture_default_str()
        ->check(CLI::Range(1, 65535));
    autoplayCmd->add_option("--rounds", autoplay.rounds, "Stop after this many rounds (default: until interrupted)")
        ->check(count(1, std::numeric_limits<int>::max()));
    autoplayCmd->add_option("--pause", autoplay.pauseSeconds, "Seconds between the end of a round and the next one")
        ->capture_default_str()
        ->check(secondsFromZero(1e7));
    autoplayCmd->footer("Ctrl-C or SIGTERM ends the running clients (SIGTERM, then SIGKILL) and stops.");

    // A progress line only where somebody watches it.
    const bool stderrIsTerminal = ::isatty(STDERR_FILENO) == 1;

    SummaryOptions summary;
    summary.progress = stderrIsTerminal;
    auto* summaryCmd = app.add_subcommand(
        "summary", "Summarise many games: one row per game, then each team's figures over its games.");
    summaryCmd->add_option("PATH", summary.paths, "Game logs and folders (searched recursively)")->required();
    summaryCmd->add_option("--team", summary.team, "Write the rows from this team's view (our_/opp_, win/draw/loss)");
    summaryCmd->add_option("-j,--jobs", summary.jobs, "Games analysed at once (default: the hardware threads)")
        ->check(CLI::Range(1, 1024));
    summaryCmd->add_option("--csv", summary.csv, "Write the rows as CSV");
    summaryCmd->add_option("--json", summary.json, "Write {\"games\": [rows], \"teams\": [aggregates]}");
    summaryCmd->footer("Exit status 1 when a game could not be read. Sight logs are skipped.");

    CompareOptions compare;
    compare.progress = stderrIsTerminal;
    auto* compareCmd = app.add_subcommand(
        "compare", "Compare a team's figures between two batches of games, with 95 % intervals and p-values.");
    compareCmd->add_option("A", compare.a, "First batch: a folder, a game log or a list of paths (.txt, .list, .lst)")
        ->required();
    compareCmd->add_option("B", compare.b, "Second batch, likewise")->required();
    compareCmd->add_option("--team", compare.team, "The team whose figures are compared")->required();
    compareCmd->add_option("-j,--jobs", compare.jobs, "Games analysed at once (default: the hardware threads)")
        ->check(CLI::Range(1, 1024));
    compareCmd->add_option("--json", compare.json, "Write the comparison as JSON");

    ExportCsvOptions exportCsv;
    auto* exportCsvCmd =
        app.add_subcommand("export-csv", "Write one wide CSV row per show record of a game log, for notebooks.");
    exportCsvCmd->add_option("FILE", exportCsv.file, "Game log")->required();
    exportCsvCmd->add_option("--out", exportCsv.out, "CSV file to write (default: standard output)");

    CLI11_PARSE(app, argc, argv);

    // Whatever a command throws (memory running out, a library's error) ends it with one
    // message and status 1 rather than an abort.
    try {
        if (*infoCmd) return runInfo(info, std::cout, std::cerr);
        if (*convertCmd) return runConvert(convert, std::cout, std::cerr);
        if (*analyzeCmd) return runAnalyze(analyze, std::cout, std::cerr);
        if (*sceneCmd) return runScene(scene, std::cout, std::cerr);
        if (*summaryCmd) return runSummary(summary, std::cout, std::cerr);
        if (*compareCmd) return runCompare(compare, std::cout, std::cerr);
        if (*exportCsvCmd) return runExportCsv(exportCsv, std::cout, std::cerr);
        if (*recordCmd || *autoplayCmd) {
            struct sigaction action {};
            action.sa_handler = onInterrupt;
            sigemptyset(&action.sa_mask);
            sigaction(SIGINT, &action, nullptr);
            sigaction(SIGTERM, &action, nullptr);
            if (*autoplayCmd) return runAutoplay(autoplay, std::cout, std::cerr);
            return runRecord(record, std::cout, std::cerr);
        }
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "tessarin-cli: " << e.what() << '\n';
    }
    return 1;
}
