// Players' debug logs. Goals: a 200 MB log indexed at 300 MB/s or more with the index
// (and restart points) taking at most 1 % of the file; a cycle of 2,000 drawing records
// read and parsed in at most 2 ms. The 200 MB log is made at start by repeating the
// trimmed real log of tests/data with its cycles moved on each time (so it reads as one
// long game), in the system's temporary folder, plain and gzip-compressed; it is removed
// at exit.

#include <benchmark/benchmark.h>
#include <time.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "agentlog/AgentLog.h"
#include "agentlog/Record.h"

namespace {

using namespace tessarin::agentlog;
namespace fs = std::filesystem;

constexpr std::uint64_t kLogBytes = 200ull << 20;

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The sample's lines with their cycle moved on by `shift`.
std::string shifted(const std::string& sample, int shift) {
    std::string out;
    out.reserve(sample.size() + sample.size() / 20);
    std::size_t pos = 0;
    while (pos < sample.size()) {
        const std::size_t end = std::min(sample.find('\n', pos), sample.size());
        const std::size_t comma = sample.find(',', pos);
        if (comma < end) {
            out += std::to_string(std::stoi(sample.substr(pos, comma - pos)) + shift);
            out.append(sample, comma, end - comma);
        } else {
            out.append(sample, pos, end - pos);
        }
        out += '\n';
        pos = end + 1;
    }
    return out;
}

struct LargeLogs {
    fs::path plain;
    fs::path gzip;
    LargeLogs() {
        std::ifstream in(std::string(TESSARIN_TEST_DATA_DIR) + "/agent-debug/HELIOS_L-6.log", std::ios::binary);
        std::stringstream sample;
        sample << in.rdbuf();
        const fs::path dir = fs::temp_directory_path();
        plain = dir / ("tessarin-agentlog-bench-" + std::to_string(::getpid()) + ".log");
        gzip = plain;
        gzip += ".gz";
        std::ofstream out(plain, std::ios::binary);
        gzFile gz = gzopen(gzip.c_str(), "wb6");
        std::uint64_t written = 0;
        for (int k = 0; written < kLogBytes; ++k) {
            const std::string part = shifted(sample.str(), k * 7);
            out.write(part.data(), static_cast<std::streamsize>(part.size()));
            gzwrite(gz, part.data(), static_cast<unsigned>(part.size()));
            written += part.size();
        }
        gzclose(gz);
    }
    ~LargeLogs() {
        std::error_code ec;
        fs::remove(plain, ec);
        fs::remove(gzip, ec);
    }
};

const LargeLogs& largeLogs() {
    static const LargeLogs logs;
    return logs;
}

void indexFile(benchmark::State& state, const fs::path& path) {
    const auto size = static_cast<double>(fs::file_size(path));
    double cpu = 0;
    double memoryShare = 0;
    std::uint64_t text = 0;
    for (auto _ : state) {
        const double start = processCpuSeconds();
        std::string error;
        const auto log = AgentLog::open(path.string(), error);
        if (!log || !log->waitUntilIndexed(std::chrono::minutes(10))) {
            state.SkipWithError("cannot index the log");
            return;
        }
        cpu += processCpuSeconds() - start;
        memoryShare = static_cast<double>(log->indexMemoryBytes()) / size;
        text = log->progress().done;
        benchmark::DoNotOptimize(log->keys().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["cpu_MB_per_s"] = size * static_cast<double>(state.iterations()) / cpu / 1e6;
    state.counters["index_share_pct"] = memoryShare * 100;
    state.counters["file_MB"] = size / 1e6;
    benchmark::DoNotOptimize(text);
}

void BM_IndexPlainLog200MB(benchmark::State& state) { indexFile(state, largeLogs().plain); }
BENCHMARK(BM_IndexPlainLog200MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_IndexGzipLog200MB(benchmark::State& state) { indexFile(state, largeLogs().gzip); }
BENCHMARK(BM_IndexGzipLog200MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// A random cycle of the gzip log: inflated from the nearest restart point.
void BM_ReadRandomCycleOfGzipLog(benchmark::State& state) {
    std::string error;
    const auto log = AgentLog::open(largeLogs().gzip.string(), error);
    if (!log || !log->waitUntilIndexed(std::chrono::minutes(10))) {
        state.SkipWithError("cannot index the log");
        return;
    }
    const std::vector<CycleKey> keys = log->keys();
    std::mt19937 random(1);
    for (auto _ : state) {
        const CycleRecords cycle = log->read(keys[random() % keys.size()]);
        benchmark::DoNotOptimize(cycle.records.data());
    }
    state.counters["restart_points"] = static_cast<double>(log->restartPoints());
}
BENCHMARK(BM_ReadRandomCycleOfGzipLog)->Unit(benchmark::kMillisecond);

// One cycle of 2,000 drawings as the library writes them, shapes of every kind.
std::string cycleOfDrawings(int cycle, int count) {
    std::mt19937 random(5);
    const auto number = [&] { return std::to_string(static_cast<double>(random() % 10000) / 100.0 - 50.0); };
    const char* colours[] = {" #000000", " #0000ff", " red", ""};
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::string head = std::to_string(cycle) + ",0 " + std::to_string(1 << (i % 20)) + " ";
        const std::string colour = colours[i % 4];
        switch (i % 6) {
            case 0:
                text += head + "c " + number() + " " + number() + " 0.5000" + colour;
                break;
            case 1:
                text += head + "l " + number() + " " + number() + " " + number() + " " + number() + colour;
                break;
            case 2:
                text += head + "m " + number() + " " + number() + " (c #0000ff) pass " + std::to_string(i);
                break;
            case 3:
                text += head + "r " + number() + " " + number() + " 3.0000 2.0000" + colour;
                break;
            case 4:
                text += head + "a " + number() + " " + number() + " 5.0000 -45.0000 90.0000" + colour;
                break;
            default:
                text += head + "p " + number() + " " + number() + colour;
                break;
        }
        text += '\n';
    }
    return text;
}

void BM_ReadCycleOf2000Drawings(benchmark::State& state) {
    const std::string text = cycleOfDrawings(99, 1000) + cycleOfDrawings(100, 2000) + cycleOfDrawings(101, 1000);
    AgentLog log(std::make_unique<MemorySource>(text.data(), text.size()));
    log.waitUntilIndexed(std::chrono::minutes(1));
    for (auto _ : state) {
        const CycleRecords cycle = log.read({100, 0});
        if (cycle.records.size() != 2000) state.SkipWithError("wrong record count");
        benchmark::DoNotOptimize(cycle.records.data());
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_ReadCycleOf2000Drawings)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
