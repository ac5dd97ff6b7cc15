#include "live/AutoplayThread.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace tessarin {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Starts one client: its own process group, default signal handling and an empty signal
// mask whatever this process uses, no descriptors but the standard three, and the
// working directory changed before the program is executed. Returns 0 or the errno.
int spawnClient(const std::string& program, const std::string& workingDirectory, std::vector<std::string> words,
                pid_t* pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (int rc = posix_spawn_file_actions_init(&actions); rc != 0) return rc;
    if (int rc = posix_spawnattr_init(&attributes); rc != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return rc;
    }
    int rc = 0;
    if (!workingDirectory.empty()) rc = posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    if (rc == 0) rc = posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD}) sigaddset(&defaults, s);
    const auto flags = static_cast<short>(POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (rc == 0) rc = posix_spawnattr_setflags(&attributes, flags);
    if (rc == 0) rc = posix_spawnattr_setpgroup(&attributes, 0);
    if (rc == 0) rc = posix_spawnattr_setsigmask(&attributes, &none);
    if (rc == 0) rc = posix_spawnattr_setsigdefault(&attributes, &defaults);
    if (rc == 0) {
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        rc = posix_spawn(pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc;
}

// Reaps the clients that have ended; removes them from `pids`.
void reapEnded(std::vector<pid_t>& pids) {
    std::erase_if(pids, [](pid_t pid) {
        for (;;) {
            int status = 0;
            const pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid) return true;
            if (r == 0) return false;
            if (errno != EINTR) return true;  // not our child any more: nothing to wait for
        }
    });
}

// Sends `signal` to the client's process group, or to the client alone when it has left it.
void signalClient(pid_t pid, int signal) {
    if (::kill(-pid, signal) != 0) ::kill(pid, signal);
}

// Whether a process group still has a member. A group's id is not given to a new
// process while the group exists, so an id that answers is still that client's group.
bool groupAlive(pid_t group) { return ::kill(-group, 0) == 0; }

}  // namespace

std::string autoplayCommandLine(const AutoplaySettings& settings, int n) {
    std::string line = settings.client_param + " -host " + settings.host + " -port " + std::to_string(settings.port) +
                       " -UNum " + std::to_string(n) + " ";
    if (n == settings.goalie_num) line += settings.goalie_param;
    return line;
}

std::vector<int> autoplayStartOrder(int goalieNum) {
    std::vector<int> order;
    const bool goalie = goalieNum >= 1 && goalieNum <= kAutoplayClients;
    if (goalie) order.push_back(goalieNum);
    for (int n = 1; n <= kAutoplayClients; ++n) {
        if (!goalie || n != goalieNum) order.push_back(n);
    }
    return order;
}

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        const std::size_t begin = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > begin) words.emplace_back(line.substr(begin, i - begin));
    }
    return words;
}

std::string clientWorkingDirectory(const std::string& clientPath) {
    const std::size_t slash = clientPath.rfind('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return clientPath.substr(0, slash);
}

std::string clientProgramProblem(const std::string& clientPath) {
    if (clientPath.empty()) return "no client program given";
    struct stat st {};
    if (::stat(clientPath.c_str(), &st) != 0) return "cannot find client " + clientPath + ": " + std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return "client " + clientPath + " is a directory, not a program";
    if (!S_ISREG(st.st_mode) || ::access(clientPath.c_str(), X_OK) != 0) {
        return "client " + clientPath + " is not an executable file";
    }
    return {};
}

std::string clientStartFailureText(const std::string& commandLine, int error) {
    return "cannot start client \"" + commandLine + "\": " + std::strerror(error);
}

CAutoplayThread::CAutoplayThread(AutoplaySettings settings, AutoplayObserver* observer, AutoplayTiming timing)
    : settings_(std::move(settings)), observer_(observer), timing_(timing) {}

CAutoplayThread::~CAutoplayThread() { stop(); }

void CAutoplayThread::start() {
    if (thread_.joinable()) return;
    thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void CAutoplayThread::stop() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
}

bool CAutoplayThread::finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

bool CAutoplayThread::waitFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, timeout, [this] { return finished_; });
}

bool CAutoplayThread::sleepFor(std::chrono::milliseconds duration, std::stop_token stop) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, stop, duration, [] { return false; });
    return !stop.stop_requested();
}

void CAutoplayThread::Run(std::stop_token stop) {
    // The working directory changes before the program is executed, so the program is
    // named by its absolute path; a path without '/' names a file in the current directory.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(settings_.client_path, ec);
    const std::string program = settings_.client_path.empty() || ec ? std::string() : absolute.string();
    const std::string workingDirectory = clientWorkingDirectory(settings_.client_path);

    for (int round = 1; !stop.stop_requested(); ++round) {
        std::vector<pid_t> pids;
        const std::vector<int> order = autoplayStartOrder(settings_.goalie_num);
        const bool goalieFirst = order.front() == settings_.goalie_num;
        for (std::size_t i = 0; i < order.size() && !stop.stop_requested(); ++i) {
            if (i == 1 && goalieFirst && !sleepFor(timing_.goalie_lead, stop)) break;
            const int n = order[i];
            const std::string line = autoplayCommandLine(settings_, n);
            pid_t pid = 0;
            const int rc =
                program.empty() ? ENOENT : spawnClient(program, workingDirectory, splitCommandLine(line), &pid);
            if (rc == 0) {
                pids.push_back(pid);
                if (observer_) observer_->clientStarted(round, n);
            } else if (observer_) {
                observer_->clientFailed(line, rc);
            }
        }
        if (observer_) observer_->roundStarted(round, static_cast<int>(pids.size()));
        // Each client leads a group of its own: what it started and left running ends
        // with the round.
        const std::vector<pid_t> groups = pids;
        const bool stopped = waitForClients(pids, stop) || stop.stop_requested();
        endGroups(groups);
        if (observer_) observer_->roundEnded(round, stopped);
        if (stopped || (timing_.rounds && round >= *timing_.rounds)) break;
        if (!sleepFor(timing_.pause, stop)) break;
    }
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    wake_.notify_all();
}

bool CAutoplayThread::waitForClients(std::vector<pid_t>& pids, std::stop_token stop) {
    for (;;) {
        reapEnded(pids);
        if (pids.empty()) return false;
        if (!sleepFor(timing_.poll, stop)) {
            endClients(pids);
            return true;
        }
    }
}

void CAutoplayThread::endGroups(std::vector<pid_t> groups) {
    std::erase_if(groups, [](pid_t group) { return ::kill(-group, SIGTERM) != 0; });
    const auto deadline = std::chrono::steady_clock::now() + timing_.grace;
    for (;;) {
        std::erase_if(groups, [](pid_t group) { return !groupAlive(group); });
        if (groups.empty() || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (const pid_t group : groups) ::kill(-group, SIGKILL);
}

void CAutoplayThread::endClients(std::vector<pid_t>& pids) {
    for (const pid_t pid : pids) signalClient(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + timing_.grace;
    for (;;) {
        reapEnded(pids);
        if (pids.empty() || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (const pid_t pid : pids) {
        signalClient(pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    pids.clear();
}

}  // namespace tessarin
