// Players' debug logs: the line grammar, the cycle index (plain and gzip with restart
// points), reading every cycle, the summary and the search, on plain, gzip-compressed or
// raw bytes. Every record the summary counts must come back from exactly one cycle read.
// Indexing and search run on the fuzzer's thread: the workers only wrap them.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "FuzzSupport.h"
#include "agentlog/AgentLog.h"
#include "agentlog/CycleView.h"
#include "agentlog/Levels.h"
#include "agentlog/LogSearch.h"
#include "agentlog/Summary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::agentlog;
    FuzzedDataProvider input(data, size);
    const int how = input.ConsumeIntegralInRange(0, 2);
    const std::string needle = input.ConsumeRandomLengthString(8);
    const auto levels = input.ConsumeIntegral<std::uint32_t>();
    const tessarin::fuzz::Bytes rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const tessarin::fuzz::Bytes bytes = how == 1 ? tessarin::fuzz::gzipped(rest) : rest;

    auto source = std::make_shared<MemorySource>(bytes.data(), bytes.size());
    const LogSummary summary = summarize(*source);
    (void)looksLikeAgentLog(*source);

    AgentLog log(std::make_unique<MemorySource>(bytes.data(), bytes.size()), AgentLog::Indexing::Inline);
    if (!log.progress().finished) std::abort();
    std::size_t records = 0;
    for (const CycleKey key : log.keys()) {
        const CycleRecords cycle = log.read(key);
        for (const Record& record : cycle.records) {
            if (record.key != key) std::abort();
        }
        records += cycle.records.size();
        const CycleView view = makeCycleView(cycle.records, levels, Side::Right);
        (void)view;
        (void)levelNames(levels);
    }
    if (records != summary.records) std::abort();

    std::size_t hits = 0;
    searchRecords(*source, needle, levels, {}, nullptr, [&](const Record& record) {
        if (record.text.empty() && !needle.empty()) std::abort();
        return ++hits < 1000;
    });
    return 0;
}
