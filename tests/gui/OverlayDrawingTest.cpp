// The field overlays on rendered pixels, the present dialog and the export's overlay options.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <tuple>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "display/Displayer.h"
#include "display/OverlayPainter.h"
#include "export/PngExport.h"
#include "gui/GuiTestSupport.h"
#include "record/ByteOrder.h"
#include "record/LogPlayer.h"
#include "record/SightRecords.h"
#include "windows/DisplayToolWindows.h"
#include "windows/PresentDialog.h"

namespace tessarin::test {
namespace {

const QColor kHatchRed(255, 0, 0);
const QColor kHatchBlue(0, 0, 255);
const QColor kFieldGreen(0, 96, 0);
const QColor kRedPen(200, 0, 0);
const QColor kHighlight(213, 117, 117);
const QColor kCyan(128, 255, 255);
const QColor kTrack(255, 255, 10);

// 10 pixels per metre, centre spot at (575, 460).
constexpr int kWidth = 1150;
constexpr int kHeight = 850;
QPoint at(double x, double y) { return QPoint(static_cast<int>(575 + x * 10), static_cast<int>(460 + y * 10)); }

int count(const QImage& image, const QRect& box, const QColor& colour) {
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
}
int countAll(const QImage& image, const QColor& colour) { return count(image, image.rect(), colour); }

DisplayOptions plainOptions() {
    DisplayOptions options;
    options.Number = options.Kickmargin = options.Viewarea = options.Velocity = options.Stamina = false;
    options.OffsideLine = options.BallDetail = options.ControlArea = options.ControlCourse = false;
    options.PlayerScale = 5.0;
    return options;
}

class OverlayRenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(renderer.prepare(kWidth, kHeight)); }
    QImage draw(const FieldScene& scene, const DisplayOptions& options) { return renderer.compose(scene, options); }

    FieldRenderer renderer;
    FieldOverlays overlays{renderer};
};

// Left players along x = -5, right players along x = 5, all on the field.
ShowBuilder spreadTeams(int time) {
    ShowBuilder show(time);
    for (int k = 0; k < kPlayersPerSide; ++k) {
        show.player(k, 1, 0, -5, -30 + 6 * k);
        show.player(kPlayersPerSide + k, 1, 0, 5, -30 + 6 * k);
    }
    return show;
}

TEST_F(OverlayRenderTest, EachControlAreaIsDrawnJustBeforeItsPlayer) {
    // A large left player at (-1, 0) and a small right one at (1, 0): the right cell
    // starts at x = 0, inside the left body, and is hatched over it.
    ShowBuilder show = spreadTeams(1);
    show.player(0, 1, 0, -1, 0).player(11, 1, 0, 1, 0).ball(0, 30);
    FieldScene scene;
    scene.setCurrent(showRecord(show.build()));
    scene.kickRange.fill(1.5);
    scene.kickRange[11] = 0.2;
    DisplayOptions options = plainOptions();
    const QRect leftBodyBeyondBisector(at(0.1, -0.8), at(0.4, 0.8));
    const QRect leftBodyOwnSide(at(-1.7, -0.5), at(-0.2, 0.5));  // player 6 at (-5, 0) owns x < -2 too
    EXPECT_EQ(count(draw(scene, options), leftBodyBeyondBisector, kHatchRed), 0);

    options.ControlArea = true;
    const QImage image = draw(scene, options);
    EXPECT_GT(count(image, leftBodyBeyondBisector, kHatchRed), 0);
    EXPECT_EQ(count(image, leftBodyOwnSide, kHatchBlue), 0);  // its own cell lies under it
    // The hatch leaves the field visible between its lines.
    const QRect open(at(-30, 20), at(-25, 25));
    EXPECT_GT(count(image, open, kHatchBlue), 0);
    EXPECT_GT(count(image, open, kFieldGreen), 0);
}

