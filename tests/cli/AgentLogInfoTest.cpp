// `tessarin-cli info` on players' debug logs.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/Commands.h"
#include "support/LogBuilder.h"

namespace tessarin::cli {
namespace {

struct InfoRun {
    int status = 0;
    std::string out, err;
};

InfoRun info(const std::string& file, bool json) {
    std::ostringstream out, err;
    InfoRun r;
    r.status = runInfo({file, json}, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::string sample(const std::string& name) { return std::string(TESSARIN_TEST_DATA_DIR) + "/agent-debug/" + name; }

TEST(AgentLogInfo, JsonDescribesAPlainLogWithTheDocumentedKeys) {
    const InfoRun r = info(sample("HELIOS_L-6.log"), true);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto doc = nlohmann::json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : doc.items()) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"bad_lines", "coach", "compressed", "file", "first_cycle", "format",
                                              "last_cycle", "levels", "records", "team", "types", "unum"}));
    EXPECT_EQ(doc["format"], "agent-debug");
    EXPECT_EQ(doc["compressed"], false);
    EXPECT_EQ(doc["team"], "HELIOS_L");
    EXPECT_EQ(doc["unum"], 6);
    EXPECT_EQ(doc["coach"], false);
    EXPECT_EQ(doc["first_cycle"], 0);
    EXPECT_EQ(doc["last_cycle"], 6);
    EXPECT_EQ(doc["types"], (nlohmann::json{{"M", 760}, {"c", 99}}));
    EXPECT_EQ(doc["bad_lines"], 0);
    // Levels by the library's names; the lines of every level under "all".
    EXPECT_GT(doc["levels"]["team"].get<int>(), 0);
    EXPECT_GT(doc["levels"]["all"].get<int>(), 0);
    EXPECT_FALSE(doc["levels"].contains("level_22"));
}

TEST(AgentLogInfo, DescribesAGzipLogAndAnUnreadableName) {
    const InfoRun r = info(sample("HELIOS_R-7.log.gz"), true);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["compressed"], true);
    EXPECT_EQ(doc["team"], "HELIOS_R");
    EXPECT_EQ(doc["unum"], 7);
    EXPECT_EQ(doc["types"]["l"], 7);
    EXPECT_EQ(doc["types"]["m"], 7);

    test::TempDir dir;
    const std::string lines = "3,0 1 M one\n3,0 1 c 0 0 nan\n4,1 -1 p 1 2 red\nnot a line\n";
    const std::string odd = dir.write("player.txt", test::Bytes(lines.begin(), lines.end()));
    const InfoRun t = info(odd, true);
    ASSERT_EQ(t.status, 0) << t.err;
    const auto oddDoc = nlohmann::json::parse(t.out);
    EXPECT_TRUE(oddDoc["team"].is_null());
    EXPECT_TRUE(oddDoc["unum"].is_null());
    EXPECT_EQ(oddDoc["records"], 2);
    EXPECT_EQ(oddDoc["bad_lines"], 2);
    EXPECT_NE(t.err.find("2 lines could not be read"), std::string::npos);

    const InfoRun text = info(odd, false);
    EXPECT_NE(text.out.find("agent-debug"), std::string::npos);
    EXPECT_NE(text.out.find("bad lines: 2"), std::string::npos);
}

}  // namespace
}  // namespace tessarin::cli
