// Position dump: the 23 files, their line formats and the strict tests of the model part.

#include "analysis/PositionDump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis/OpponentModel.h"
#include "record/ByteOrder.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::ShowBuilder;

cycle_info_t asRecord(show_info_t show) {
    cycle_info_t r;
    r.valid = 1;
    r.kind = kShowRecord;
    r.cycle = netToHost16(show.time);
    r.setShow(show);
    return r;
}

void setVelocity(show_info_t& show, int index, double vx, double vy) {
    show.player[index].vx = hostToNet32(test::toFixed(vx));
    show.player[index].vy = hostToNet32(test::toFixed(vy));
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string printfPair(const char* format, double x, double y) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, x, y);
    return buffer;
}

class PositionDumpTest : public ::testing::Test {
protected:
    std::string line(int file) const { return readText(dir.path() / positionDumpFileNames()[file]); }
    std::size_t filesIn(const std::filesystem::path& path) const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path)) ++n;
        return n;
    }
    // A model whose left player 1 ranged over [-30, -10] × [-10, 10] and whose right
    // player 1 over [10, 30] × [-5, 5] (field coordinates).
    void trainModel() {
        model.setEnabled(true);
        const std::array<std::array<double, 4>, 2> corners = {{{-30, -10, 10, -5}, {-10, 10, 30, 5}}};
        for (int c = 0; c < 2; ++c) {
            show_info_t show = ShowBuilder(c + 1)
                                   .player(0, 1, 0, corners[c][0], corners[c][1])
                                   .player(11, 1, 0, corners[c][2], corners[c][3])
                                   .build();
            for (int j = 0; j < kPlayerCount; ++j) {
                if (j != 0 && j != 11) setVelocity(show, j, 1, 0);
            }
            model.Feed(asRecord(show), 0);
        }
        model.Finish();
    }

    test::TempDir dir;
    OpponentModel model;
};

TEST_F(PositionDumpTest, AnEmptyStoreCreatesNoFile) {
    const auto result = writePositionDump({}, model, dir.path());
    EXPECT_FALSE(result.written);
    EXPECT_EQ(filesIn(dir.path()), 0u);
}

TEST_F(PositionDumpTest, SightRecordsAreSkipped) {
    cycle_info_t sight = asRecord(ShowBuilder(3).ball(1, 1).build());
    sight.kind = kSightRecord;
    cycle_info_t sightV2 = sight;
    sightV2.kind = kSightRecordV2;
    const auto result = writePositionDump({sight, sightV2}, model, dir.path());
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.failedFiles.empty());
    EXPECT_EQ(filesIn(dir.path()), 23u);
    for (int f = 0; f < 23; ++f) EXPECT_EQ(line(f), "") << f;
}

TEST_F(PositionDumpTest, WritesOneLinePerShowInTheGivenFormat) {
    show_info_t first = ShowBuilder(12).ball(1.25, -3.5, 0.1, -2.004).player(4, 1, 0, -7.5, 20.125).build();
    setVelocity(first, 4, 0.5, -0.25);
    show_info_t second = ShowBuilder(13).ball(-52.5, 34).player(4, 1, 0, 3, 0).build();
    setVelocity(second, 4, 1, 0);
    cycle_info_t sight = asRecord(second);
    sight.kind = kSightRecord;
    writePositionDump({asRecord(first), sight, asRecord(second)}, model, dir.path());

    EXPECT_EQ(line(0), "12---pos:(1.25,-3.50) speed:(0.10,-2.00)\n13---pos:(-52.50,34.00) speed:(0.00,0.00)\n");
    EXPECT_EQ(line(5), "12---pos:(-7.50,20.12) speed:(0.50,-0.25)\n13---pos:(3.00,0.00) speed:(1.00,0.00)\n");
    EXPECT_EQ(line(1), "12---pos:(0.00,0.00) speed:(0.00,0.00)\n13---pos:(0.00,0.00) speed:(0.00,0.00)\n");
}

