#include <chrono>
#include <cmath>

#include "cli/Commands.h"
#include "live/AutoplayThread.h"

namespace tessarin::cli {

namespace {

// Prints the loop's progress. Runs on the autoplay thread while the caller only waits.
class PrintingObserver final : public AutoplayObserver {
public:
    PrintingObserver(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void clientFailed(const std::string& commandLine, int error) override {
        err_ << "tessarin-cli: " << clientStartFailureText(commandLine, error) << '\n' << std::flush;
    }
    void roundStarted(int round, int clientsStarted) override {
        out_ << "round " << round << " started: " << clientsStarted << " of " << kAutoplayClients << " clients\n"
             << std::flush;
    }
    void roundEnded(int round, bool stopped) override {
        out_ << "round " << round << (stopped ? " stopped: its clients were ended\n" : " ended\n") << std::flush;
    }

private:
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace

int runAutoplay(const AutoplayOptions& options, std::ostream& out, std::ostream& err) {
    if (const std::string problem = clientProgramProblem(options.client); !problem.empty()) {
        err << "tessarin-cli: " << problem << '\n';
        return 1;
    }
    if (!(options.pauseSeconds >= 0) || options.pauseSeconds > 1e7) {
        err << "tessarin-cli: --pause must be a number of seconds from 0 to 10000000\n";
        return 1;
    }
    if (options.rounds && *options.rounds < 1) {
        err << "tessarin-cli: --rounds must be at least 1\n";
        return 1;
    }
    AutoplaySettings settings;
    settings.host = options.host;
    settings.port = options.port;
    settings.client_path = options.client;
    settings.client_param = options.clientParam;
    settings.goalie_param = options.goalieParam;
    settings.goalie_num = options.goalieNum;
    AutoplayTiming timing;
    timing.pause = std::chrono::milliseconds(std::llround(options.pauseSeconds * 1000.0));
    timing.rounds = options.rounds;

    PrintingObserver observer(out, err);
    CAutoplayThread autoplay(settings, &observer, timing);
    autoplay.start();
    bool interrupted = false;
    while (!autoplay.waitFinished(std::chrono::milliseconds(100))) {
        if (options.interrupted && options.interrupted->load()) {
            interrupted = true;
            break;
        }
    }
    autoplay.stop();
    if (interrupted) out << "autoplay stopped\n";
    return 0;
}

}  // namespace tessarin::cli
