// The command-line tool's subcommands, run in-process.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "support/LogBuilder.h"

namespace tessarin::cli {
namespace {

using test::TempDir;

struct CliRun {
    int status = 0;
    std::string out, err;
};

CliRun info(const std::string& file, bool json) {
    std::ostringstream out, err;
    CliRun r;
    r.status = runInfo({file, json}, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(InfoCommand, JsonDescribesTheDemoGameWithExactlyTheDocumentedKeys) {
    const CliRun r = info(test::demoGamePath(), true);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : doc.items()) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"compressed", "decision_files", "file", "first_cycle", "format", "last_cycle",
                                        "left", "player_types", "records", "records_with_messages", "right"}));
    EXPECT_EQ(doc["format"], "v3");
    EXPECT_EQ(doc["compressed"], false);
    EXPECT_EQ(doc["records"], 8667);
    EXPECT_EQ(doc["first_cycle"], 1);
    EXPECT_EQ(doc["last_cycle"], 8000);
    EXPECT_EQ(doc["left"]["name"], "HELIOS_left");
    EXPECT_EQ(doc["left"]["score"], 4);
    EXPECT_EQ(doc["right"]["name"], "HELIOS_right");
    EXPECT_EQ(doc["right"]["score"], 1);
    EXPECT_EQ(doc["player_types"], 18);
    EXPECT_EQ(doc["records_with_messages"], 0);
    EXPECT_EQ(doc["decision_files"], (nlohmann::json{{"pass", false}, {"intercept", false}, {"behave", false}}));
}

// Team names and file names reach the document as the files hold them; bytes that are
// not UTF-8 must not make the dump throw (it used to abort the process).
TEST(InfoCommand, JsonReplacesTextThatIsNotUtf8) {
    TempDir dir;
    const std::string bad(16, '\xff');
    const std::string game = dir.write("\xfe\xfe.rcg", test::V3LogBuilder().teams(bad, 1, "R", 0).show(1).bytes());
    const CliRun r = info(game, true);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["left"]["name"].get<std::string>().rfind("\xef\xbf\xbd", 0), 0u);
    EXPECT_EQ(doc["left"]["score"], 1);
    EXPECT_NE(doc["file"].get<std::string>().find("\xef\xbf\xbd.rcg"), std::string::npos);
}

TEST(InfoCommand, CountsRecordsWithMessagesAndFindsDecisionFiles) {
    TempDir dir;
    const std::string log = dir.write("t-log.slh", test::sightV2Log({1, 2}));
    dir.write("t-intercept.dec", {'D', 'E', 'C'});
    CliRun r = info(log, true);
    ASSERT_EQ(r.status, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["format"], "sight-v2");
    EXPECT_EQ(doc["decision_files"]["intercept"], true);
    EXPECT_EQ(doc["decision_files"]["pass"], false);
    EXPECT_TRUE(doc["left"].is_null()) << "a sight log has no show record to take teams from";

    const std::string game =
        dir.write("m.rcg", test::V3LogBuilder().message("Recv a").show(1).show(2).message("Recv b").show(3).bytes());
    doc = nlohmann::json::parse(info(game, true).out);
    EXPECT_EQ(doc["records_with_messages"], 2);
    const CliRun text = info(game, false);
    EXPECT_NE(text.out.find("records with messages: 2"), std::string::npos) << text.out;
}