TEST_F(PositionDumpTest, WithoutAModelOnlyRightPlayersNearTheCentreSpotGetAModelPart) {
    show_info_t show = ShowBuilder(1)
                           .player(0, 1, 0, 0, 0)        // left, at the centre spot: never
                           .player(11, 1, 0, 0.5, -0.5)  // right, inside the 2 m square, still
                           .player(12, 1, 0, 1.0, 0)     // right, on the square's edge
                           .player(13, 1, 0, 0.2, 0.2)   // right, inside but moving
                           .build();
    setVelocity(show, 13, 0.25, 0);
    writePositionDump({asRecord(show)}, model, dir.path());
    EXPECT_EQ(line(1), "1---pos:(0.00,0.00) speed:(0.00,0.00)\n");
    EXPECT_EQ(line(12), "1---pos:(0.50,-0.50) speed:(0.00,0.00)\t---pos from model:(0.000000,0.000000)\n");
    EXPECT_EQ(line(13), "1---pos:(1.00,0.00) speed:(0.00,0.00)\n");
    EXPECT_EQ(line(14), "1---pos:(0.20,0.20) speed:(0.25,0.00)\n");
}

TEST_F(PositionDumpTest, TheRegionTestsAreStrict) {
    trainModel();
    const RoleRecord left = model.roleRecord(0, 1);
    ASSERT_FLOAT_EQ(left.back_x, -30);
    ASSERT_FLOAT_EQ(left.high_y, 10);
    const Vector predicted = model.PredictPosition(0, 0, 0, 0);
    const std::string modelPart = printfPair("\t---pos from model:(%f,%f)", predicted.x, predicted.y);

    auto dumpLeft = [&](double x, double y) {
        writePositionDump({asRecord(ShowBuilder(1).player(0, 1, 0, x, y).build())}, model, dir.path());
        return line(1);
    };
    EXPECT_EQ(dumpLeft(-29, 0), "1---pos:(-29.00,0.00) speed:(0.00,0.00)\n") << "exactly 1 m inside the back";
    EXPECT_EQ(dumpLeft(-11, 0), "1---pos:(-11.00,0.00) speed:(0.00,0.00)\n") << "exactly 1 m inside the front";
    EXPECT_EQ(dumpLeft(-20, 9), "1---pos:(-20.00,9.00) speed:(0.00,0.00)\n") << "exactly 1 m inside the top";
    EXPECT_EQ(dumpLeft(-28.75, -8.75), "1---pos:(-28.75,-8.75) speed:(0.00,0.00)" + modelPart + "\n");

    // The right team's region is widened by the margin instead.
    const Vector predictedRight = model.PredictPosition(1, 0, 0, 0);
    const std::string rightPart = printfPair("\t---pos from model:(%f,%f)", predictedRight.x, predictedRight.y);
    auto dumpRight = [&](double x, double y) {
        writePositionDump({asRecord(ShowBuilder(1).player(11, 1, 0, x, y).build())}, model, dir.path());
        return line(12);
    };
    EXPECT_EQ(dumpRight(30.5, 5.5), "1---pos:(30.50,5.50) speed:(0.00,0.00)" + rightPart + "\n");
    EXPECT_EQ(dumpRight(31, 0), "1---pos:(31.00,0.00) speed:(0.00,0.00)\n");
    EXPECT_EQ(dumpRight(20, -6), "1---pos:(20.00,-6.00) speed:(0.00,0.00)\n");
}

TEST_F(PositionDumpTest, AFileThatCannotBeCreatedIsSkippedAndReported) {
    std::filesystem::create_directory(dir.path() / "player5.txt");
    const auto result = writePositionDump({asRecord(ShowBuilder(1).build())}, model, dir.path());
    EXPECT_EQ(result.failedFiles, std::vector<std::string>{"player5.txt"});
    EXPECT_EQ(line(4), "1---pos:(0.00,0.00) speed:(0.00,0.00)\n");

    const auto missing = writePositionDump({asRecord(ShowBuilder(1).build())}, model, dir.path() / "missing");
    EXPECT_EQ(missing.failedFiles.size(), 23u);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

}  // namespace
}  // namespace tessarin
