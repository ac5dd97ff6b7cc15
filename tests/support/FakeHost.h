#pragma once

// Fakes of the log player's host and analysis hooks that record what they were asked.

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "record/PlaybackHost.h"

namespace tessarin::test {

class FakeHost final : public PlaybackHost {
public:
    void startTimer(int periodMs) override { timerStarts.push_back(periodMs); }
    void stopTimer() override { ++timerStops; }
    void drawRecord(const cycle_info_t& record) override {
        std::lock_guard lock(mutex);
        drawn.push_back(record.cycle);
    }
    std::optional<std::string> askOpenPath() override { return openPath; }
    std::optional<std::string> askSavePath() override { return savePath; }
    std::optional<SaveTarget> askSaveTarget() override {
        if (!savePath) return std::nullopt;
        return SaveTarget{*savePath, saveVersion6};
    }
    std::optional<int> askJumpCycle(int first, int last, int current) override {
        jumpAsked = {first, last, current};
        return jumpAnswer;
    }
    void showMessage(const std::string& text) override {
        std::lock_guard lock(mutex);
        messages.push_back(text);
    }
    void sendReplayPacket(const std::vector<std::uint8_t>& packet) override { replayPackets.push_back(packet); }

    std::vector<int> drawnCycles() const {
        std::lock_guard lock(mutex);
        return drawn;
    }
    std::vector<std::string> shownMessages() const {
        std::lock_guard lock(mutex);
        return messages;
    }

    std::vector<int> timerStarts;
    int timerStops = 0;
    std::optional<std::string> openPath;
    std::optional<std::string> savePath;
    bool saveVersion6 = false;
    std::optional<int> jumpAnswer;
    std::vector<int> jumpAsked;
    std::vector<std::vector<std::uint8_t>> replayPackets;

private:
    mutable std::mutex mutex;  // guards drawn and messages, written from the parser thread
    std::vector<int> drawn;
    std::vector<std::string> messages;
};

class FakeHooks final : public GameAnalysisHooks {
public:
    void storeCleared() override { ++cleared; }
    void analyzeShow(const cycle_info_t&, const std::vector<player_type_t>& playerTypes) override {
        ++shows;
        typesPerShow.push_back(playerTypes.size());
    }
    void feedOpponentModel(const cycle_info_t&) override { ++feeds; }
    bool opponentModelEnabled() const override { return enabled; }
    void startOpponentModel(const show_info_t& show) override {
        ++starts;
        startTime = show.time;
    }
    void finishOpponentModel() override { ++finishes; }

    std::atomic<int> cleared{0}, shows{0}, feeds{0}, starts{0}, finishes{0};
    std::atomic<bool> enabled{false};
    std::int16_t startTime = 0;
    // The number of player types each show was analysed with; read after the reader is joined.
    std::vector<std::size_t> typesPerShow;
};

}  // namespace tessarin::test
