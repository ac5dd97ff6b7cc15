// tessarin-cli scene: the cycle taken from a loaded game, and the refusals that write nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/Commands.h"
#include "live/SceneWriter.h"
#include "record/ByteOrder.h"
#include "support/LogBuilder.h"

namespace tessarin::cli {
namespace {

std::string gameWithTypes(const test::TempDir& dir, int typeCount, const std::string& name = "game.rcg") {
    test::V3LogBuilder log;
    log.serverParams(0.085).playerParams();
    for (int id = 0; id < typeCount; ++id) log.playerType(id, 0.3, 0.7);
    log.teams("Alpha", 0, "Beta", 0);
    for (int cycle = 1; cycle <= 5; ++cycle) {
        log.show(
            test::ShowBuilder(cycle).ball(cycle, 0).player(0, 1, 0, -10, 0).player(11, 1, 0, 10 + cycle, 2).build());
    }
    return dir.write(name, log.bytes());
}

int run(const SceneOptions& options, std::string* errText = nullptr) {
    std::ostringstream out, err;
    const int status = runScene(options, out, err);
    if (errText) *errText = err.str();
    return status;
}

TEST(SceneCommand, WritesTheFirstRecordOfTheCycle) {
    test::TempDir dir;
    SceneOptions options{gameWithTypes(dir, 18), 4, 12, dir.file("out.slh")};
    std::string err;
    ASSERT_EQ(run(options, &err), 0) << err;
    const test::Bytes bytes = test::readFile(options.out);
    ASSERT_EQ(bytes.size(), kSceneFileSize);
    const std::uint8_t* record = bytes.data() + 3 + 864;
    EXPECT_EQ(record[12], 'r');
    EXPECT_EQ(record[13], 12);
    EXPECT_FLOAT_EQ(lef32(record + 16), 14.0f);  // right player 1 in cycle 4
    EXPECT_FLOAT_EQ(lef32(record + 52), 4.0f);   // the ball in cycle 4

    // The same scene from a game cut off inside its last record is written, with the status
    // that says the game was read only in part.
    test::Bytes cut = test::readFile(options.file);
    cut.resize(cut.size() - 100);
    options.file = dir.write("cut.rcg", cut);
    EXPECT_EQ(run(options, &err), 2) << err;
    EXPECT_EQ(test::readFile(options.out).size(), kSceneFileSize);
}

TEST(SceneCommand, RefusesWithAMessageAndWritesNothing) {
    test::TempDir dir;
    const std::string game = gameWithTypes(dir, 18);
    const std::string out = dir.file("out.slh");
    struct Case {
        SceneOptions options;
        const char* message;
    };
    const std::string sight = dir.write("sight.slh", test::sightV2Log({4, 5}));
    const Case cases[] = {
        {{game, 9, 3, out}, "no record of cycle 9"},
        {{game, 4, 23, out}, "--self must be 1..22"},
        {{gameWithTypes(dir, 3, "three.rcg"), 4, 3, out}, "no player type 3"},
        {{sight, 4, 3, out}, "not a show record"},
        {{dir.file("absent.rcg"), 4, 3, out}, "cannot read"},
        {{game, 4, 3, game}, "is the file being read"},
    };
    const test::Bytes gameBytes = test::readFile(game);
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(run(c.options, &err), 1) << c.message;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
    }
    EXPECT_EQ(test::readFile(game), gameBytes);
}

}  // namespace
}  // namespace tessarin::cli
