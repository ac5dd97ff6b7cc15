// The debug logs in the viewer: their drawings on the field, the "Debug Log" window and
// the PNG export's --debug-logs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <cctype>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>

#include "agentlog/Levels.h"
#include "display/AgentLogPainter.h"
#include "export/PngExport.h"
#include "gui/GuiTestSupport.h"
#include "windows/DebugLogWindow.h"

namespace tessarin {
namespace {

using agentlog::Record;
using test::TempDir;
using test::TempProfile;

const std::string kSamples = std::string(TESSARIN_TEST_DATA_DIR) + "/agent-debug";

Record parsed(const char* line) {
    Record r;
    EXPECT_TRUE(agentlog::parseRecord(line, r)) << line;
    return r;
}

// Polls a condition while Qt's events run, for at most half a minute.
bool waitFor(const std::function<bool()>& condition) {
    return test::eventuallyInGui(condition, std::chrono::seconds(30));
}

// Whether a colour lies within `radius` pixels of a point.
bool colourNear(const QImage& image, double sx, double sy, const QColor& colour, int radius = 2) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const int x = static_cast<int>(sx) + dx, y = static_cast<int>(sy) + dy;
            if (image.rect().contains(x, y) && image.pixelColor(x, y) == colour) return true;
        }
    }
    return false;
}

TEST(AgentLogPainterTest, DrawsEachShapeWhereTheFieldPutsItInItsColour) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(1150, 850));
    AgentLogPainter painter;
    painter.setDrawings({
        parsed("1,0 1 p -10 -5 #ff0000"),
        parsed("1,0 1 C 20 10 2 #0000ff"),
        parsed("1,0 1 c -30 20 3 yellow"),
        parsed("1,0 1 R 30 -30 6 4 #ff00ff"),
        parsed("1,0 1 l -40 -20 -20 -20 #00ffff"),
        parsed("1,0 1 a 0 0 5 0 90 #ff8000"),
    });
    renderer.addOverlay(OverlayStage::DebugLog, &painter);
    const QImage image = renderer.compose(FieldScene{}, DisplayOptions{});
    const FieldView& v = renderer.view();
    const auto at = [&](double x, double y) { return QPointF(v.ToScreenX(x), v.ToScreenY(y)); };

    EXPECT_TRUE(colourNear(image, at(-10, -5).x(), at(-10, -5).y(), Qt::red, 1));
    EXPECT_FALSE(colourNear(image, at(10, 5).x(), at(10, 5).y(), Qt::red, 3));
    // A filled circle is filled; an outline only on its ring.
    EXPECT_EQ(image.pixelColor(at(20, 10).toPoint()), QColor(0, 0, 255));
    EXPECT_TRUE(colourNear(image, at(-33, 20).x(), at(-33, 20).y(), QColor(255, 255, 0), 1));
    EXPECT_NE(image.pixelColor(at(-30, 20).toPoint()), QColor(255, 255, 0));
    // The rectangle runs from its left top corner by its width and height.
    EXPECT_EQ(image.pixelColor(at(33, -28).toPoint()), QColor(255, 0, 255));
    EXPECT_NE(image.pixelColor(at(28, -28).toPoint()), QColor(255, 0, 255));
    EXPECT_TRUE(colourNear(image, at(-30, -20).x(), at(-30, -20).y(), QColor(0, 255, 255), 1));
    // The arc from 0 to 90 degrees turns clockwise on the screen: through +y (downward).
    const double d = 5 / std::sqrt(2.0);
    EXPECT_TRUE(colourNear(image, at(d, d).x(), at(d, d).y(), QColor(255, 128, 0), 1));
    EXPECT_FALSE(colourNear(image, at(d, -d).x(), at(d, -d).y(), QColor(255, 128, 0), 2));

    painter.clear();
    const QImage empty = renderer.compose(FieldScene{}, DisplayOptions{});
    EXPECT_EQ(empty.pixelColor(at(20, 10).toPoint()), QColor(0, 96, 0));
}

class DebugLogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = settings.open();
        window = std::make_unique<CDebugLogWindow>(*profile);
        ASSERT_EQ(window->openFolder(QString::fromStdString(kSamples), QStringLiteral("HELIOS_L"),
                                     QStringLiteral("HELIOS_R")),
                  2);
    }
    // The messages of a cycle of a sample log, counted from its text.
    static int messagesOfCycle(const std::string& file, const std::string& key, const std::string& holding = {}) {
        std::ifstream in(kSamples + "/" + file);
        int n = 0;
        for (std::string line; std::getline(in, line);) {
            Record r;
            if (!line.starts_with(key + " ") || !agentlog::parseRecord(line, r) || r.type != 'M') continue;
            std::string lowered;
            for (const char c : r.text) lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (holding.empty() || lowered.find(holding) != std::string::npos) ++n;
        }
        return n;
    }
    TempProfile settings;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CDebugLogWindow> window;
};

TEST_F(DebugLogWindowTest, ListsTheShownCycleOfTheSelectedPlayerWithItsLevels) {
    window->setSelection(5);  // left player 6
    ASSERT_EQ(window->logs()[static_cast<std::size_t>(window->currentLog())].fileName, "HELIOS_L-6.log");
    window->showGameRecord({3, 0, 1});
    ASSERT_TRUE(waitFor([&] { return window->shownLines().size() == messagesOfCycle("HELIOS_L-6.log", "3,0"); }));
    const QStringList lines = window->shownLines();
    EXPECT_TRUE(lines.front().startsWith(QStringLiteral("all: CYCLE 3")));

    // Only "team" on: the home positions stay (and the lines of every level), their circles too.
    window->setLevels(1u << agentlog::levelBit("team"));
    for (const QString& line : window->shownLines())
        EXPECT_TRUE(line.startsWith(QStringLiteral("team: ")) || line.startsWith(QStringLiteral("all: ")))
            << line.toStdString();
    EXPECT_FALSE(window->drawings().empty());
    window->setLevels(1u << agentlog::levelBit("pass"));
    EXPECT_TRUE(window->drawings().empty());

    // A cycle the log lacks shows and draws nothing.
    window->setLevels(agentlog::kAllLevels);
    window->showGameRecord({150, 0, 1});
    EXPECT_TRUE(window->shownLines().isEmpty());
    EXPECT_TRUE(window->drawings().empty());
}

TEST_F(DebugLogWindowTest, KeepsTheLevelsInTheSettings) {
    window->setLevels(0);
    window.reset();
    EXPECT_EQ(profile->readInt(QStringLiteral("DebugLog"), QStringLiteral("Levels"), 99), 0);
    CDebugLogWindow again(*profile);
    EXPECT_EQ(again.levels(), 0u);
    again.setLevels(agentlog::kAllLevels);
    EXPECT_EQ(profile->readInt(QStringLiteral("DebugLog"), QStringLiteral("Levels"), 99), -1);
}

TEST_F(DebugLogWindowTest, FiltersCopiesAndLetsKeysStepTheGame) {
    window->setSelection(5);
    window->showGameRecord({3, 0, 1});
    auto* filter = window->findChild<QLineEdit*>(QStringLiteral("filter"));
    ASSERT_NE(filter, nullptr);
    ASSERT_TRUE(waitFor([&] { return !window->shownLines().isEmpty(); }));
    filter->setText(QStringLiteral("HOME POS"));
    EXPECT_EQ(window->shownLines().size(), messagesOfCycle("HELIOS_L-6.log", "3,0", "home pos"));

    window->show();
    auto* messages = window->findChild<QListWidget*>(QStringLiteral("messages"));
    ASSERT_NE(messages, nullptr);
    messages->setFocus();
    QTest::keyClick(messages, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), window->shownLines().join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

TEST_F(DebugLogWindowTest, FindsATextInAllCyclesAndAsksToJumpThere) {
    window->setSelection(16);  // right player 6 has no log: the list stays on the first
    window->setSelection(17);  // right player 7
    ASSERT_EQ(window->logs()[static_cast<std::size_t>(window->currentLog())].fileName, "HELIOS_R-7.log.gz");
    QSignalSpy jumps(window.get(), &CDebugLogWindow::cycleRequested);
    window->find(QStringLiteral("home pos"));
    ASSERT_TRUE(waitFor([&] { return !window->findRunning(); }));
    const std::vector<agentlog::SearchHit> hits = window->findHits();
    ASSERT_FALSE(hits.empty());
    auto* results = window->findChild<QListWidget*>(QStringLiteral("findResults"));
    ASSERT_NE(results, nullptr);
    ASSERT_TRUE(waitFor([&] { return results->count() == static_cast<int>(hits.size()); }));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    results->doItemsLayout();
    const QPoint centre = results->visualItemRect(results->item(0)).center();
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, centre);
    ASSERT_EQ(jumps.count(), 1);
    EXPECT_EQ(jumps.front().front().toInt(), hits.front().key.cycle);
}