TEST_F(OverlayRenderTest, OffsideLineTurnsRedWithAnAttackerBeyondIt) {
    ShowBuilder show = spreadTeams(1);
    show.player(0, 1, 0, -30, 20).player(1, 1, 0, -25, 25).ball(-20, 0);
    FieldScene scene;
    scene.setCurrent(showRecord(show.build()));
    DisplayOptions options = plainOptions();
    options.OffsideLine = true;
    const QPoint line = at(-25, -10);
    EXPECT_EQ(draw(scene, options).pixelColor(line), kHighlight);
    show.player(15, 1, 0, -26, -20);
    scene.setCurrent(showRecord(show.build()));
    EXPECT_EQ(draw(scene, options).pixelColor(line), kRedPen);
}

// A version-2 sight record of left player 4 at (-30, 20) who saw his teammate 7 at (-10, 20).
cycle_info_t sightWithMate() {
    cycle_info_t record;
    record.kind = kSightRecordV2;
    record.cycle = 5;
    std::uint8_t* d = record.data.data();
    putLe32(d + sight2::kSeenCountField, 1);
    d[sight2::kOwnSide] = 'l';
    d[sight2::kOwnNumber] = 4;
    putLef32(d + sight2::kOwnX, -30.0f);
    putLef32(d + sight2::kOwnY, 20.0f);
    putLef32(d + sight2::kBallX, 0.0f);
    putLef32(d + sight2::kBallY, 25.0f);
    std::uint8_t* seen = d + sightV2SeenOffset(0);
    putLef32(seen + sight2::kSeenX, -10.0f);
    putLef32(seen + sight2::kSeenY, 20.0f);
    seen[sight2::kSeenSide] = 'l';
    seen[sight2::kSeenNumber] = 7;
    return record;
}

TEST_F(OverlayRenderTest, DecisionsStressTheGreatestGainAndSkipUnseenDefenders) {
    FieldScene scene;
    scene.setCurrent(sightWithMate());
    const DisplayOptions options = plainOptions();
    DecisionInputs inputs;
    inputs.loaded = {true, true, true};
    for (const float gain : {0.4f, 0.9f, 0.9f}) {
        INTERCEPTDECISIONINFO intercept;
        intercept.gain = gain;
        intercept.point_x = -15.0f + 10.0f * static_cast<float>(inputs.decisions.intercept.list.size());
        intercept.point_y = -10.0f;
        inputs.decisions.intercept.list.push_back(intercept);
    }
    overlays.setDecisions(inputs);
    const QImage intercepts = draw(scene, options);
    EXPECT_EQ(intercepts.pixelColor(at(-15, -10)), kCyan);
    EXPECT_EQ(intercepts.pixelColor(at(-5, -10)), kRedPen);
    EXPECT_EQ(intercepts.pixelColor(at(5, -10)), kCyan);

    DEFENSEDECISIONINFO unseen;
    unseen.defender = 9;
    unseen.target = -1;
    unseen.x = 20;
    unseen.y = -20;
    inputs.decisions.defense.list = {unseen};
    overlays.setDecisions(inputs);
    EXPECT_EQ(draw(scene, options), intercepts);

    DEFENSEDECISIONINFO seen = unseen;
    seen.defender = 7;
    inputs.decisions.defense.list = {unseen, seen};
    overlays.setDecisions(inputs);
    const QImage marked = draw(scene, options);
    EXPECT_EQ(marked.pixelColor(at(20, -20)), QColor(0, 0, 0));  // the point to cover
    EXPECT_EQ(marked.pixelColor(at(5, 0)), QColor(0, 0, 0));     // on the line from the defender

    // Marking an opponent the observer did not see: the magenta circle at the decision's
    // point is drawn before the opponent is looked up, and nothing leads from the defender.
    DEFENSEDECISIONINFO unseenOpponent = seen;
    unseenOpponent.target = 11;
    unseenOpponent.x = 10;
    unseenOpponent.y = 10;
    inputs.decisions.defense.list = {unseenOpponent};
    overlays.setDecisions(inputs);
    const QImage circleOnly = draw(scene, options);
    EXPECT_EQ(circleOnly.pixelColor(at(10, 10)), QColor(255, 0, 255));
    EXPECT_EQ(count(circleOnly, QRect(at(-9, 14), at(9, 16)), QColor(0, 0, 255)), 0);

    // Decisions of a file that was not loaded, or of another kind of record, draw nothing.
    inputs.loaded = {false, false, false};
    overlays.setDecisions(inputs);
    const QImage none = draw(scene, options);
    EXPECT_EQ(none.pixelColor(at(-5, -10)), kFieldGreen);
    EXPECT_EQ(none.pixelColor(at(20, -20)), kFieldGreen);
}

