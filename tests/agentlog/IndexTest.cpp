#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "AgentLogSupport.h"
#include "agentlog/CycleIndex.h"
#include "agentlog/GzipAccess.h"
#include "agentlog/Summary.h"
#include "agentlog/TextStream.h"

namespace tessarin::agentlog {
namespace {

using test::dataPath;
using test::gzipText;
using test::readFile;

std::vector<TextLine> linesOf(const std::string& bytes, std::vector<std::string>& storage) {
    MemorySource source(bytes.data(), bytes.size());
    TextStream stream(source);
    std::vector<TextLine> lines;
    forEachLine(stream, [&](const TextLine& line) {
        storage.emplace_back(line.text);
        lines.push_back(line);
        return true;
    });
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i].text = storage[i];
    return lines;
}

// A text of numbered lines of varying length, larger than the stream's pieces.
std::string numberedText(std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string text;
    for (int n = 0; text.size() < bytes; ++n) {
        text += std::to_string(n / 7) + ",0 4 M line " + std::to_string(n) + ' ';
        text.append(random() % 300, static_cast<char>('a' + random() % 26));
        text += '\n';
    }
    return text;
}

TEST(AgentLogTextStream, SplitsLinesAcrossPiecesWithTheirOffsets) {
    const std::string text = numberedText(3 << 20, 1) + "last line without newline";
    std::vector<std::string> storage;
    const std::vector<TextLine> lines = linesOf(text, storage);
    std::uint64_t offset = 0;
    for (const TextLine& line : lines) {
        ASSERT_EQ(line.offset, offset);
        ASSERT_EQ(text.substr(line.offset, line.text.size()), line.text);
        offset += line.length;
    }
    EXPECT_EQ(offset, text.size());
    EXPECT_EQ(lines.back().text, "last line without newline");
}

TEST(AgentLogTextStream, SkipsALineOfMegabytesWithoutLosingItsNeighbours) {
    const std::string text = "1,0 1 M before\n" + std::string(3 << 20, 'x') + "\n2,0 1 M after\n";
    std::vector<std::string> storage;
    const std::vector<TextLine> lines = linesOf(text, storage);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "1,0 1 M before");
    EXPECT_TRUE(lines[1].tooLong);
    EXPECT_EQ(lines[1].length, (3u << 20) + 1);
    EXPECT_EQ(lines[2].text, "2,0 1 M after");
    EXPECT_EQ(lines[2].offset, text.size() - 14);
}

TEST(AgentLogTextStream, InflatesGzipMembersOneAfterAnother) {
    const std::string first = numberedText(200000, 2);
    const std::string second = numberedText(300000, 3);
    const std::string joined = gzipText(first) + gzipText(second);
    MemorySource source(joined.data(), joined.size());
    TextStream stream(source);
    std::string text;
    for (std::string_view piece = stream.next(); !piece.empty(); piece = stream.next()) text += piece;
    EXPECT_TRUE(stream.compressed());
    EXPECT_EQ(stream.error(), "");
    EXPECT_EQ(text, first + second);
}

TEST(AgentLogTextStream, ReportsACutOffStreamAndKeepsWhatCameBefore) {
    const std::string plain = numberedText(400000, 4);
    const std::string gz = gzipText(plain);
    const std::string cut = gz.substr(0, gz.size() / 2);
    MemorySource source(cut.data(), cut.size());
    TextStream stream(source);
    std::string text;
    for (std::string_view piece = stream.next(); !piece.empty(); piece = stream.next()) text += piece;
    EXPECT_NE(stream.error(), "");
    EXPECT_GT(text.size(), 0u);
    EXPECT_EQ(text, plain.substr(0, text.size()));
}

TEST(AgentLogGzipAccess, ReadsAnyStretchFromTheNearestRestartPoint) {
    // Twelve MiB in blocks of 64 KiB, over two members: restart points fall inside both.
    const std::string first = numberedText(7 << 20, 5);
    const std::string second = numberedText(5 << 20, 6);
    const std::string plain = first + second;
    const std::string gz = gzipText(first) + gzipText(second);
    MemorySource source(gz.data(), gz.size());
    GzipAccess points;
    {
        TextStream stream(source, &points);
        while (!stream.next().empty()) {
        }
        ASSERT_EQ(stream.error(), "");
    }
    ASSERT_GE(points.pointCount(), 3u);
    EXPECT_GT(points.lastOut(), first.size());  // a point inside the second member

    std::mt19937_64 random(7);
    std::vector<std::uint64_t> offsets = {0, first.size() - 10, first.size(), plain.size() - 100, points.lastOut()};
    for (int i = 0; i < 20; ++i) offsets.push_back(random() % plain.size());
    for (const std::uint64_t offset : offsets) {
        std::string text, error;
        ASSERT_TRUE(points.read(source, offset, 5000, text, error)) << offset << ": " << error;
        EXPECT_EQ(text, plain.substr(offset, 5000)) << offset;
    }
}