TEST(InfoCommand, BadFilesFailWithAClearMessage) {
    TempDir dir;
    const struct {
        std::string path;
        std::string expected;
    } cases[] = {
        {dir.file("missing.rcg"), "No such file"},
        {dir.write("empty.rcg", {}), "is empty"},
        {dir.write("text.rcg", {'h', 'e', 'l', 'l', 'o'}), "is not a game log Tessarin can read"},
        {dir.write("v2.rcg", test::V3LogBuilder(2).show(1).bytes()), "is not a game log Tessarin can read"},
        {dir.path().string(), "cannot read"},
        {"/dev/null", "not a regular file"},
    };
    for (const auto& c : cases) {
        const CliRun r = info(c.path, false);
        EXPECT_NE(r.status, 0) << c.path;
        EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    // Reading stops at a record of an unknown kind: what came before is described.
    const CliRun unknown = info(dir.write("unknown.rcg", test::V3LogBuilder().show(1).kind(4).bytes()), false);
    EXPECT_EQ(unknown.status, kExitIncompleteInput);
    EXPECT_NE(unknown.out.find("records:               1"), std::string::npos);
    EXPECT_NE(unknown.err.find("warning"), std::string::npos);
    // A record cut off by the end of the file is dropped, and said so; the description is
    // of part of a game, which the status tells.
    test::Bytes cut = test::V3LogBuilder().show(1).show(2).bytes();
    cut.resize(cut.size() - 100);
    const CliRun torn = info(dir.write("torn.rcg", cut), false);
    EXPECT_EQ(torn.status, kExitIncompleteInput);
    EXPECT_NE(torn.err.find("warning: the last record of"), std::string::npos) << torn.err;
    EXPECT_NE(torn.out.find("records:               1"), std::string::npos);
}

// Memory that runs out while a file loads stops the reading, keeps what was stored and
// is reported; the process goes on.
class ExhaustedHooks final : public GameAnalysisHooks {
public:
    void analyzeShow(const cycle_info_t&, const std::vector<player_type_t>&) override {
        if (++shows > 40) throw std::bad_alloc();
    }
    void feedOpponentModel(const cycle_info_t&) override {}
    bool opponentModelEnabled() const override { return false; }
    void startOpponentModel(const show_info_t&) override {}
    void finishOpponentModel() override {}
    int shows = 0;
};

TEST(LoadAndWait, MemoryRunningOutKeepsTheRecordsStoredAndSaysSo) {
    std::ostringstream messages;
    CliHost host(messages);
    ExhaustedHooks hooks;
    LogPlayer player(host, &hooks);
    const LoadResult loaded = loadAndWait(player, test::demoGamePath());
    ASSERT_TRUE(loaded.ok);
    EXPECT_TRUE(player.ranOutOfMemory());
    EXPECT_EQ(player.size(), 41u) << "the record being analysed was already stored";
    EXPECT_NE(loaded.warning.find("out of memory after 41 records"), std::string::npos) << loaded.warning;
    EXPECT_FALSE(player.parsing());
}

TEST(InfoCommand, SaysOnceHowManyPlayerTypesWereDropped) {
    TempDir dir;
    test::V3LogBuilder log;
    for (int id = 0; id < 300; ++id) log.playerType(id % 18, 0.3, 0.7);
    log.show(1);
    const CliRun r = info(dir.write("types.rcg", log.bytes()), false);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("player types:          256"), std::string::npos) << r.out;
    const std::string note = "holds 44 player types beyond the first 256, which were dropped";
    ASSERT_NE(r.err.find(note), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(note, r.err.find(note) + 1), std::string::npos) << "said once";
}

TEST(ConvertCommand, WritesTheGameAgainAndRefusesWhatItCannotWrite) {
    TempDir dir;
    std::ostringstream out, err;
    const std::string in = dir.write("in.slg", test::sightLog({1, 2, 3}));
    ASSERT_EQ(runConvert({in, dir.file("out.slg")}, out, err), 0) << err.str();
    EXPECT_EQ(test::readFile(dir.file("out.slg")), test::readFile(in));
    EXPECT_NE(runConvert({in, dir.file("no/such/dir.slg")}, out, err), 0);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos);
    const std::string typesOnly = dir.write("types.slh", test::sightV2Log({}));
    EXPECT_NE(runConvert({typesOnly, dir.file("x.slh")}, out, err), 0);
}

TEST(ConvertCommand, RefusesToWriteOverTheFileItReads) {
    TempDir dir;
    // A cut-off compressed game: writing what was read over it would lose its tail for good.
    test::Bytes game = test::readFile(test::testDataPath("text/v6-short.rcg.gz"));
    game.resize(game.size() / 2);
    const std::string in = dir.write("game.rcg.gz", game);
    std::filesystem::create_symlink(in, dir.file("link.rcg.gz"));
    std::filesystem::create_hard_link(in, dir.file("hard.rcg.gz"));
    for (const std::string& target :
         {in, dir.file("link.rcg.gz"), dir.file("hard.rcg.gz"), dir.file("./game.rcg.gz")}) {
        std::ostringstream out, err;
        EXPECT_EQ(runConvert({in, target}, out, err), 1) << target;
        EXPECT_NE(err.str().find("is the file being read"), std::string::npos) << err.str();
    }
    EXPECT_EQ(test::readFile(in), game);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.rcg.gz")));
}