class DebugLogExportTest : public ::testing::Test {
protected:
    QString exportCycle(const QStringList& extra) {
        QStringList args = {QStringLiteral("--export-png"), QString::fromStdString(dir.file("out.png")),
                            QStringLiteral("--cycle"),      QStringLiteral("3"),
                            QStringLiteral("--size"),       QStringLiteral("1150x850")};
        args << extra << QString::fromStdString(kSamples + "/20261210040211-HELIOS_L_0-vs-HELIOS_R_0.rcg.gz");
        QString error;
        const auto request = parseExportArguments(args, error);
        if (!request) return error;
        const auto p = settings.open();
        return exportPng(*request, *p);
    }
    QImage exported() const { return QImage(QString::fromStdString(dir.file("out.png"))); }
    TempDir dir;
    TempProfile settings;
};

TEST_F(DebugLogExportTest, DrawsTheSelectedPlayersShapesMirroredForTheRightSide) {
    // Right player 7 draws a blue line from (-14.06, -5.39) to (-7.33, -8.20) in its own
    // view at cycle 3: on the field from (14.06, 5.39) to (7.33, 8.20). At 10 pixels per
    // metre about the centre (575, 460), its middle (10.70, 6.80) is the pixel (682, 528).
    const QColor blue(0, 0, 255);
    const QString logs = QString::fromStdString(kSamples);
    ASSERT_EQ(exportCycle({QStringLiteral("--select"), QStringLiteral("17")}), QString());
    EXPECT_FALSE(colourNear(exported(), 682, 528, blue, 2));

    ASSERT_EQ(exportCycle({QStringLiteral("--select"), QStringLiteral("17"), QStringLiteral("--debug-logs"), logs}),
              QString());
    EXPECT_TRUE(colourNear(exported(), 682, 528, blue, 1));
    EXPECT_FALSE(colourNear(exported(), 575 - 107, 460 - 68, blue, 2));  // not where the player's own view has it

    // The line is logged under "team": with only "pass" and "kick" on it is not drawn.
    ASSERT_EQ(exportCycle({QStringLiteral("--select"), QStringLiteral("17"), QStringLiteral("--debug-logs"), logs,
                           QStringLiteral("--debug-level"), QStringLiteral("pass,kick")}),
              QString());
    EXPECT_FALSE(colourNear(exported(), 682, 528, blue, 2));
}

TEST_F(DebugLogExportTest, ReportsWhatItCannotDraw) {
    const QString logs = QString::fromStdString(kSamples);
    EXPECT_NE(exportCycle({QStringLiteral("--select"), QStringLiteral("3"), QStringLiteral("--debug-logs"), logs}),
              QString());                                                       // left player 4 wrote no log
    EXPECT_NE(exportCycle({QStringLiteral("--debug-logs"), logs}), QString());  // the ball is selected
    EXPECT_NE(exportCycle({QStringLiteral("--select"), QStringLiteral("5"), QStringLiteral("--debug-logs"), logs,
                           QStringLiteral("--debug-level"), QStringLiteral("pass,nosuch")}),
              QString());
    EXPECT_NE(exportCycle({QStringLiteral("--select"), QStringLiteral("5"), QStringLiteral("--debug-level"),
                           QStringLiteral("all")}),
              QString());
    EXPECT_EQ(exportCycle({QStringLiteral("--select"), QStringLiteral("5"), QStringLiteral("--debug-logs"), logs,
                           QStringLiteral("--debug-level"), QStringLiteral("team")}),
              QString());
}

}  // namespace
}  // namespace tessarin