TEST(AgentLogCycleIndex, FindsEveryRunOfACycleInFileOrder) {
    CycleIndex index;
    // A clock that starts again: cycle (0, 0) before and after the stopped counts.
    index.append({{0, 0}, 0, 10});
    index.append({{0, 1}, 10, 20});
    index.append({{0, 2}, 20, 30});
    index.append({{0, 0}, 30, 40});
    index.append({{1, 0}, 40, 50});
    const std::vector<Segment> zero = index.find({0, 0});
    ASSERT_EQ(zero.size(), 2u);
    EXPECT_EQ(zero[0].begin, 0u);
    EXPECT_EQ(zero[1].begin, 30u);
    EXPECT_TRUE(index.find({5, 0}).empty());
    EXPECT_EQ(index.keys(), (std::vector<CycleKey>{{0, 0}, {0, 1}, {0, 2}, {1, 0}}));
    EXPECT_EQ(index.firstKey(), (CycleKey{0, 0}));
}

TEST(AgentLogCycleIndex, StaysCorrectForCyclesInAnyOrder) {
    // Enough out-of-order runs to pass through the bulk merges, checked against a plain scan.
    std::mt19937 random(11);
    CycleIndex index;
    std::vector<Segment> all;
    for (std::uint64_t i = 0; i < 30000; ++i) {
        const Segment s{{static_cast<int>(random() % 3000), static_cast<int>(random() % 2)}, i * 10, i * 10 + 10};
        index.append(s);
        all.push_back(s);
    }
    for (int probe = 0; probe < 200; ++probe) {
        const CycleKey key{static_cast<int>(random() % 3000), static_cast<int>(random() % 2)};
        std::vector<std::uint64_t> expected, found;
        for (const Segment& s : all) {
            if (s.key == key) expected.push_back(s.begin);
        }
        for (const Segment& s : index.find(key)) found.push_back(s.begin);
        ASSERT_EQ(found, expected);
    }
    const std::vector<CycleKey> keys = index.keys();
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_TRUE(std::adjacent_find(keys.begin(), keys.end()) == keys.end());
}

TEST(AgentLogSummary, CountsARealLogByTypeAndLevel) {
    // Counted with awk over the sample: 859 lines, 760 messages, 99 circles, cycles 0..6.
    const std::string bytes = readFile(dataPath("HELIOS_L-6.log"));
    MemorySource source(bytes.data(), bytes.size());
    const LogSummary s = summarize(source);
    EXPECT_FALSE(s.compressed);
    EXPECT_EQ(s.records, 859u);
    EXPECT_EQ(s.badLines, 0u);
    EXPECT_EQ(s.types.at('M'), 760u);
    EXPECT_EQ(s.types.at('c'), 99u);
    EXPECT_EQ(s.firstCycle, 0);
    EXPECT_EQ(s.lastCycle, 6);
    std::size_t levelCounts = s.allLevels;
    for (const std::size_t n : s.levels) levelCounts += n;
    EXPECT_GE(levelCounts, s.records);  // every record has at least one bit here
    EXPECT_TRUE(looksLikeAgentLog(source));
}

TEST(AgentLogSummary, CountsBadLinesAndKeepsTheRest) {
    std::string text = "1,0 1 M fine\n1,0 1 c 0 0 nan\n\x01\x02\x03 binary\n1,0 1 Q 1 2\n";
    text += std::string(200000, 'z') + "\n2,0 4 l 0 0 1 1 red\n\n";
    const std::string gz = gzipText(text);
    MemorySource source(gz.data(), gz.size());
    const LogSummary s = summarize(source);
    EXPECT_TRUE(s.compressed);
    EXPECT_EQ(s.records, 2u);
    EXPECT_EQ(s.badLines, 4u);
    EXPECT_EQ(s.firstCycle, 1);
    EXPECT_EQ(s.lastCycle, 2);

    const std::string game = "ULG6\n(server_param (goal_width 14.02))\n";
    MemorySource notALog(game.data(), game.size());
    EXPECT_FALSE(looksLikeAgentLog(notALog));
}

}  // namespace
}  // namespace tessarin::agentlog
