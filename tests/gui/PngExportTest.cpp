// The headless export: its arguments, its errors, and the pixels of an exported frame.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <filesystem>

#include "display/DisplayOptions.h"
#include "export/PngExport.h"
#include "files/PathText.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

QStringList args(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) list << QString::fromLatin1(item);
    return list;
}

TEST(PngExportArgumentsTest, AcceptsTheDocumentedForm) {
    QString error;
    EXPECT_TRUE(wantsExport(args({"--export-png", "out.png", "game.rcg"})));
    EXPECT_FALSE(wantsExport(args({"game.rcg"})));
    const auto plain = parseExportArguments(args({"--export-png", "out.png", "game.rcg"}), error);
    ASSERT_TRUE(plain) << error.toStdString();
    EXPECT_EQ(plain->output, QStringLiteral("out.png"));
    EXPECT_EQ(plain->input, QStringLiteral("game.rcg"));
    EXPECT_FALSE(plain->cycle.has_value());
    EXPECT_EQ(plain->width, 800);
    EXPECT_EQ(plain->height, 600);

    const auto full =
        parseExportArguments(args({"game.rcg", "--size", "1280x800", "--export-png", "o.png", "--cycle", "42"}), error);
    ASSERT_TRUE(full) << error.toStdString();
    EXPECT_EQ(*full->cycle, 42);
    EXPECT_EQ(full->width, 1280);
    EXPECT_EQ(full->height, 800);
}

TEST(PngExportArgumentsTest, OptionsAndSelectionOverrideForOneExport) {
    QString error;
    const auto request = parseExportArguments(args({"--export-png", "o.png", "--option", "Velocity=1", "--select", "4",
                                                    "--option=PlayerScale=2.2", "--option", "Number=0", "a.slg"}),
                                              error);
    ASSERT_TRUE(request) << error.toStdString();
    EXPECT_EQ(request->select, 4);
    ASSERT_EQ(request->options.size(), 3u);
    DisplayOptions options;
    for (const auto& [name, value] : request->options) ASSERT_TRUE(setDisplayOption(options, name, value, error));
    EXPECT_TRUE(options.Velocity);
    EXPECT_FALSE(options.Number);
    EXPECT_DOUBLE_EQ(options.PlayerScale, 2.2);

    // Without an export the viewer takes one game file and no export options.
    const auto viewer = parseViewerArguments(args({"game.rcg"}), error);
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->path, QStringLiteral("game.rcg"));
    EXPECT_FALSE(viewer->exportRequest);
    EXPECT_FALSE(viewer->opponentModel);
    const auto modelling = parseViewerArguments(args({"--opponent-model", "game.rcg"}), error);
    ASSERT_TRUE(modelling);
    EXPECT_TRUE(modelling->opponentModel);
    EXPECT_EQ(modelling->path, QStringLiteral("game.rcg"));
    EXPECT_FALSE(parseViewerArguments(args({"--select", "3", "game.rcg"}), error));
    EXPECT_FALSE(parseViewerArguments(args({"--bogus", "game.rcg"}), error));
}

TEST(PngExportArgumentsTest, RejectsUnusableArguments) {
    const std::initializer_list<const char*> bad[] = {
        {"--export-png"},
        {"--export-png", "o.png"},
        {"--export-png", "o.png", "a.rcg", "b.rcg"},
        {"--export-png", "o.png", "--size", "79x600", "a.rcg"},
        {"--export-png", "o.png", "--size", "-5x600", "a.rcg"},
        {"--export-png", "o.png", "--size", "99999x99999", "a.rcg"},
        {"--export-png", "o.png", "--size", "big", "a.rcg"},
        {"--export-png", "o.png", "--cycle", "abc", "a.rcg"},
        {"--export-png", "o.png", "--cycle", "70000", "a.rcg"},
        {"--export-png", "o.png", "--colour", "red", "a.rcg"},
        {"--export-png", "o.png", "--option", "Colour=1", "a.rcg"},
        {"--export-png", "o.png", "--option", "Velocity=2", "a.rcg"},
        {"--export-png", "o.png", "--option", "Velocity", "a.rcg"},
        {"--export-png", "o.png", "--option", "Velocity=yes", "a.rcg"},
        {"--export-png", "o.png", "--option", "ShootInfo=1", "a.rcg"},
        {"--export-png", "o.png", "--option", "PlayerScale=abc", "a.rcg"},
        {"--export-png", "o.png", "--option", "PlayerScale=9", "a.rcg"},
        {"--export-png", "o.png", "--option", "PlayerScale=nan", "a.rcg"},
        {"--export-png", "o.png", "--select", "24", "a.rcg"},
        {"--export-png", "o.png", "--select", "-1", "a.rcg"},
        {"--export-png", "o.png", "--select", "x", "a.rcg"},
    };
    for (const auto& list : bad) {
        QString error;
        const QStringList arguments = args(list);
        EXPECT_FALSE(parseExportArguments(arguments, error)) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

class PngExportTest : public ::testing::Test {
protected:
    QString exportTo(const std::string& input, std::optional<int> cycle = std::nullopt) {
        ExportRequest request;
        request.input = QString::fromStdString(input);
        request.output = QString::fromStdString(dir.file("out.png"));
        request.cycle = cycle;
        request.width = 1150;  // 10 pixels per metre, centre (575, 460)
        request.height = 850;
        const auto profile = settings.open();
        return exportPng(request, *profile);
    }
    QImage exported() const { return QImage(QString::fromStdString(dir.file("out.png"))); }

    TempDir dir;
    TempProfile settings;
};

TEST_F(PngExportTest, FrameShowsFieldPlayersAndBall) {
    V3LogBuilder log;
    log.playMode(PM_PlayOn).teams("Alpha", 2, "Beta", 1);
    log.show(ShowBuilder(1).build());
    log.show(ShowBuilder(2)
                 .player(0, 1 | 0x0008, 0, -40, 0)
                 .player(1, 1, 0, -20, 10)
                 .player(11, 1, 0, 20, -10)
                 .ball(5, 5)
                 .build());
    const std::string game = dir.write("game.rcg", log.bytes());
    ASSERT_EQ(exportTo(game, 2), QString());
    const QImage image = exported();
    ASSERT_EQ(image.size(), QSize(1150, 850));
    auto at = [&](double x, double y, int dx, int dy) {
        return image.pixelColor(static_cast<int>(575 + x * 10) + dx, static_cast<int>(460 + y * 10) + dy);
    };
    EXPECT_EQ(at(-30, -20, 0, 0), QColor(0, 96, 0));
    // Front half of each body (the stamina half-disc covers the back half).
    EXPECT_EQ(at(-40, 0, 2, 3), QColor(128, 255, 255));
    EXPECT_EQ(at(-20, 10, 2, 3), QColor(255, 255, 10));
    EXPECT_EQ(at(20, -10, 2, 3), QColor(200, 0, 0));
    EXPECT_EQ(at(5, 5, 0, 0), QColor(0, 0, 0));  // the ball's centre pixel

    // Cycle 1 has no players where cycle 2 has them.
    ASSERT_EQ(exportTo(game, 1), QString());
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("out.png"))).pixelColor(575 - 200 + 2, 460 + 100 + 3),
              QColor(0, 96, 0));
}

TEST_F(PngExportTest, UnusableFileOrCycleIsReported) {
    EXPECT_NE(exportTo(dir.file("missing.rcg")), QString());
    EXPECT_NE(exportTo(dir.write("empty.rcg", {})), QString());
    EXPECT_NE(exportTo(dir.write("text.rcg", {'h', 'e', 'l', 'l', 'o'})), QString());
    EXPECT_NE(exportTo(dir.write("header.rcg", V3LogBuilder().bytes())), QString());
    const std::string game = writeGame(dir, "game.rcg", 10);
    EXPECT_NE(exportTo(game, 11), QString());
    EXPECT_NE(exportTo(game, 0), QString());
    EXPECT_EQ(exportTo(game, 10), QString());
    EXPECT_EQ(exportTo(game), QString());
}

TEST_F(PngExportTest, AMissingCycleNamesTheNearestOnes) {
    // The server logs no show at half time: cycles 1, 2 and 4 here.
    V3LogBuilder log;
    log.playMode(PM_PlayOn).teams("Alpha", 0, "Beta", 0);
    for (const int cycle : {1, 2, 4}) log.show(ShowBuilder(cycle).build());
    const std::string game = dir.write("gap.rcg", log.bytes());
    EXPECT_THAT(exportTo(game, 3).toStdString(), ::testing::HasSubstr("no cycle 3: the nearest are 2 and 4"));
    EXPECT_THAT(exportTo(game, 9).toStdString(), ::testing::HasSubstr("no cycle 9: the nearest is 4"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("out.png"))));
}

// File names that are not UTF-8 keep their bytes from the command line to the file system.
TEST(PathText, FileNamesThatAreNotUtf8KeepTheirBytes) {
    const std::string names[] = {"plain.rcg",
                                 "caf\xc3\xa9-\xf0\x9f\x98\x80.rcg",
                                 "\xff\xfe.rcg",
                                 "\xc3(\xe2\x82.rcg",
                                 "\xed\xa0\x80surrogate",
                                 "\xc0\xafoverlong",
                                 "\xf4\x90\x80\x80"
                                 "big"};
    for (const std::string& name : names) EXPECT_EQ(pathBytes(pathText(name)), name) << name;
    EXPECT_EQ(pathText(names[1]), QString::fromUtf8(names[1]));
    EXPECT_EQ(pathBytes(QStringLiteral("caf\u00e9")), "caf\xc3\xa9");
}

TEST_F(PngExportTest, ReadsAndWritesFilesWhoseNamesAreNotUtf8) {
    const std::string game = writeGame(dir, "g\xff.rcg", 3);
    ExportRequest request;
    request.input = pathText(game);
    request.output = pathText(dir.file("out\xfe.png"));
    const auto profile = settings.open();
    ASSERT_EQ(exportPng(request, *profile), QString());
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("out\xfe.png")));
}

// An export that cannot be written whole leaves the earlier image as it was.
TEST_F(PngExportTest, AnExportCutOffByTheFileSizeLimitKeepsTheOldImage) {
    const std::string game = writeGame(dir, "game.rcg", 3);
    ASSERT_EQ(exportTo(game), QString());
    const Bytes before = readFile(dir.file("out.png"));
    ASSERT_GT(before.size(), 1024u);

    QString error;
    {
        const test::FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        error = exportTo(game, 2);
    }

    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot write"))) << error.toStdString();
    EXPECT_EQ(readFile(dir.file("out.png")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator{}), 2)
        << "only the game and the image";
}

}  // namespace
}  // namespace tessarin::test
