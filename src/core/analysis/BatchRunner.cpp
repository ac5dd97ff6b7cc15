#include "analysis/BatchRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#include "record/LogHeader.h"

namespace tessarin {

namespace fs = std::filesystem;

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char a = s[s.size() - tail.size() + i];
        const char lower = a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a;
        if (lower != tail[i]) return false;
    }
    return true;
}

bool namedLikeGameLog(const std::string& name) { return endsWith(name, ".rcg") || endsWith(name, ".rcg.gz"); }

bool isSightLog(std::optional<LogFormat> format) { return format == LogFormat::Sight || format == LogFormat::SightV2; }

GameSummary searchError(const std::string& path, const std::string& why) {
    GameSummary row;
    row.file = path;
    row.error = why;
    return row;
}

class GameSearch {
public:
    explicit GameSearch(BatchFiles& out) : out_(out) {}

    void addNamed(const std::string& path) {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (ec || !fs::exists(status)) {
            out_.errors.push_back(searchError(
                path, "cannot read " + path + ": " + (ec ? ec.message() : std::string("no such file or directory"))));
        } else if (fs::is_directory(status)) {
            searchFolder(path);
        } else if (isSightLog(probeLogFile(path))) {
            out_.sightLogs.push_back(path);
        } else {
            games_.insert(path);
        }
    }

    void finish() {
        out_.games.assign(games_.begin(), games_.end());
        std::sort(out_.sightLogs.begin(), out_.sightLogs.end());
        out_.sightLogs.erase(std::unique(out_.sightLogs.begin(), out_.sightLogs.end()), out_.sightLogs.end());
        std::sort(out_.errors.begin(), out_.errors.end(),
                  [](const GameSummary& a, const GameSummary& b) { return a.file < b.file; });
    }

private:
    void searchFolder(const std::string& folder) {
        std::error_code ec;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
        if (ec) {
            out_.errors.push_back(searchError(folder, "cannot search " + folder + ": " + ec.message()));
            return;
        }
        for (const fs::recursive_directory_iterator end; it != end;) {
            const fs::directory_entry& entry = *it;
            std::error_code typeError;
            // A link to a file counts as that file; a link to a folder is not followed.
            if (entry.is_regular_file(typeError)) considerFile(entry.path());
            it.increment(ec);
            if (ec) {
                out_.errors.push_back(searchError(folder, "search of " + folder + " stopped: " + ec.message()));
                return;
            }
        }
    }

    void considerFile(const fs::path& path) {
        const std::string name = path.filename().string();
        const std::optional<LogFormat> format = probeLogFile(path.string());
        if (isSightLog(format)) {
            out_.sightLogs.push_back(path.string());
        } else if (format || namedLikeGameLog(name)) {
            games_.insert(path.string());
        } else {
            ++out_.otherFiles;
        }
    }

    BatchFiles& out_;
    std::set<std::string> games_;
};

}  // namespace

BatchFiles findGames(std::span<const std::string> paths) {
    BatchFiles files;
    GameSearch search(files);
    for (const std::string& path : paths) search.addNamed(path);
    search.finish();
    return files;
}

int defaultWorkerCount() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

std::vector<GameSummary> summarizeGames(std::span<const std::string> files, int workers, const GameDoneFn& gameDone,
                                        std::stop_token stop, const SummarizeFn& summarize) {
    const std::size_t total = files.size();
    // One slot per game, each written by the one worker that took the game and read after
    // every worker has been joined.
    std::vector<std::optional<GameSummary>> results(total);
    std::atomic<std::size_t> next{0};
    std::mutex doneMutex;
    std::size_t done = 0;  // guarded by doneMutex
    const auto started = std::chrono::steady_clock::now();

    const auto work = [&] {
        GameSummarizer summarizer;  // this worker's
        for (;;) {
            if (stop.stop_requested()) return;
            const std::size_t i = next.fetch_add(1);
            if (i >= total) return;
            GameSummary summary;
            try {
                summary = summarize ? summarize(files[i]) : summarizer.summarize(files[i]);
            } catch (const std::exception& e) {
                summary = searchError(files[i], e.what());
            }
            std::lock_guard lock(doneMutex);
            results[i] = std::move(summary);
            ++done;
            if (gameDone) {
                const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
                gameDone(i, *results[i], BatchProgress{done, total, elapsed.count()});
            }
        }
    };

    const std::size_t threads =
        std::min<std::size_t>(total, static_cast<std::size_t>(workers > 0 ? workers : defaultWorkerCount()));
    if (threads <= 1) {
        work();
    } else {
        std::vector<std::jthread> pool;
        pool.reserve(threads);
        for (std::size_t t = 0; t < threads; ++t) pool.emplace_back(work);
    }  // joined here

    std::vector<GameSummary> out;
    out.reserve(total);
    for (auto& r : results) {
        if (r) out.push_back(std::move(*r));
    }
    return out;
}

}  // namespace tessarin