TEST(ConvertCommand, WritesWhatWasReadOfAnIncompleteInputWithADistinctStatus) {
    TempDir dir;
    test::Bytes torn = test::readFile(test::demoGamePath());
    torn.resize(torn.size() / 2 + 7);
    {
        std::ostringstream out, err;
        EXPECT_EQ(runConvert({dir.write("torn.rcg", torn), dir.file("a.rcg")}, out, err), kExitIncompleteInput);
        EXPECT_NE(err.str().find("holds only what was read"), std::string::npos) << err.str();
        EXPECT_NE(out.str().find("wrote "), std::string::npos) << "what was read is written";
    }
    {
        ConvertOptions options{test::demoGamePath(), dir.file("b.rcg")};
        options.maxRecords = 100;
        std::ostringstream out, err;
        EXPECT_EQ(runConvert(options, out, err), kExitIncompleteInput);
        EXPECT_EQ(out.str(), "wrote 100 records (v3) to " + options.out + "\n");
        EXPECT_NE(err.str().find("--max-records"), std::string::npos) << err.str();
    }
}

TEST(ConvertCommand, WritesVersionSixOnRequestAndSaysOnceWhatVersionThreeLeavesOut) {
    TempDir dir;
    const std::string in = test::testDataPath("text/v6-short.rcg");
    {
        ConvertOptions options{in, dir.file("v6.rcg.gz"), "v6"};
        std::ostringstream out, err;
        ASSERT_EQ(runConvert(options, out, err), 0) << err.str();
        EXPECT_EQ(out.str(), "wrote 739 records (v6, gzip) to " + options.out + "\n");
        EXPECT_EQ(err.str(), "");
        const auto doc = nlohmann::json::parse(info(options.out, true).out);
        EXPECT_EQ(doc["format"], "v6");
        EXPECT_EQ(doc["compressed"], true);
        EXPECT_EQ(doc["records"], 739);
    }
    {
        std::ostringstream out, err;
        ASSERT_EQ(runConvert({in, dir.file("v3.rcg")}, out, err), 0) << err.str();
        const std::string note =
            "note: version 3 has no room for the cards and fouls, tackle, point-to, "
            "attention-to and focus-change counts, stamina capacities, focus points and "
            "attention targets of " +
            in;
        ASSERT_NE(err.str().find(note), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("note:", err.str().find(note) + 1), std::string::npos) << "said once";
    }
    {
        // A version-3 game has nothing to lose.
        std::ostringstream out, err;
        ASSERT_EQ(runConvert({dir.file("v3.rcg"), dir.file("again.rcg")}, out, err), 0) << err.str();
        EXPECT_EQ(err.str(), "");
    }
    {
        std::ostringstream out, err;
        const std::string sight = dir.write("in.slg", test::sightLog({1, 2, 3}));
        EXPECT_EQ(runConvert({sight, dir.file("out.rcg"), "v6"}, out, err), 1);
        EXPECT_NE(err.str().find("only game logs can be written as version 6"), std::string::npos) << err.str();
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.rcg")));
    }
}

TEST(ConvertCommand, TurnsACompressedTextLogIntoACompressedVersion3Log) {
    TempDir dir;
    const std::string in = test::testDataPath("text/v6-short.rcg.gz");
    auto doc = nlohmann::json::parse(info(in, true).out);
    EXPECT_EQ(doc["format"], "v6");
    EXPECT_EQ(doc["compressed"], true);
    EXPECT_EQ(doc["records"], 739);
    EXPECT_EQ(doc["left"]["score"], 1);

    std::ostringstream out, err;
    ASSERT_EQ(runConvert({in, dir.file("out.rcg.gz")}, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "wrote 739 records (v3, gzip) to " + dir.file("out.rcg.gz") + "\n");
    doc = nlohmann::json::parse(info(dir.file("out.rcg.gz"), true).out);
    EXPECT_EQ(doc["format"], "v3");
    EXPECT_EQ(doc["compressed"], true);
    EXPECT_EQ(doc["records"], 739);
    EXPECT_EQ(doc["player_types"], 18);
}

}  // namespace
}  // namespace tessarin::cli