// Reads the analysis of a loaded game.
class AnalysingHost final : public DisplayerHost {
public:
    void displayDroppedFiles(const QStringList&) override {}
    void displayCloseRequested() override {}
    void displayStartReplay() override {}
    const LogPlayer* displayLogPlayer() const override { return &player; }
    const BehaviorAnalyzer* displayAnalyzer() const override { return &analyzer; }
    void displaySendText(const std::string&) override {}
    void displayRecover() override {}
    void displayPaintStep(const std::optional<ShowState>&, bool) override {}
    std::optional<std::array<int, 2>> displayHeaderCounters() const override { return std::nullopt; }
    void displayContextMenu(bool, QPoint) override {}

    BehaviorAnalyzer analyzer;
    GameAnalysis analysis{analyzer, nullptr};
    NullPlaybackHost playback;
    LogPlayer player{playback, &analysis};
};

QAbstractButton* button(QWidget* dialog, const char* id) {
    return dialog->findChild<QAbstractButton*>(QString::fromLatin1(id));
}

TEST(PresentDialogTest, ModesDrawTheAnalysisAndEscapeClearsThem) {
    TempProfile settings;
    const auto profile = settings.open();
    AnalysingHost host;
    ASSERT_TRUE(host.player.command(kCmdLoad, demoGamePath()));
    host.player.waitForParser();
    CDisplayer display(*profile);
    display.setHost(&host);
    display.resize(kWidth, kHeight);
    display.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    display.SetCurrentRecord(host.player.current());
    QApplication::processEvents();
    const auto frame = [&] { return display.grab().toImage(); };
    const int plain = countAll(frame(), kTrack);

    DisplayToolWindows tools(display, *profile);
    tools.togglePresent();
    CPresentDialog* dialog = tools.presentDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Present"));
    EXPECT_EQ(button(dialog, "1066")->text(), QStringLiteral("Position"));

    display.select(kSelectNothing);
    button(dialog, "1066")->click();
    EXPECT_EQ(display.presentMode(), kPresentPosition);
    EXPECT_EQ(countAll(frame(), kTrack), plain);  // nothing selected: nothing drawn
    display.select(kSelectBall);
    EXPECT_GT(countAll(frame(), kTrack), plain + 500);  // the ball's whole track

    // Command 270 hides the window and keeps the mode; Escape clears it and hides.
    tools.togglePresent();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(display.presentMode(), kPresentPosition);
    tools.togglePresent();
    display.select(9);
    button(dialog, "1064")->click();
    EXPECT_EQ(display.presentMode(), kPresentShot);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(display.presentMode(), kPresentClear);
    tools.togglePresent();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(display.presentMode(), kPresentClear);
}

QStringList args(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) list << QString::fromLatin1(item);
    return list;
}

TEST(OverlayExportTest, PresentAndCircleOptions) {
    QString error;
    const auto request =
        parseExportArguments(args({"--export-png", "o.png", "--present", "5", "--circle", "g.rcg"}), error);
    ASSERT_TRUE(request) << error.toStdString();
    EXPECT_EQ(request->present, 5);
    EXPECT_TRUE(request->circle);
    EXPECT_FALSE(parseExportArguments(args({"--export-png", "o.png", "--present", "6", "g.rcg"}), error));
    EXPECT_TRUE(error.contains(QStringLiteral("--present")));
    EXPECT_FALSE(parseExportArguments(args({"--export-png", "o.png", "--present", "two", "g.rcg"}), error));
    EXPECT_FALSE(parseViewerArguments(args({"--circle", "g.rcg"}), error));
    EXPECT_FALSE(parseViewerArguments(args({"--present", "1", "g.rcg"}), error));
}

