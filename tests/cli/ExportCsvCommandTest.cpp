// The wide CSV of a game's show records.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "cli/Commands.h"
#include "geometry/Angle.h"
#include "record/LogPlayer.h"
#include "support/LogBuilder.h"

namespace tessarin::cli {
namespace {

using test::TempDir;

std::vector<std::string> splitLine(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
    return fields;
}

TEST(ExportCsvCommand, OneWideRowPerShowRecord) {
    TempDir dir;
    test::V3LogBuilder log;
    log.playerType(0, 0.3, 0.7).teams("L", 0, "R", 2).playMode(3);
    test::ShowBuilder first(7);
    first.ball(1.5, -2.25, 0.5, 0).player(6, 1, 3, -12.5, 20.0);
    log.show(first.build()).show(8).playMode(14).show(9);
    ExportCsvOptions o;
    o.file = dir.write("small.rcg", log.bytes());
    o.out = dir.file("small.csv");
    std::ostringstream out, err;
    ASSERT_EQ(runExportCsv(o, out, err), 0) << err.str();

    std::ifstream in(o.out);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        rows.push_back(splitLine(line));
    }
    ASSERT_EQ(rows.size(), 4u);
    const auto& header = rows[0];
    ASSERT_EQ(header.size(), 8u + 22u * 19u);
    const auto col = [&](const std::string& name) {
        const auto it = std::find(header.begin(), header.end(), name);
        EXPECT_NE(it, header.end()) << name;
        return static_cast<std::size_t>(it - header.begin());
    };
    for (const auto& row : rows) EXPECT_EQ(row.size(), header.size());
    EXPECT_EQ(header[0], "cycle");
    EXPECT_EQ(header[8], "l1_type");
    EXPECT_EQ(header.back(), "r11_change_view_count");
    EXPECT_EQ(rows[1][col("cycle")], "7");
    EXPECT_EQ(rows[1][col("playmode")], "play_on");
    EXPECT_EQ(rows[3][col("playmode")], "goal_l");
    EXPECT_EQ(rows[1][col("right_score")], "2");
    EXPECT_EQ(rows[1][col("ball_x")], "1.5");
    EXPECT_EQ(rows[1][col("ball_y")], "-2.25");
    EXPECT_EQ(rows[1][col("ball_vx")], "0.5");
    EXPECT_EQ(rows[1][col("l7_x")], "-12.5");
    EXPECT_EQ(rows[1][col("l7_y")], "20");
    EXPECT_EQ(rows[1][col("l7_type")], "3");
    EXPECT_EQ(rows[1][col("l7_mode")], "1");
    EXPECT_EQ(rows[1][col("r11_x")], "0");
}

TEST(ExportCsvCommand, TheDemoGameInDegreesAndMetres) {
    TempDir dir;
    ExportCsvOptions o;
    o.file = test::demoGamePath();
    o.out = dir.file("demo.csv");
    std::ostringstream out, err;
    ASSERT_EQ(runExportCsv(o, out, err), 0) << err.str();
    std::ifstream in(o.out);
    std::string line;
    std::getline(in, line);
    const auto header = splitLine(line.substr(0, line.size() - 1));
    const auto body = static_cast<std::size_t>(std::find(header.begin(), header.end(), "l7_body") - header.begin());
    std::size_t rows = 0;
    double largest = 0;
    while (std::getline(in, line)) {
        ++rows;
        largest = std::max(largest, std::fabs(std::stod(splitLine(line)[body])));
    }
    EXPECT_EQ(rows, 8667u);
    // Degrees, not radians: a player turns all round in a game of 8000 cycles.
    EXPECT_GT(largest, 90.0);
    EXPECT_LE(largest, 180.01);
}

TEST(ExportCsvCommand, RefusesWhatHasNoShowRecords) {
    TempDir dir;
    std::ostringstream out, err;
    ExportCsvOptions sight;
    sight.file = dir.write("view.slg", test::sightLog({1, 2}));
    EXPECT_EQ(runExportCsv(sight, out, err), 1);
    EXPECT_NE(err.str().find("sight log"), std::string::npos);
    ExportCsvOptions missing;
    missing.file = dir.file("missing.rcg");
    EXPECT_EQ(runExportCsv(missing, out, err), 1);
    ExportCsvOptions unwritable;
    unwritable.file = test::demoGamePath();
    unwritable.out = dir.file("no/such/folder/out.csv");
    EXPECT_EQ(runExportCsv(unwritable, out, err), 1);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace tessarin::cli
