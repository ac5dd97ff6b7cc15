#pragma once

// The one game that is loaded or being received, and its playback.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "record/Companion.h"
#include "record/CompanionStore.h"
#include "record/DecisionRecords.h"
#include "record/Dispinfo2Parser.h"
#include "record/GameRecords.h"
#include "record/JsonLogParser.h"
#include "record/LogFile.h"
#include "record/LogHeader.h"
#include "record/PlaybackHost.h"
#include "record/SightLogParser.h"
#include "record/SightLogV2Parser.h"
#include "record/StoreBudget.h"
#include "record/TextDispinfoParser.h"
#include "record/TextLogParser.h"
#include "record/V3LogParser.h"

namespace tessarin {

class CParserThread;

// The log player's numbered commands.
enum LogPlayerCommand : int {
    kCmdOpen = 0,
    kCmdLoad = 1,
    kCmdPlay = 2,
    kCmdStop = 3,
    kCmdStepForward = 4,
    kCmdStepBack = 5,
    kCmdRewind = 6,
    kCmdJump = 7,
    kCmdReverse = 8,
    kCmdFaster = 9,
    kCmdSlower = 10,
    kCmdReset = 11,
    kCmdSave = 12,
};

enum class DecisionFile : int { Pass = 0, Intercept = 1, Behave = 2 };
inline constexpr std::array<const char*, 3> kDecisionFileNames = {"pass.dec", "intercept.dec", "behave.dec"};

// What a save writes: the format of the store's first record, or a version-6 text log.
enum class SaveFormat { Native, V6 };

// What the last load found before reading started.
enum class LoadOutcome { NotLoaded, Reading, CannotOpen, Empty, UnknownFormat };

// The decisions of the current cycle, one list per decision file.
struct CurrentDecisions {
    cycle_pass_info pass;
    cycle_intercept_info intercept;
    cycle_defense_info defense;
};

// Size of the packet that replays a record to the clients.
inline constexpr std::size_t kReplayPacketSize = 2060;
// Records that a replay goes back from the current one.
inline constexpr std::size_t kReplayLength = 30;
// Player types kept per game, in arrival order: the server sends 18, and a hostile file
// or peer must not grow the store (and every lookup) without end. Later ones are counted.
inline constexpr std::size_t kMaxPlayerTypes = 256;
// Most bytes of XPM text one team's logo may take; a full logo of 256 tiles of 8 x 8
// pixels in a few colours takes some 25 KiB.
inline constexpr std::size_t kMaxLogoBytes = 512 << 10;
// The message shown when the opponent model finished with a game log.
inline constexpr const char* kOpponentModelDoneText = "Opponent Model Recognization done!!";

// Owns the frame store of the loaded game, its parameter blocks and decision records,
// the parsers and the parser thread, and turns the numbered commands into playback.
//
// Threads: the GUI thread issues commands and ticks; the parser thread (files) and the
// monitor's receiving thread append through add(). `mutex_` guards the store, and every
// accessor hands out copies: nobody keeps a reference into the store across the lock.
class LogPlayer final {
public:
    explicit LogPlayer(PlaybackHost& host, GameAnalysisHooks* hooks = nullptr);
    ~LogPlayer();
    LogPlayer(const LogPlayer&) = delete;
    LogPlayer& operator=(const LogPlayer&) = delete;

    // Sets the analysis fed by add(); call before anything is loaded or received.
    void setAnalysisHooks(GameAnalysisHooks* hooks);

    // Runs command 0..12 with its text argument (the path for load). Other numbers do
    // nothing. Returns the result of open, load and save, true for the others.
    bool command(int number, const std::string& text = {});
    // Whether a command's menu entry and button are enabled.
    bool availability(int number) const;

    // The record to draw now; moves one step first while the timer runs. None when empty.
    std::optional<cycle_info_t> current();
    // One expiry of the playback timer: current(), and in replay mode the replay packet
    // for the clients and the end of the replay. Returns the record to draw.
    std::optional<cycle_info_t> timerTick();
    std::optional<cycle_info_t> last() const;
    int first_cycle() const;
    int last_cycle() const;
    int current_cycle() const;
    // Index of the record with this cycle, or of a neighbour when it is missing (bisection).
    std::size_t find(int cycle) const;
    // Draws the record of this cycle without moving the playback position.
    void preview(int cycle);
    // Moves the playback position to the record of this cycle (a neighbour when it is
    // missing), as an answered jump does; the timer keeps running if it ran.
    void jumpTo(int cycle);
    // Moves the playback position to the newest record (a live game's replay starts
    // there: its cycles may repeat or start again, so a search by cycle can land mid-run).
    void moveToLast();

    // Stops the timer around a task that playback must not run through (a dump, a dialog)
    // and says whether it ran; resume() starts it again in the direction it had. Unlike
    // play, resuming never starts a replay over.
    bool pause();
    void resume();

    // A live game is about to replace the loaded one: stops the timer and the parser
    // thread and resets the speed and direction, as reset does, but keeps the store.
    void prepareLiveGame();
    // Empties the store, the player types and the decision records (any thread).
    void clearGame();

