#include <gtest/gtest.h>

#include <zlib.h>

#include <cctype>
#include <chrono>
#include <map>
#include <random>

#include "AgentLogSupport.h"
#include "agentlog/AgentLog.h"
#include "agentlog/AgentLogSet.h"
#include "agentlog/Levels.h"
#include "agentlog/LogSearch.h"
#include "agentlog/TextStream.h"

namespace tessarin::agentlog {
namespace {

using namespace std::chrono_literals;
using test::dataPath;
using test::GatedSource;
using test::gzipText;
using test::readFile;

constexpr auto kGenerous = 30s;

std::string inflated(const std::string& gz) {
    MemorySource source(gz.data(), gz.size());
    TextStream stream(source);
    std::string text;
    for (std::string_view piece = stream.next(); !piece.empty(); piece = stream.next()) text += piece;
    return text;
}

// The lines of a cycle as a plain scan of the text finds them, in order.
std::vector<std::string> linesOfCycle(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::string line = text.substr(pos, end - pos);
        if (line.starts_with(prefix + " ")) lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

std::string messageOrShape(const Record& r) { return std::string(1, r.type) + ":" + r.text; }

void expectCycleMatchesText(const AgentLog& log, const std::string& text, CycleKey key) {
    const std::string prefix = std::to_string(key.cycle) + "," + std::to_string(key.stopped);
    const std::vector<std::string> expected = linesOfCycle(text, prefix);
    const CycleRecords got = log.read(key);
    EXPECT_EQ(got.error, "");
    EXPECT_EQ(got.badLines, 0u);
    ASSERT_EQ(got.records.size(), expected.size()) << prefix;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        Record record;
        ASSERT_TRUE(parseRecord(expected[i], record));
        EXPECT_EQ(messageOrShape(got.records[i]), messageOrShape(record)) << prefix << " line " << i;
        EXPECT_EQ(got.records[i].values, record.values);
    }
}

TEST(AgentLogFile, IndexesARealPlainLogAndReadsEachCycleInFileOrder) {
    std::string error;
    const auto log = AgentLog::open(dataPath("HELIOS_L-6.log"), error);
    ASSERT_TRUE(log) << error;
    ASSERT_TRUE(log->waitUntilIndexed(kGenerous));
    const std::string text = readFile(dataPath("HELIOS_L-6.log"));
    EXPECT_FALSE(log->compressed());
    EXPECT_EQ(log->progress().done, text.size());
    EXPECT_EQ(log->progress().error, "");
    EXPECT_EQ(log->firstKey(), (CycleKey{0, 0}));
    const std::vector<CycleKey> keys = log->keys();
    EXPECT_EQ(keys, (std::vector<CycleKey>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}));
    // (0, 0) comes twice in the file: before the stopped counts and again after them.
    for (const CycleKey key : keys) expectCycleMatchesText(*log, text, key);
    EXPECT_TRUE(log->read({7, 0}).records.empty());
    EXPECT_TRUE(log->read({1, 1}).records.empty());
}

TEST(AgentLogFile, ReadsAGzipLogThroughItsRestartPoints) {
    std::string error;
    const auto log = AgentLog::open(dataPath("HELIOS_R-7.log.gz"), error);
    ASSERT_TRUE(log) << error;
    ASSERT_TRUE(log->waitUntilIndexed(kGenerous));
    EXPECT_TRUE(log->compressed());
    EXPECT_GE(log->restartPoints(), 1u);
    const std::string text = inflated(readFile(dataPath("HELIOS_R-7.log.gz")));
    // Backwards, so that every read misses what the last one kept.
    std::vector<CycleKey> keys = log->keys();
    std::reverse(keys.begin(), keys.end());
    for (const CycleKey key : keys) expectCycleMatchesText(*log, text, key);
    const CycleRecords three = log->read({3, 0});
    const auto lines =
        std::count_if(three.records.begin(), three.records.end(), [](const Record& r) { return r.type == 'l'; });
    EXPECT_EQ(lines, 1);
}

TEST(AgentLogFile, ReachesCyclesFarIntoALargeGzipLog) {
    // Eight MiB of cycles in many deflate blocks: reads start from restart points, not
    // from the top, and give the same records as the plain text.
    std::string text;
    std::mt19937 random(3);
    for (int cycle = 1; text.size() < (8u << 20); ++cycle) {
        for (int i = 0; i < 60; ++i) {
            text += std::to_string(cycle) + ",0 " + std::to_string(1 << (random() % 20)) + " M step " +
                    std::to_string(random()) + "\n";
            text += std::to_string(cycle) + ",0 4 c " + std::to_string(random() % 50) + " 1.5 0.5 #00ff00\n";
        }
    }
    const std::string gz = gzipText(text);
    const auto log = std::make_unique<AgentLog>(std::make_unique<MemorySource>(gz.data(), gz.size()));
    ASSERT_TRUE(log->waitUntilIndexed(kGenerous));
    EXPECT_GE(log->restartPoints(), 2u);
    const std::vector<CycleKey> keys = log->keys();
    ASSERT_GT(keys.size(), 1000u);
    for (const CycleKey key : {keys.back(), keys[keys.size() / 2], keys[3], keys[keys.size() * 3 / 4]}) {
        expectCycleMatchesText(*log, text, key);
    }
}

TEST(AgentLogFile, HandsOutTheFirstCycleBeforeTheIndexIsComplete) {
    const std::string text = readFile(dataPath("HELIOS_L-6.log"));
    // Only the first 16 KiB can be read; the indexer asks for more and waits there.
    auto gated = std::make_unique<GatedSource>(text, 16 << 10);
    GatedSource* const gate = gated.get();
    AgentLog log(std::move(gated));
    // Whatever fails below, the worker must be let go before the log is destroyed.
    struct Opener {
        GatedSource* g;
        ~Opener() { g->open(); }
    } opener{gate};
    ASSERT_TRUE(log.waitForFirstCycle(kGenerous));
    EXPECT_FALSE(log.progress().finished);
    EXPECT_EQ(log.firstKey(), (CycleKey{0, 0}));
    EXPECT_FALSE(log.read({0, 0}).records.empty());
    gate->open();
    ASSERT_TRUE(log.waitUntilIndexed(kGenerous));
    EXPECT_EQ(log.keys().size(), 9u);
}

TEST(AgentLogFile, KeepsTheGoodCyclesOfADamagedLog) {
    std::string text = "1,0 1 M one\n1,0 1 c 0 0 -4\n\x7f\x45\x4c\x46 binary\n";
    text += std::string(2 << 20, 'y') + "\n";
    text += "2,0 8 M two\n3,0 8 M three\n2,0 8 M two again\n";
    const std::string gz = gzipText(text);
    const std::string cut = gz.substr(0, gz.size() - 12);  // the trailer and a little more lost
    const std::string* const damaged[] = {&text, &cut};
    for (const std::string* bytes : damaged) {
        AgentLog log(std::make_unique<MemorySource>(bytes->data(), bytes->size()));
        ASSERT_TRUE(log.waitUntilIndexed(kGenerous));
        const CycleRecords one = log.read({1, 0});
        ASSERT_EQ(one.records.size(), 1u);
        EXPECT_EQ(one.badLines, 1u);         // the circle of negative radius
        EXPECT_EQ(log.unplacedLines(), 2u);  // the binary line and the long one
    }
    AgentLog plain(std::make_unique<MemorySource>(text.data(), text.size()));
    ASSERT_TRUE(plain.waitUntilIndexed(kGenerous));
    EXPECT_EQ(plain.progress().error, "");
    EXPECT_EQ(plain.read({2, 0}).records.size(), 2u);  // out of order: two runs
    EXPECT_EQ(plain.read({3, 0}).records.size(), 1u);
    AgentLog cutOff(std::make_unique<MemorySource>(cut.data(), cut.size()));
    ASSERT_TRUE(cutOff.waitUntilIndexed(kGenerous));
    EXPECT_NE(cutOff.progress().error, "");

    // A small cut-off file: the cycles just before the cut are still read, although a
    // read inflates ahead of them into the damage.
    std::string small;
    for (int cycle = 1; cycle <= 3000; ++cycle)
        small += std::to_string(cycle) + ",0 1 M cycle " + std::to_string(cycle) + "\n";
    const std::string smallGz = gzipText(small);
    const std::string smallCut = smallGz.substr(0, smallGz.size() - 20);
    AgentLog shortLog(std::make_unique<MemorySource>(smallCut.data(), smallCut.size()));
    ASSERT_TRUE(shortLog.waitUntilIndexed(kGenerous));
    const std::vector<CycleKey> keys = shortLog.keys();
    ASSERT_GT(keys.size(), 100u);
    const CycleRecords nearCut = shortLog.read(keys[keys.size() - 2]);
    EXPECT_EQ(nearCut.error, "");
    ASSERT_EQ(nearCut.records.size(), 1u);
    EXPECT_EQ(nearCut.records[0].text, "cycle " + std::to_string(keys[keys.size() - 2].cycle));
}

TEST(AgentLogFile, RefusesWhatIsNotARegularFile) {
    std::string error;
    EXPECT_FALSE(AgentLog::open(TESSARIN_TEST_DATA_DIR, error));
    EXPECT_NE(error, "");
    error.clear();
    EXPECT_FALSE(AgentLog::open(dataPath("no-such.log"), error));
    EXPECT_NE(error, "");
}

TEST(AgentLogSetTest, PlacesAGameRecordAmongTheRecordsOfItsCycle) {
    std::vector<cycle_info_t> frames(6);
    const int cycles[] = {1, 2, 2, 2, 3, 3};
    for (std::size_t i = 0; i < frames.size(); ++i) frames[i].cycle = static_cast<std::int16_t>(cycles[i]);
    const GamePlace second = gamePlace(frames, 2);
    EXPECT_EQ(second.cycle, 2);
    EXPECT_EQ(second.occurrence, 1);
    EXPECT_EQ(second.recordsInCycle, 3);
    const GamePlace last = gamePlace(frames, 5);
    EXPECT_EQ(last.occurrence, 1);
    EXPECT_EQ(last.recordsInCycle, 2);
    EXPECT_EQ(gamePlace(frames, 0).recordsInCycle, 1);
}

TEST(AgentLogSetTest, FindsTheSelectedPlayersLogAndKeepsTheShownCycle) {
    AgentLogSet set;
    set.setEntries(listLogFolder(dataPath(""), "HELIOS_L", "HELIOS_R"));
    ASSERT_EQ(set.entries().size(), 2u);
    const int left6 = set.entryOfSelection(5);
    const int right7 = set.entryOfSelection(17);
    ASSERT_GE(left6, 0);
    ASSERT_GE(right7, 0);
    EXPECT_EQ(set.entries()[static_cast<std::size_t>(right7)].fileName, "HELIOS_R-7.log.gz");
    EXPECT_EQ(set.entryOfSelection(16), -1);
    EXPECT_EQ(set.entryOfSelection(22), -1);

    AgentLog* log = set.log(static_cast<std::size_t>(right7));
    ASSERT_NE(log, nullptr);
    ASSERT_TRUE(log->waitUntilIndexed(kGenerous));
    const GamePlace place{3, 0, 1};
    const CycleRecords& first = set.records(static_cast<std::size_t>(right7), place);
    ASSERT_FALSE(first.records.empty());
    // Asked again for the same place, the kept records come back without a read.
    EXPECT_EQ(&set.records(static_cast<std::size_t>(right7), place), &first);
    // The right side's line from (-14.06, -5.39) lies on the field at (14.06, 5.39).
    const CycleView view = set.view(static_cast<std::size_t>(right7), place, kAllLevels);
    const auto line =
        std::find_if(view.drawings.begin(), view.drawings.end(), [](const Record& r) { return r.type == 'l'; });
    ASSERT_NE(line, view.drawings.end());
    EXPECT_NEAR(line->values[0], 14.0595, 1e-9);
    EXPECT_NEAR(line->values[1], 5.3907, 1e-9);

    std::string error;
    AgentLogSet missing;
    LogFileEntry gone;
    gone.path = dataPath("HELIOS_L-9.log");
    missing.setEntries({gone});
    EXPECT_EQ(missing.log(0, &error), nullptr);
    EXPECT_NE(error, "");
    EXPECT_TRUE(missing.records(0, place).records.empty());
}

TEST(AgentLogSearchTest, ListsTheCyclesWhoseMessagesHoldTheText) {
    const std::string text = readFile(dataPath("HELIOS_L-6.log"));
    auto source = std::make_shared<MemorySource>(text.data(), text.size());
    LogSearch search(source, "HOME Pos", kAllLevels);
    ASSERT_TRUE(search.waitFinished(kGenerous));
    EXPECT_FALSE(search.incomplete());
    EXPECT_DOUBLE_EQ(search.progress(), 1.0);
    // A plain scan of the text, case ignored.
    std::map<CycleKey, std::size_t> expected;
    std::vector<CycleKey> order;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        Record r;
        std::string lowered;
        if (parseRecord(std::string_view(text).substr(pos, end - pos), r)) {
            for (const char c : r.text) lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (lowered.find("home pos") != std::string::npos) {
            if (expected[r.key]++ == 0) order.push_back(r.key);
        }
        pos = end + 1;
    }
    const std::vector<SearchHit> hits = search.hits();
    ASSERT_EQ(hits.size(), order.size());
    for (std::size_t i = 0; i < hits.size(); ++i) {
        EXPECT_EQ(hits[i].key, order[i]);
        EXPECT_EQ(hits[i].count, expected[order[i]]);
    }

    // The home positions are logged under "team" only.
    LogSearch passOnly(source, "home pos", 0x100);
    ASSERT_TRUE(passOnly.waitFinished(kGenerous));
    EXPECT_TRUE(passOnly.hits().empty());
}

TEST(AgentLogSearchTest, StopsWhenCancelled) {
    const std::string sample = readFile(dataPath("HELIOS_L-6.log"));
    std::string text;
    for (int i = 0; i < 5; ++i) text += sample;  // more lines than one look at the stop request
    auto gated = std::make_shared<GatedSource>(text, 4096);
    LogSearch search(gated, "pos", kAllLevels);
    EXPECT_FALSE(search.finished());
    search.cancel();
    gated->open();
    ASSERT_TRUE(search.waitFinished(kGenerous));
    EXPECT_TRUE(search.incomplete());
}

}  // namespace
}  // namespace tessarin::agentlog
