#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <sstream>
#include <thread>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "live/MonitorConnection.h"
#include "record/AtomicFile.h"

namespace tessarin::cli {

namespace {

// The recorder's display: it keeps nothing, but exists, so that the connection stores
// every show exactly as the viewer does.
class RecorderMonitorHost final : public MonitorHost {
public:
    bool displayExists() const override { return true; }
    void setCurrentRecord(const std::optional<cycle_info_t>&) override {}
    void setLogMode(bool) override {}
    void drawLogPlayerRecord() override {}
    void setDebugText(const std::string&) override {}
    std::optional<ServerAddress> askServer() override { return std::nullopt; }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void disconnectTrainer() override {}
    void serverSaid(const std::string& text) override {
        std::lock_guard lock(mutex_);
        said_ = text;
    }
    std::string said() const {
        std::lock_guard lock(mutex_);
        return said_;
    }

private:
    mutable std::mutex mutex_;
    std::string said_;  // guarded by mutex_: the server's last error or warning answer
};

}  // namespace

int runRecord(const RecordOptions& options, std::ostream& out, std::ostream& err) {
    using Clock = std::chrono::steady_clock;
    // A time that is not a finite positive number would never end the recording.
    const auto badTime = [](double seconds) { return !std::isfinite(seconds) || seconds <= 0; };
    if (badTime(options.idle) || (options.seconds && badTime(*options.seconds))) {
        err << "tessarin-cli: --idle and --seconds must be finite numbers of seconds above 0\n";
        return 1;
    }
    // A recording that could not be saved at its end would be lost whole: find out now
    // whether the output can be created (its folder exists and takes a new file).
    {
        const AtomicFile probe(options.out);
        if (!probe.isOpen()) {
            err << "tessarin-cli: cannot write " << options.out << ": " << std::strerror(probe.error()) << '\n';
            return 1;
        }
    }
    CliHost playbackHost(err);
    LogPlayer player(playbackHost);
    player.setBudget(options.budget);
    RecorderMonitorHost monitorHost;
    CMonitorConnection connection(player, monitorHost);

    connection.Connect(options.host, options.port, options.protocol);
    // A refusal can end the connection before this line; that is not a failure to reach
    // the host, and is reported below as a recording that received nothing.
    if (!connection.socketOpened()) {
        err << "tessarin-cli: cannot reach " << options.host << ":" << options.port
            << " (the host does not resolve or no socket could be opened)\n";
        return 1;
    }
    const auto started = Clock::now();
    std::uint64_t datagrams = 0;
    auto lastDatagram = started;
    std::string stopReason = "interrupted";
    for (;;) {
        if (options.interrupted && options.interrupted->load()) break;
        const auto now = Clock::now();
        if (const std::uint64_t received = connection.datagramsReceived(); received != datagrams) {
            datagrams = received;
            lastDatagram = now;
        } else if (datagrams > 0 && std::chrono::duration<double>(now - lastDatagram).count() >= options.idle) {
            std::ostringstream reason;
            reason << "nothing arrived for " << options.idle << " s: the server has gone away";
            stopReason = reason.str();
            break;
        }
        // Past the budget every later show would be dropped: stop and keep what is stored.
        if (player.overBudget()) {
            stopReason = player.loadWarning();
            break;
        }
        if (options.cycles && player.size() >= *options.cycles) {
            stopReason = "cycle limit reached";
            break;
        }
        if (options.seconds && std::chrono::duration<double>(Clock::now() - started).count() >= *options.seconds) {
            stopReason = "time limit reached";
            break;
        }
        // A refused request ends the recording at once, and so does a server that does not
        // speak the protocol asked for and stays silent.
        if (player.size() == 0) {
            if (const std::string said = monitorHost.said(); !said.empty()) {
                stopReason = "the server answered " + said;
                break;
            }
        }
        if (datagrams == 0 && connection.silentFor(now)) {
            stopReason = connection.silenceNote();
            break;
        }
        if (!connection.connected()) {
            stopReason = "the connection ended (is a server listening at " + options.host + ":" +
                         std::to_string(options.port) + "?)";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    connection.Disconnect(true);

    const std::size_t records = player.size();
    if (records == 0) {
        err << "tessarin-cli: no show record arrived (" << stopReason << "); nothing written\n";
        return 1;
    }
    int writeError = 0;
    if (!player.save(options.out, &writeError, options.format == "v6" ? SaveFormat::V6 : SaveFormat::Native)) {
        err << "tessarin-cli: cannot write " << options.out << errnoText(writeError) << '\n';
        return 1;
    }
    out << "recorded " << records << " records, cycles " << player.first_cycle() << " .. " << player.last_cycle()
        << " (" << stopReason << "), saved to " << options.out << '\n';
    if (player.overBudget()) {
        err << "tessarin-cli: the recording stopped at the store's budget; " << options.out
            << " holds the game up to there (exit status " << kExitIncompleteInput << ")\n";
        return kExitIncompleteInput;
    }
    return 0;
}

}  // namespace tessarin::cli