    // What one game may hold; set before a load or a connection (GUI thread). A load
    // keeps the budget that was set when it started.
    void setBudget(const StoreBudget& budget);
    StoreBudget budget() const;
    // Whether a record was refused because the store was full: readers stop there and
    // the store keeps what it holds (any thread; cleared when the store is emptied).
    bool overBudget() const { return overBudget_.load(std::memory_order_acquire); }
    // The sight-log reader stopped reading the decision files at the budget.
    void noteDecisionBudgetExceeded();

    // Producers: append a record (any thread). Past the budget the record is dropped.
    void add(const cycle_info_t& record);
    // Appends several records in order under one taking of the lock, each exactly as add().
    void add(std::span<const cycle_info_t> records);
    void add_with_decisions(const cycle_info_t& record, const cycle_pass_info& pass,
                            const cycle_intercept_info& intercept, const cycle_defense_info& defense);
    // A datagram of the monitor connection, binary (protocol 2) or text (protocols 3 to
    // 5); true when it stored a show record. Receiving thread only.
    bool parse_monitor_packet(const std::uint8_t* packet, std::size_t size);
    bool parse_monitor_text(const std::uint8_t* datagram, std::size_t size);
    // Text datagrams dropped because they could not be read (any thread).
    std::uint64_t rejectedMonitorTexts() const { return textDispinfoParser_.rejected(); }

    // A tile of a team's logo (side 0 left, 1 right) from a reader; it replaces the tile
    // at its place. A tile that is no valid logo tile, or that would take the logo past
    // kMaxLogoBytes, is dropped (and said in the load warning); the game goes on.
    void addLogoTile(int side, LogoTile tile);
    TeamLogos teamLogos() const;
    // The companion of the record at `index` in the store, or none (any thread).
    std::optional<CycleCompanion> companionAt(std::size_t index) const;
    // Whether any record of the game has a companion, and the bytes they take.
    bool hasCompanions() const;
    std::size_t companionBytes() const;
    // What a version-3 save of this game leaves out, as a list for a sentence ("cards and
    // fouls, tackle counts, team logos"); empty when the game holds nothing it cannot keep.
    std::string droppedByVersion3() const;

    // Appends a type; beyond kMaxPlayerTypes it is only counted.
    void addPlayerType(const player_type_t& type);
    void setServerParameters(const server_param_t& params);
    void setPlayerParameters(const player_param_t& params);
    std::optional<player_type_t> player_type(int id) const;
    std::vector<player_type_t> player_types() const;
    // Types that arrived after kMaxPlayerTypes were stored, and were dropped.
    std::size_t droppedPlayerTypes() const;
    server_param_t server_parameters() const;
    player_param_t player_parameters() const;
    bool hasServerParameters() const;
    // Ball size from the server parameters, or the default before any arrived.
    double ball_size() const;

    // Opponent-model calls from the game-log reader.
    void startOpponentModel(const show_info_t& show);
    void finishOpponentModel();

    // Decision files of the loaded log. decisionFile() is for the parser thread while it reads.
    bool decisionsLoaded(DecisionFile which) const;
    LogFile* decisionFile(DecisionFile which);
    CurrentDecisions currentDecisions() const;
    // The decisions stored with the record at `index`, as the current ones would be there.
    CurrentDecisions decisionsAt(std::size_t index) const;
    std::size_t decisionCount(DecisionFile which) const;

    // Replay of the last cycles to the clients.
    void setReplayMode(bool on);
    bool replayMode() const { return replayMode_; }
    static std::vector<std::uint8_t> buildReplayPacket(const cycle_info_t& record);

    // Writes the store to a file in the format of its first record (game logs as version
    // 3), or as a version-6 text game log with the companions and logos, gzip-compressed
    // when the path ends in ".gz"; false when the store is empty, a version-6 log is asked
    // of records that are not shows, the file cannot be created or a write failed. An
    // existing file is only ever replaced by a complete one. `error`, when given,
    // receives the errno of a failed write.
    bool save(const std::string& path, int* error = nullptr, SaveFormat format = SaveFormat::Native) const;

    // Loads a game held in memory as load() loads a file, with the decision files that are
    // given; the bytes must stay valid until the next load, reset or destruction. With
    // `inCaller` the game is read before the call returns, on the calling thread.
    bool loadMemory(std::span<const std::uint8_t> game,
                    const std::array<std::optional<std::span<const std::uint8_t>>, 3>& decisions = {},
                    bool inCaller = false);

    // Blocks until the parser thread has read its file.
    void waitForParser();
    bool parsing() const;
    LogFormat format() const { return format_; }
    LoadOutcome loadOutcome() const { return loadOutcome_; }
    // The errno behind LoadOutcome::CannotOpen.
    int loadError() const { return loadError_; }
    // The parser's result once it finished: true when it read to the end of the file.
    std::optional<bool> parseResult() const;
    // Whether the loaded file was gzip-compressed.
    bool compressed() const { return compressed_; }
    // What the reader of the last load had to say (a line it could not read, lines it
    // skipped, a damaged compressed stream); empty when nothing.
    std::string loadWarning() const;
    // Called by the readers (any thread); the first warning of a load is kept.
    void setLoadWarning(std::string text);
    // Once the parser finished: whether it dropped a record cut off by the end of the
    // file, and whether memory ran out (reading stopped there; what was stored stays).
    bool droppedTornRecord() const;
    bool ranOutOfMemory() const;
    // Once the parser finished: whether the file was damaged, so that what was stored is
    // not all of it: a record that cannot be read, one cut off by the end of the file, a
    // damaged compressed stream or a read error. Neither the budget nor memory running
    // out count as damage (see overBudget(), ranOutOfMemory()).
    bool inputDamaged() const;