// The export analyses the whole game when an overlay needs it.
TEST(OverlayExportTest, TrackAndPassCourseNeedNoScreen) {
    TempDir dir;
    TempProfile settings;
    const auto profile = settings.open();
    const auto exportWith = [&](std::initializer_list<const char*> extra) {
        QStringList list = args({"--export-png"});
        list << QString::fromStdString(dir.file("out.png")) << QStringLiteral("--cycle") << QStringLiteral("2400")
             << QStringLiteral("--option") << QStringLiteral("OffsideLine=0");
        list << args(extra) << QString::fromStdString(demoGamePath());
        QString error;
        const auto request = parseExportArguments(list, error);
        EXPECT_TRUE(request) << error.toStdString();
        EXPECT_EQ(exportPng(*request, *profile).toStdString(), "");
        return QImage(QString::fromStdString(dir.file("out.png")));
    };
    const QImage plain = exportWith({"--select", "22"});
    const QImage track = exportWith({"--select", "22", "--present", "5"});
    EXPECT_GT(countAll(track, kTrack), countAll(plain, kTrack) + 200);
    const QImage course = exportWith({"--option", "ControlCourse=1"});
    EXPECT_NE(course, exportWith({}));
}

// A version-2 sight log with its pass decisions beside it: a pass to (10, -5) in the
// first cycle, a dribble to (-10, 5) in the second. The export draws the decisions of
// the cycle it shows, as the viewer does.
TEST(OverlayExportTest, SightLogDecisionsOfTheExportedCycle) {
    TempDir dir;
    TempProfile settings;
    const auto profile = settings.open();
    const std::string log = dir.write("team-game.slh", sightV2Log({1, 2}));
    Bytes pass = {'D', 'E', 'C'};
    for (const auto& [receiver, x, y] : {std::tuple{7, 10.0f, -5.0f}, std::tuple{0, -10.0f, 5.0f}}) {
        PASSDECISIONINFO decision;
        decision.receiver = receiver;
        decision.target_x = x;
        decision.target_y = y;
        appendLe32(pass, 1);
        Bytes entry(kPassDecisionSize, 0);
        encodePassDecision(decision, entry.data());
        pass.insert(pass.end(), entry.begin(), entry.end());
    }
    dir.write("team-pass.dec", pass);
    const auto exportCycle = [&](const char* cycle, const char* shown) {
        const QString on = QString::fromLatin1(shown);
        QStringList list = args({"--export-png", "out.png", "--size", "1150x850", "--cycle", cycle});
        list[1] = QString::fromStdString(dir.file("out.png"));
        list << QStringLiteral("--option") << QStringLiteral("PassInfo=") + on << QStringLiteral("--option")
             << QStringLiteral("DribbleInfo=") + on << QString::fromStdString(log);
        QString error;
        const auto request = parseExportArguments(list, error);
        EXPECT_TRUE(request) << error.toStdString();
        EXPECT_EQ(exportPng(*request, *profile).toStdString(), "");
        return QImage(QString::fromStdString(dir.file("out.png")));
    };
    const QColor yellow(255, 255, 10);
    const QImage first = exportCycle("1", "1");
    EXPECT_EQ(first.pixelColor(at(10, -5)), yellow);
    EXPECT_EQ(first.pixelColor(at(-10, 5)), kFieldGreen);
    const QImage second = exportCycle("2", "1");
    EXPECT_EQ(second.pixelColor(at(-10, 5)), kCyan);
    EXPECT_EQ(second.pixelColor(at(10, -5)), kFieldGreen);
    EXPECT_EQ(exportCycle("2", "0").pixelColor(at(-10, 5)), kFieldGreen);
}

}  // namespace
}  // namespace tessarin::test
