#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "live/MonitorHost.h"

namespace tessarin::test {

// Records what the monitor connection asked of the display and the dialogs.
class FakeMonitorHost final : public MonitorHost {
public:
    bool displayExists() const override { return display; }
    void setCurrentRecord(const std::optional<cycle_info_t>& record) override {
        std::lock_guard lock(mutex);
        if (record) {
            ++recordsShown;
            lastShownCycle = record->cycle;
        } else {
            ++cleared;
        }
    }
    void setLogMode(bool mode) override { logMode = mode; }
    void drawLogPlayerRecord() override { ++logRedraws; }
    void setDebugText(const std::string& text) override {
        std::lock_guard lock(mutex);
        debugText = text;
        ++debugTexts;
    }
    std::optional<ServerAddress> askServer() override {
        ++dialogs;
        return server;
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        asked = text + "|" + caption;
        return yes;
    }
    void disconnectTrainer() override { ++trainerDisconnects; }
    void liveGameStarted() override { ++liveGames; }
    void connectionUnanswered() override { ++unanswered; }
    void storeFull() override { ++fullStore; }
    void serverSaid(const std::string& text) override {
        std::lock_guard lock(mutex);
        saidText = text;
    }
    std::string said() const {
        std::lock_guard lock(mutex);
        return saidText;
    }

    int shown() const {
        std::lock_guard lock(mutex);
        return recordsShown;
    }
    std::string lastDebugText() const {
        std::lock_guard lock(mutex);
        return debugText;
    }
    int debugCount() const {
        std::lock_guard lock(mutex);
        return debugTexts;
    }

    bool display = true;
    bool logMode = true;
    int logRedraws = 0;
    int dialogs = 0;
    int trainerDisconnects = 0;
    std::optional<ServerAddress> server;
    bool yes = true;
    std::string asked;
    int cleared = 0;
    // Counted on the receiving thread.
    std::atomic<int> liveGames{0};
    std::atomic<int> unanswered{0};
    std::atomic<int> fullStore{0};

private:
    mutable std::mutex mutex;  // guards what the receiving thread writes
    int recordsShown = 0;
    int lastShownCycle = 0;
    std::string debugText;
    int debugTexts = 0;
    std::string saidText;
};

}  // namespace tessarin::test

namespace tessarin::test {
// The stand-in's address; its binary packets need protocol 2.
inline ServerAddress ServerAddressFor(std::uint16_t port, int protocol = 2) { return {"127.0.0.1", port, protocol}; }
}  // namespace tessarin::test