    std::size_t size() const;
    std::size_t index() const;
    double period() const { return period_; }
    bool running() const { return running_; }
    bool reverse() const { return reverse_; }

    // Calls f(const std::vector<cycle_info_t>&) with the store under the lock. f must
    // not call back into the log player. The stored records carry no companion.
    template <typename F>
    decltype(auto) withStore(F&& f) const {
        std::lock_guard lock(mutex_);
        return f(frames_);
    }
    // As withStore, with the records' companions: f(frames, companions).
    template <typename F>
    decltype(auto) withStoreAndCompanions(F&& f) const {
        std::lock_guard lock(mutex_);
        return f(frames_, companions_);
    }

private:
    // Loads `path` once its header names a known format; `resetFirst` resets playback
    // too (the open command). False, with the game left as it was, for any other file.
    bool load(const std::string& path, bool resetFirst);
    // Reads the header of a file just opened and records the outcome of a failed probe;
    // the file is left at the first byte after the header.
    std::optional<LogFormat> probe(LogFile& file);
    void closeFiles();
    void attachDecisionFile(std::size_t i, std::unique_ptr<LogFile> file);
    void startReading(LogFormat format, bool inCaller);
    // Reserves the store's room for the records a file of `bytes` bytes can hold.
    void reserveFor(LogFormat format, std::uint64_t bytes);
    void stopParser();
    void clearStore();  // requires mutex_
    void startTimer();
    void stopTimer();
    void play();
    void jump();
    bool saveWithDialog();
    void copyCurrentLocked();                                     // requires mutex_
    CurrentDecisions decisionsAtLocked(std::size_t index) const;  // requires mutex_
    cycle_info_t handOutLocked(std::size_t index) const;          // requires mutex_: a copy with its companion
    bool addLocked(const cycle_info_t& record);                   // requires mutex_; false when over budget
    bool admitLocked(const cycle_info_t& record);                 // requires mutex_
    std::size_t findLocked(int cycle) const;                      // requires mutex_

    PlaybackHost& host_;
    GameAnalysisHooks* hooks_ = nullptr;  // guarded by mutex_ for add(); set before use

    // GUI-thread state: playback and loading.
    double period_ = 100.0;
    bool running_ = false;
    bool reverse_ = false;
    bool replayMode_ = false;
    int replayEnd_ = 0;
    LogFormat format_ = LogFormat::None;
    bool compressed_ = false;
    LoadOutcome loadOutcome_ = LoadOutcome::NotLoaded;
    int loadError_ = 0;
    std::unique_ptr<LogFile> logFile_;                       // read by the parser thread until it is joined
    std::array<std::unique_ptr<LogFile>, 3> decisionFiles_;  // read by the parser thread only
    std::array<bool, 3> decisionsLoaded_ = {false, false, false};
    std::unique_ptr<CParserThread> parserThread_;

    CSightLogParser sightParser_;
    CSightLogV2Parser sightV2Parser_;
    CV3LogParser v3Parser_;
    CTextLogParser textParser_;
    CJsonLogParser jsonParser_;
    CDispinfo2Parser dispinfoParser_;         // used on the monitor's receiving thread only
    CTextDispinfoParser textDispinfoParser_;  // used on the monitor's receiving thread only

    std::atomic<bool> overBudget_{false};  // set under mutex_ by producers, read without it by readers

    mutable std::mutex mutex_;
    // Guarded by mutex_:
    std::vector<cycle_info_t> frames_;
    std::vector<cycle_pass_info> passDecisions_;
    std::vector<cycle_intercept_info> interceptDecisions_;
    std::vector<cycle_defense_info> defenseDecisions_;
    std::vector<player_type_t> playerTypes_;
    std::unordered_map<int, std::size_t> playerTypeIndex_;  // id -> first type of that id in playerTypes_
    std::size_t droppedPlayerTypes_ = 0;
    server_param_t serverParams_{};
    player_param_t playerParams_{};
    bool hasServerParams_ = false;
    std::string loadWarning_;
    StoreBudget budget_;
    std::size_t storeBytes_ = 0;  // storedBytes() of every record in frames_, and the companions
    CompanionStore companions_;   // one per record of frames_ once any record has one
    TeamLogos logos_;
    std::shared_ptr<const TeamLogos> sharedLogos_;  // a copy of logos_ for the records handed out; null when none
    std::size_t index_ = 0;
    cycle_info_t current_;
    CurrentDecisions currentDecisions_;
};

}  // namespace tessarin
