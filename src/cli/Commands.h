#pragma once

// The subcommands of tessarin-cli. Each returns the process exit status.

#include <cstddef>
#include <ostream>
#include <string>

#include "live/MonitorHost.h"
#include "record/StoreBudget.h"

namespace tessarin::cli {

struct InfoOptions {
    std::string file;
    bool json = false;
    std::size_t maxRecords = StoreBudget::kDefaultRecords;  // the store's budget
};
int runInfo(const InfoOptions& options, std::ostream& out, std::ostream& err);

struct ConvertOptions {
    std::string in;
    std::string out;
    std::string format = "v3";  // "v3" (sight logs keep theirs) or "v6"
    std::size_t maxRecords = StoreBudget::kDefaultRecords;
};
// Status 2 when IN was damaged or larger than the budget: what was read is written.
int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli

#include <atomic>
#include <cstdint>
#include <optional>

namespace tessarin::cli {

struct RecordOptions {
    std::string host = "localhost";
    int port = 6000;
    int protocol = kDefaultMonitorProtocol;  // the monitor protocol asked for, 2 to 5
    std::string out;
    std::optional<std::size_t> cycles;  // stop after this many show records
    std::optional<double> seconds;      // stop after this long
    // Once something has arrived, this many seconds without a datagram end the recording:
    // a server that has gone away sends nothing, and a lost peer is noticed only on a send.
    double idle = 5;
    std::string format = "v3";  // of the saved game log: "v3" or "v6"
    // Set from outside (Ctrl-C) to stop recording and save what arrived.
    const std::atomic<bool>* interrupted = nullptr;
    // The store's budget: a recording that reaches it stops there, keeps what arrived and
    // ends with status 2.
    StoreBudget budget;
};
int runRecord(const RecordOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli

#include <vector>

namespace tessarin::cli {

struct AnalyzeOptions {
    std::vector<std::string> files;
    std::string out = ".";
    bool events = false;         // "event.txt"
    bool statsJson = false;      // "stats.json"
    bool plan = false;           // "concurrent_event.txt", "Trie.txt", "MAPRN.txt"
    bool dumpPositions = false;  // "ball.txt", "player1.txt" .. "player22.txt"
    bool opponentModel = false;  // one block file per team, over all files
    std::size_t maxRecords = StoreBudget::kDefaultRecords;
};
// With no output chosen, writes the event report and the statistics document. Status 1
// when something failed, else 2 when an input was damaged or larger than the budget.
int runAnalyze(AnalyzeOptions options, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli

namespace tessarin::cli {

struct SceneOptions {
    std::string file;
    int cycle = 0;
    int self = 0;  // 1..11 left players, 12..22 right players
    std::string out;
    std::size_t maxRecords = StoreBudget::kDefaultRecords;
};
// Writes the first record of a cycle as the scene editor does.
int runScene(const SceneOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli

namespace tessarin::cli {

struct AutoplayOptions {
    std::string client;  // the client program
    std::string clientParam;
    std::string goalieParam;
    int goalieNum = 1;
    std::string host = "localhost";
    int port = 6000;
    std::optional<int> rounds;  // none: until interrupted
    double pauseSeconds = 30;   // between the end of a round and the next one
    // Set from outside (Ctrl-C, SIGTERM) to end the running clients and stop.
    const std::atomic<bool>* interrupted = nullptr;
};
// Starts eleven clients round after round, as the viewer's autoplayer does.
int runAutoplay(const AutoplayOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli

namespace tessarin::cli {

struct SummaryOptions {
    std::vector<std::string> paths;  // game logs and folders
    std::string team;                // rows from this team's view when not empty
    int jobs = 0;                    // games at once; the hardware threads when 0
    std::string csv;
    std::string json;
    bool progress = false;  // a progress line on stderr (when it is a terminal)
};
// Summarises every game; 1 when a game could not be read, else 0.
int runSummary(const SummaryOptions& options, std::ostream& out, std::ostream& err);

struct CompareOptions {
    std::string a;  // a folder, a game log, or a list of paths (".txt", ".list", ".lst")
    std::string b;
    std::string team;
    int jobs = 0;
    std::string json;
    bool progress = false;
};
// Compares a team's figures between two batches; 1 when a game could not be read or
// the team played in neither batch, else 0.
int runCompare(const CompareOptions& options, std::ostream& out, std::ostream& err);

struct ExportCsvOptions {
    std::string file;
    std::string out;  // stdout when empty
};
// One wide row per show record, for notebooks.
int runExportCsv(const ExportCsvOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli
