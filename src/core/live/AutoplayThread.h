#pragma once

// Autoplay: a whole team of player clients started against a running server, round
// after round. Each round starts eleven client processes, waits until all of them have
// ended, and pauses before the next round. The server numbers players in the order they
// connect, so the goalie's client starts first and the others a moment later.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tessarin {

inline constexpr int kAutoplayClients = 11;
inline constexpr const char* kDefaultClientPath = "Client.exe";
inline constexpr int kDefaultGoalieNum = 1;

// What one team's clients are started with.
struct AutoplaySettings {
    std::string host = "localhost";
    int port = 6000;
    std::string client_path = kDefaultClientPath;
    std::string client_param;
    std::string goalie_param;
    int goalie_num = kDefaultGoalieNum;  // the client that gets goalie_param; none outside 1..11
};

// The command line of client n (1..11): client_param, the server and the uniform number,
// then goalie_param for the goalie and nothing for the others (the line ends in a blank).
std::string autoplayCommandLine(const AutoplaySettings& settings, int n);
// The uniform numbers in the order their clients start: the goalie first when it is one
// of 1..11, then the others in ascending order.
std::vector<int> autoplayStartOrder(int goalieNum);
// The words of a command line, split at runs of blanks; the first word is the client's
// argv[0]. No quoting.
std::vector<std::string> splitCommandLine(std::string_view line);
// The clients' working directory: client_path up to its last '/'; empty (the current
// directory) when it holds none.
std::string clientWorkingDirectory(const std::string& clientPath);
// Why the client program cannot be started (missing, a directory, not executable), or
// empty when it looks startable.
std::string clientProgramProblem(const std::string& clientPath);
// "cannot start client "<line>": <errno text>", as a failed start is reported.
std::string clientStartFailureText(const std::string& commandLine, int error);

// Told what the loop does. Called on the autoplay thread; must not call back into it.
class AutoplayObserver {
public:
    virtual ~AutoplayObserver() = default;
    virtual void clientFailed(const std::string& commandLine, int error) = 0;
    // Client n (1..11) of the round has been started.
    virtual void clientStarted(int /*round*/, int /*n*/) {}
    virtual void roundStarted(int round, int clientsStarted) = 0;
    // `stopped`: the round was cut short by a stop request and its clients ended.
    virtual void roundEnded(int round, bool stopped) = 0;
};

struct AutoplayTiming {
    std::chrono::milliseconds pause{30000};  // between the end of a round and the next one
    std::optional<int> rounds;               // none: until stopped
    // Between starting the goalie's client and the others, so that the goalie connects
    // first and the server gives it the goalie's number.
    std::chrono::milliseconds goalie_lead{1000};
    // How long clients may take to end after SIGTERM before they get SIGKILL.
    std::chrono::milliseconds grace{2000};
    // How often the wait for the clients looks whether they ended.
    std::chrono::milliseconds poll{50};
};

// The launch loop on a thread of its own. It owns copies of its settings for as long as
// it runs. Stopping (stop(), or destroying the object) is cooperative: a pause ends at
// once, running clients get SIGTERM, then SIGKILL after the grace period, and every
// client is reaped before stop() returns. Each client leads a process group of its own,
// and the signals go to that group, so that what a client started itself ends with it.
class CAutoplayThread final {
public:
    CAutoplayThread(AutoplaySettings settings, AutoplayObserver* observer, AutoplayTiming timing = {});
    // Stops the loop and joins the thread.
    ~CAutoplayThread();
    CAutoplayThread(const CAutoplayThread&) = delete;
    CAutoplayThread& operator=(const CAutoplayThread&) = delete;

    // Starts the loop; once only.
    void start();
    // Stops the loop and waits until it has ended and reaped its clients.
    void stop();
    // Whether the loop has ended (all rounds run, or stopped).
    bool finished() const;
    // Waits up to `timeout` for the loop to end; true when it has.
    bool waitFinished(std::chrono::milliseconds timeout);
    const AutoplaySettings& settings() const { return settings_; }

private:
    void Run(std::stop_token stop);
    // Waits for the clients to end; on a stop request ends them. True when stopped.
    bool waitForClients(std::vector<pid_t>& pids, std::stop_token stop);
    void endClients(std::vector<pid_t>& pids);
    // Ends what is left of the clients' process groups once the clients have ended:
    // SIGTERM, then SIGKILL after the grace period.
    void endGroups(std::vector<pid_t> groups);
    // Sleeps up to `duration`; false when a stop request cut it short.
    bool sleepFor(std::chrono::milliseconds duration, std::stop_token stop);

    const AutoplaySettings settings_;  // read by the loop thread only once started
    AutoplayObserver* const observer_;
    const AutoplayTiming timing_;

    mutable std::mutex mutex_;
    // With mutex_: the loop's sleeps (woken by a stop request) and the wait for its end.
    std::condition_variable_any wake_;
    bool finished_ = false;  // guarded by mutex_
    std::jthread thread_;    // declared last: joined before the members above go away
};

}  // namespace tessarin
