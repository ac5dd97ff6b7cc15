#include "record/LogPlayer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "record/ByteOrder.h"
#include "record/LogWriters.h"
#include "record/ParserThread.h"

namespace tessarin {

namespace {

// Room reserved in the frame store for a full game; it grows beyond that as needed.
constexpr std::size_t kInitialStoreCapacity = 8000;
// Most records a load reserves room for from the file's size (about 1.5 GB of address
// space, which is not touched until records arrive); a larger game grows the store.
constexpr std::uint64_t kMostReservedRecords = 1'000'000;
// Fewest bytes one record of the store takes in a file of each format: a version-3 show
// with its kind, a text show line (22 players at 60 bytes at least), a JSON show (22
// players with their named members at 180 bytes at least), the sight records.
constexpr std::uint64_t kV3ShowBytes = 2 + kShowBodySize;
constexpr std::uint64_t kTextShowBytes = 1500;
constexpr std::uint64_t kJsonShowBytes = 4000;
constexpr double kFastestPeriodLimit = 10.0;
constexpr double kSlowestPeriodLimit = 1000.0;
constexpr double kDefaultPeriod = 100.0;

// The log's folder and its file name up to and including the name's last '-': the
// decision files of a log named from parts joined by '-' lie next to it under the same
// leading parts, those of a log without '-' in its name lie next to it as they are.
// A '-' in a folder name is not part of the file name and plays no part.
std::string decisionPrefix(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dash = path.rfind('-');
    return path.substr(0, dash == std::string::npos || dash < nameStart ? nameStart : dash + 1);
}

}  // namespace

LogPlayer::LogPlayer(PlaybackHost& host, GameAnalysisHooks* hooks)
    : host_(host),
      hooks_(hooks),
      sightParser_(*this),
      sightV2Parser_(*this),
      v3Parser_(*this),
      textParser_(*this),
      jsonParser_(*this),
      dispinfoParser_(*this),
      textDispinfoParser_(*this) {
    frames_.reserve(kInitialStoreCapacity);
}

LogPlayer::~LogPlayer() { stopParser(); }

void LogPlayer::setAnalysisHooks(GameAnalysisHooks* hooks) {
    std::lock_guard lock(mutex_);
    hooks_ = hooks;
}

bool LogPlayer::command(int number, const std::string& text) {
    switch (number) {
        case kCmdOpen: {
            const auto path = host_.askOpenPath();
            if (!path) return false;
            return load(*path, true);
        }
        case kCmdLoad:
            return load(text, false);
        case kCmdPlay:
            play();
            return true;
        case kCmdStop:
            stopTimer();
            return true;
        case kCmdStepForward: {
            stopTimer();
            std::lock_guard lock(mutex_);
            if (index_ + 1 < frames_.size()) ++index_;
            return true;
        }
        case kCmdStepBack: {
            stopTimer();
            std::lock_guard lock(mutex_);
            if (index_ > 0) --index_;
            return true;
        }
        case kCmdRewind: {
            stopTimer();
            std::lock_guard lock(mutex_);
            index_ = 0;
            return true;
        }
        case kCmdJump:
            jump();
            return true;
        case kCmdReverse:
            startTimer();
            reverse_ = true;
            return true;
        case kCmdFaster:
            if (running_ && period_ > kFastestPeriodLimit) {
                period_ /= 2;
                stopTimer();
                startTimer();
            }
            return true;
        case kCmdSlower:
            if (running_ && period_ < kSlowestPeriodLimit) {
                period_ *= 2;
                stopTimer();
                startTimer();
            }
            return true;
        case kCmdReset:
            // Resetting empties the game, so a file still being read must stop first;
            // otherwise its records would mix into whatever comes next.
            prepareLiveGame();
            clearGame();
            return true;
        case kCmdSave:
            return saveWithDialog();
        default:
            return true;
    }
}

bool LogPlayer::availability(int number) const {
    if (number == kCmdOpen) return true;
    std::size_t count = 0;
    std::size_t at = 0;
    {
        std::lock_guard lock(mutex_);
        count = frames_.size();
        at = index_;
    }
    if (count == 0) return false;
    switch (number) {
        case kCmdPlay:
            return !(running_ && !reverse_);
        case kCmdStop:
            return running_;
        case kCmdRewind:
            return at != 0;
        case kCmdReverse:
            return !(running_ && reverse_);
        case kCmdFaster:
            return period_ > kFastestPeriodLimit;
        case kCmdSlower:
            return period_ < kSlowestPeriodLimit;
        default:
            return true;
    }
}

void LogPlayer::startTimer() {
    if (running_) return;
    host_.startTimer(static_cast<int>(period_));
    running_ = true;
}

void LogPlayer::stopTimer() {
    if (!running_) return;
    host_.stopTimer();
    running_ = false;
}

void LogPlayer::play() {
    if (!replayMode_) {
        startTimer();
        reverse_ = false;
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (index_ == 0) {
            replayMode_ = false;
            return;
        }
        // The record at the playback position: the copy in current_ is only refreshed
        // by a tick, so after a step or a jump it may still hold an earlier record.
        replayEnd_ = frames_[std::min(index_, frames_.size() - 1)].cycle;
        index_ = index_ >= kReplayLength ? index_ - kReplayLength : 0;
    }
    period_ = kDefaultPeriod;
    startTimer();
    reverse_ = false;
}

bool LogPlayer::pause() {
    const bool wasRunning = running_;
    stopTimer();
    return wasRunning;
}

void LogPlayer::resume() { startTimer(); }

void LogPlayer::moveToLast() {
    std::lock_guard lock(mutex_);
    if (!frames_.empty()) index_ = frames_.size() - 1;
}

void LogPlayer::jump() {
    const bool wasRunning = pause();
    const auto chosen = host_.askJumpCycle(first_cycle(), last_cycle(), current_cycle());
    if (chosen) jumpTo(*chosen);
    if (wasRunning) resume();
}

void LogPlayer::jumpTo(int cycle) {
    std::lock_guard lock(mutex_);
    if (!frames_.empty()) index_ = findLocked(cycle);
}

std::optional<cycle_info_t> LogPlayer::current() {
    bool reachedEnd = false;
    std::optional<cycle_info_t> result;
    {
        std::lock_guard lock(mutex_);
        if (frames_.empty()) return std::nullopt;
        if (running_) {
            if (reverse_) {
                if (index_ > 0) {
                    --index_;
                } else {
                    reachedEnd = true;
                }
            } else if (index_ + 1 < frames_.size()) {
                ++index_;
            } else {
                reachedEnd = true;
            }
        }
        copyCurrentLocked();
        result = current_;
    }
    // The host's timer is stopped outside the lock: the host may be the GUI, which
    // must never wait for the lock while a producer's draw call waits for the GUI.
    if (reachedEnd) stopTimer();
    return result;
}

void LogPlayer::copyCurrentLocked() {
    if (index_ >= frames_.size()) index_ = frames_.empty() ? 0 : frames_.size() - 1;
    current_ = handOutLocked(index_);
    currentDecisions_ = decisionsAtLocked(index_);
}

CurrentDecisions LogPlayer::decisionsAtLocked(std::size_t index) const {
    CurrentDecisions decisions;
    if (decisionsLoaded_[0] && index < passDecisions_.size()) decisions.pass = passDecisions_[index];
    if (decisionsLoaded_[1] && index < interceptDecisions_.size()) decisions.intercept = interceptDecisions_[index];
    if (decisionsLoaded_[2] && index < defenseDecisions_.size()) decisions.defense = defenseDecisions_[index];
    return decisions;
}

std::optional<cycle_info_t> LogPlayer::timerTick() {
    auto record = current();
    if (record && replayMode_) {
        host_.sendReplayPacket(buildReplayPacket(*record));
        if (record->cycle == replayEnd_) {
            replayMode_ = false;
            command(kCmdStop);
        }
    }
    return record;
}

void LogPlayer::setReplayMode(bool on) { replayMode_ = on; }

std::vector<std::uint8_t> LogPlayer::buildReplayPacket(const cycle_info_t& record) {
    std::vector<std::uint8_t> packet(kReplayPacketSize, 0);
    packet[0] = 'B';
    putLe16(packet.data() + 4, 1);
    std::memcpy(packet.data() + 8, record.data.data(), kCycleDataSize);
    return packet;
}

std::optional<cycle_info_t> LogPlayer::last() const {
    std::lock_guard lock(mutex_);
    if (frames_.empty()) return std::nullopt;
    return handOutLocked(frames_.size() - 1);
}

int LogPlayer::first_cycle() const {
    std::lock_guard lock(mutex_);
    return frames_.empty() ? 0 : frames_.front().cycle;
}

int LogPlayer::last_cycle() const {
    std::lock_guard lock(mutex_);
    return frames_.empty() ? 0 : frames_.back().cycle;
}

int LogPlayer::current_cycle() const {
    std::lock_guard lock(mutex_);
    if (frames_.empty()) return 0;
    return frames_[std::min(index_, frames_.size() - 1)].cycle;
}

std::size_t LogPlayer::find(int cycle) const {
    std::lock_guard lock(mutex_);
    return findLocked(cycle);
}

std::size_t LogPlayer::findLocked(int cycle) const {
    if (frames_.empty()) return 0;
    std::size_t low = 0;
    std::size_t high = frames_.size() - 1;
    std::size_t middle = (low + high) / 2;
    for (;;) {
        if (frames_[middle].cycle == cycle) return middle;
        if (frames_[middle].cycle < cycle) {
            low = middle;
        } else {
            high = middle;
        }
        middle = (low + high) / 2;
        if (middle == low || middle == high) {
            if (frames_[low].cycle == cycle) return low;
            if (frames_[high].cycle == cycle) return high;
            return middle;
        }
    }
}

void LogPlayer::preview(int cycle) {
    cycle_info_t record;
    {
        std::lock_guard lock(mutex_);
        if (frames_.empty()) return;
        record = handOutLocked(findLocked(cycle));
    }
    host_.drawRecord(record);
}

void LogPlayer::setBudget(const StoreBudget& budget) {
    std::lock_guard lock(mutex_);
    budget_ = budget;
}

StoreBudget LogPlayer::budget() const {
    std::lock_guard lock(mutex_);
    return budget_;
}

void LogPlayer::noteDecisionBudgetExceeded() {
    std::lock_guard lock(mutex_);
    overBudget_.store(true, std::memory_order_release);
    if (loadWarning_.empty()) loadWarning_ = budgetWarning(budget_, true);
}

bool LogPlayer::admitLocked(const cycle_info_t& record) {
    const std::size_t bytes = storedBytes(record);
    if (frames_.size() < budget_.records && bytes <= budget_.bytes - std::min(storeBytes_, budget_.bytes)) {
        storeBytes_ += bytes;
        return true;
    }
    if (!overBudget_.exchange(true, std::memory_order_acq_rel) && loadWarning_.empty()) {
        loadWarning_ = budgetWarning(budget_, false);
    }
    return false;
}

void LogPlayer::add(const cycle_info_t& record) {
    std::lock_guard lock(mutex_);
    addLocked(record);
}

void LogPlayer::add(std::span<const cycle_info_t> records) {
    std::lock_guard lock(mutex_);
    for (const auto& record : records) {
        if (!addLocked(record)) break;
    }
}

bool LogPlayer::addLocked(const cycle_info_t& record) {
    if (!admitLocked(record)) return false;
    frames_.push_back(record);
    // The companion is kept compactly beside the record, not in it.
    frames_.back().companion.reset();
    storeBytes_ += companions_.append(frames_.size() - 1, record.companion.get());
    if (hooks_ && record.kind == kShowRecord) hooks_->analyzeShow(record, playerTypes_);
    if (frames_.size() == 1) {
        index_ = 0;
        copyCurrentLocked();
        host_.drawRecord(current_);
    }
    if (hooks_) hooks_->feedOpponentModel(record);
    return true;
}

void LogPlayer::add_with_decisions(const cycle_info_t& record, const cycle_pass_info& pass,
                                   const cycle_intercept_info& intercept, const cycle_defense_info& defense) {
    std::lock_guard lock(mutex_);
    if (!admitLocked(record)) return;
    frames_.push_back(record);
    frames_.back().companion.reset();
    storeBytes_ += companions_.append(frames_.size() - 1, record.companion.get());
    if (decisionsLoaded_[0]) passDecisions_.push_back(pass);
    if (decisionsLoaded_[1]) interceptDecisions_.push_back(intercept);
    if (decisionsLoaded_[2]) defenseDecisions_.push_back(defense);
    if (hooks_ && record.kind == kShowRecord) hooks_->analyzeShow(record, playerTypes_);
    if (frames_.size() == 1) {
        index_ = 0;
        copyCurrentLocked();
        host_.drawRecord(current_);
    }
    if (hooks_) hooks_->feedOpponentModel(record);
}

bool LogPlayer::parse_monitor_packet(const std::uint8_t* packet, std::size_t size) {
    return dispinfoParser_.parse(packet, size);
}

bool LogPlayer::parse_monitor_text(const std::uint8_t* datagram, std::size_t size) {
    return textDispinfoParser_.parse(datagram, size);
}

void LogPlayer::addPlayerType(const player_type_t& type) {
    std::lock_guard lock(mutex_);
    if (playerTypes_.size() >= kMaxPlayerTypes) {
        ++droppedPlayerTypes_;
        return;
    }
    playerTypeIndex_.try_emplace(netToHost16(type.id), playerTypes_.size());
    playerTypes_.push_back(type);
}

void LogPlayer::setServerParameters(const server_param_t& params) {
    std::lock_guard lock(mutex_);
    serverParams_ = params;
    hasServerParams_ = true;
}

void LogPlayer::setPlayerParameters(const player_param_t& params) {
    std::lock_guard lock(mutex_);
    playerParams_ = params;
}

std::optional<player_type_t> LogPlayer::player_type(int id) const {
    std::lock_guard lock(mutex_);
    const auto found = playerTypeIndex_.find(id);
    if (found == playerTypeIndex_.end()) return std::nullopt;
    return playerTypes_[found->second];
}

std::size_t LogPlayer::droppedPlayerTypes() const {
    std::lock_guard lock(mutex_);
    return droppedPlayerTypes_;
}

std::vector<player_type_t> LogPlayer::player_types() const {
    std::lock_guard lock(mutex_);
    return playerTypes_;
}

server_param_t LogPlayer::server_parameters() const {
    std::lock_guard lock(mutex_);
    return serverParams_;
}

player_param_t LogPlayer::player_parameters() const {
    std::lock_guard lock(mutex_);
    return playerParams_;
}

bool LogPlayer::hasServerParameters() const {
    std::lock_guard lock(mutex_);
    return hasServerParams_;
}

double LogPlayer::ball_size() const {
    std::lock_guard lock(mutex_);
    return hasServerParams_ ? ballSizeOf(serverParams_) : kDefaultBallSize;
}

void LogPlayer::startOpponentModel(const show_info_t& show) {
    GameAnalysisHooks* hooks = nullptr;
    {
        std::lock_guard lock(mutex_);
        hooks = hooks_;
    }
    if (hooks) hooks->startOpponentModel(show);
}

void LogPlayer::finishOpponentModel() {
    GameAnalysisHooks* hooks = nullptr;
    {
        std::lock_guard lock(mutex_);
        hooks = hooks_;
    }
    if (hooks && hooks->opponentModelEnabled()) {
        hooks->finishOpponentModel();
        host_.showMessage(kOpponentModelDoneText);
    }
}

bool LogPlayer::decisionsLoaded(DecisionFile which) const { return decisionsLoaded_[static_cast<std::size_t>(which)]; }

LogFile* LogPlayer::decisionFile(DecisionFile which) {
    const auto i = static_cast<std::size_t>(which);
    return decisionsLoaded_[i] ? decisionFiles_[i].get() : nullptr;
}

CurrentDecisions LogPlayer::currentDecisions() const {
    std::lock_guard lock(mutex_);
    return currentDecisions_;
}

CurrentDecisions LogPlayer::decisionsAt(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return decisionsAtLocked(index);
}

std::size_t LogPlayer::decisionCount(DecisionFile which) const {
    std::lock_guard lock(mutex_);
    switch (which) {
        case DecisionFile::Pass:
            return passDecisions_.size();
        case DecisionFile::Intercept:
            return interceptDecisions_.size();
        case DecisionFile::Behave:
            return defenseDecisions_.size();
    }
    return 0;
}

std::size_t LogPlayer::size() const {
    std::lock_guard lock(mutex_);
    return frames_.size();
}

std::size_t LogPlayer::index() const {
    std::lock_guard lock(mutex_);
    return index_;
}

void LogPlayer::clearStore() {
    frames_.clear();
    companions_.clear();
    logos_ = TeamLogos{};
    sharedLogos_.reset();
    storeBytes_ = 0;
    overBudget_.store(false, std::memory_order_release);
    playerTypes_.clear();
    playerTypeIndex_.clear();
    droppedPlayerTypes_ = 0;
    passDecisions_.clear();
    interceptDecisions_.clear();
    defenseDecisions_.clear();
    currentDecisions_ = CurrentDecisions{};
    index_ = 0;
    if (hooks_) hooks_->storeCleared();
}

void LogPlayer::prepareLiveGame() {
    stopTimer();
    stopParser();
    // No receiver runs now: what the last connection left is forgotten.
    textDispinfoParser_.reset();
    period_ = kDefaultPeriod;
    running_ = false;
    reverse_ = false;
}

void LogPlayer::clearGame() {
    std::lock_guard lock(mutex_);
    clearStore();
}

void LogPlayer::stopParser() {
    if (parserThread_) {
        parserThread_->stop();
        parserThread_.reset();
    }
}

void LogPlayer::closeFiles() {
    stopTimer();
    stopParser();
    if (logFile_) {
        logFile_->close();
        logFile_.reset();
    }
    for (auto& f : decisionFiles_) {
        if (f) f->close();
        f.reset();
    }
}

void LogPlayer::attachDecisionFile(std::size_t i, std::unique_ptr<LogFile> file) {
    decisionsLoaded_[i] = file->isOpen();
    if (file->isOpen()) {
        file->skip(kDecisionHeaderSize);
        decisionFiles_[i] = std::move(file);
    }
}

bool LogPlayer::load(const std::string& path, bool resetFirst) {
    auto file = std::make_unique<LogFile>(path, LogFile::Mode::Read);
    // The header is read before anything of the open game is let go: a file that is not
    // a game leaves it loaded, playable and still being read.
    const auto format = probe(*file);
    if (!format) return false;
    if (resetFirst) command(kCmdReset);
    closeFiles();
    logFile_ = std::move(file);

    const std::string prefix = decisionPrefix(path);
    for (std::size_t i = 0; i < decisionFiles_.size(); ++i) {
        attachDecisionFile(i, std::make_unique<LogFile>(prefix + kDecisionFileNames[i], LogFile::Mode::Read));
    }
    startReading(*format, false);
    return true;
}

bool LogPlayer::loadMemory(std::span<const std::uint8_t> game,
                           const std::array<std::optional<std::span<const std::uint8_t>>, 3>& decisions,
                           bool inCaller) {
    auto file = std::make_unique<LogFile>();
    file->openMemory(game.data(), game.size());
    const auto format = probe(*file);
    if (!format) return false;
    closeFiles();
    logFile_ = std::move(file);
    for (std::size_t i = 0; i < decisionFiles_.size(); ++i) {
        auto decision = std::make_unique<LogFile>();
        if (decisions[i]) decision->openMemory(decisions[i]->data(), decisions[i]->size());
        attachDecisionFile(i, std::move(decision));
    }
    startReading(*format, inCaller);
    return true;
}

std::optional<LogFormat> LogPlayer::probe(LogFile& file) {
    loadError_ = 0;
    if (!file.isOpen()) {
        loadOutcome_ = LoadOutcome::CannotOpen;
        loadError_ = file.error();
        return std::nullopt;
    }
    if (file.atEnd()) {
        // A read error (a directory, say) also looks like an empty file; tell them apart.
        loadError_ = file.error();
        loadOutcome_ = loadError_ != 0 ? LoadOutcome::CannotOpen : LoadOutcome::Empty;
        return std::nullopt;
    }
    const std::optional<LogFormat> format = readLogHeader(file);
    if (!format) loadOutcome_ = LoadOutcome::UnknownFormat;
    return format;
}

void LogPlayer::reserveFor(LogFormat format, std::uint64_t bytes) {
    std::uint64_t perRecord = kV3ShowBytes;
    switch (format) {
        case LogFormat::V4:
        case LogFormat::V5:
        case LogFormat::V6:
            perRecord = kTextShowBytes;
            break;
        case LogFormat::Json:
            perRecord = kJsonShowBytes;
            break;
        case LogFormat::Sight:
            perRecord = kSightRecordSize;
            break;
        case LogFormat::SightV2:
            perRecord = kSightRecordV2Size;
            break;
        default:
            break;
    }
    // Room for every record the file can hold, so that loading never moves the store.
    std::lock_guard lock(mutex_);
    const auto records = static_cast<std::size_t>(
        std::min({bytes / perRecord + 1, kMostReservedRecords, std::uint64_t{budget_.records}}));
    if (records > frames_.capacity()) {
        try {
            frames_.reserve(records);
        } catch (const std::bad_alloc&) {
            // No room for all of it at once: the store grows as records arrive.
            return;
        }
    }
    if (perRecord == kTextShowBytes || perRecord == kJsonShowBytes) {
        try {
            companions_.reserve(records);
        } catch (const std::bad_alloc&) {
            // The companions grow as they arrive.
        }
    }
    // Also when the store had the room already (its first reservation, or an earlier
    // game's): the analysis must not grow its frames either.
    if (hooks_) hooks_->storeReserved(records);
}

void LogPlayer::startReading(LogFormat format, bool inCaller) {
    {
        std::lock_guard lock(mutex_);
        clearStore();
        loadWarning_.clear();
    }
    format_ = format;
    compressed_ = logFile_->compressed();
    CLogParser* parser = &v3Parser_;
    switch (format) {
        case LogFormat::V4:
        case LogFormat::V5:
        case LogFormat::V6:
            parser = &textParser_;
            break;
        case LogFormat::Json:
            parser = &jsonParser_;
            break;
        case LogFormat::Sight:
            parser = &sightParser_;
            break;
        case LogFormat::SightV2:
            parser = &sightV2Parser_;
            break;
        default:
            break;
    }
    reserveFor(format_, logFile_->sizeHint());
    loadOutcome_ = LoadOutcome::Reading;
    parserThread_ = std::make_unique<CParserThread>(*logFile_, *parser);
    if (inCaller) {
        parserThread_->runInCaller();
    } else {
        parserThread_->start();
    }
}

void LogPlayer::waitForParser() {
    if (parserThread_) parserThread_->wait();
}

bool LogPlayer::parsing() const { return parserThread_ && parserThread_->running(); }

std::optional<bool> LogPlayer::parseResult() const {
    if (!parserThread_ || !parserThread_->finished()) return std::nullopt;
    return parserThread_->result();
}

std::string LogPlayer::loadWarning() const {
    std::lock_guard lock(mutex_);
    return loadWarning_;
}

void LogPlayer::setLoadWarning(std::string text) {
    std::lock_guard lock(mutex_);
    if (loadWarning_.empty()) loadWarning_ = std::move(text);
}

bool LogPlayer::droppedTornRecord() const {
    return parserThread_ && parserThread_->finished() && parserThread_->droppedTornRecord();
}

bool LogPlayer::ranOutOfMemory() const {
    return parserThread_ && parserThread_->finished() && parserThread_->ranOutOfMemory();
}

bool LogPlayer::inputDamaged() const {
    if (!parserThread_ || !parserThread_->finished()) return false;
    if (parserThread_->droppedTornRecord()) return true;
    return !parserThread_->result() && !parserThread_->ranOutOfMemory() && !overBudget();
}

}  // namespace tessarin
