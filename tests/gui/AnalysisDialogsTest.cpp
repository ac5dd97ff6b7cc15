// The statistics dialog, the type explorer and the present dialog on the main frame's game.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include "app/CommandIds.h"
#include "app/MainFrm.h"
#include "app/Tessarin.h"
#include "chart/ChartCtrl.h"
#include "display/Displayer.h"
#include "gui/GuiTestSupport.h"
#include "record/ByteOrder.h"
#include "windows/DisplayToolWindows.h"
#include "windows/PlayerTypeListCtrl.h"
#include "windows/PresentDialog.h"
#include "windows/StatListCtrl.h"
#include "windows/StatisticDialog.h"
#include "windows/TypeExplorer.h"

namespace tessarin::test {
namespace {

class AnalysisDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = settings.open();
        app = std::make_unique<CTessarinApp>(*profile);
        app->InitInstance();
        QApplication::processEvents();
    }
    void TearDown() override {
        app->mainFrame()->close();
        app.reset();
        profile.reset();
    }
    // Ends the program and starts it again on the same settings.
    void restart() {
        app->mainFrame()->close();
        app.reset();
        app = std::make_unique<CTessarinApp>(*profile);
        app->InitInstance();
        QApplication::processEvents();
    }
    // The present window, shown by its command when it is not.
    CPresentDialog& present() {
        const CPresentDialog* shown = frame().toolWindows()->presentDialog();
        if (!shown || !shown->isVisible()) frame().onCommand(cmd::kPresent);
        EXPECT_NE(frame().toolWindows()->presentDialog(), nullptr);
        return *frame().toolWindows()->presentDialog();
    }
    // Drops a game file on a window, as the platform would deliver it.
    void drop(QWidget& window, const std::string& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject&>(window).event(&event);
        frame().logPlayer().waitForParser();
    }
    CMainFrame& frame() { return *app->mainFrame(); }
    void load(const std::string& path) {
        frame().openDocument(QString::fromStdString(path));
        frame().logPlayer().waitForParser();
        QApplication::processEvents();
    }
    CStatisticDialog& statistics() {
        EXPECT_NE(frame().statisticDialog(), nullptr);
        return *frame().statisticDialog();
    }
    int shownCycle() {
        QApplication::processEvents();
        const auto current = app->displayer()->scene().current;
        return current ? current->cycle : -1;
    }
    std::vector<int> column(const CStatListCtrl& list, int c) {
        std::vector<int> v;
        for (const StatRow& row : list.table()) v.push_back(row[static_cast<std::size_t>(c)]);
        return v;
    }

    TempProfile settings;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CTessarinApp> app;
};

TEST_F(AnalysisDialogsTest, SummaryListsAndChartsShowTheDemoGamesStatistics) {
    load(demoGamePath());
    frame().onCommand(cmd::kStatistics);
    CStatisticDialog& dialog = statistics();
    ASSERT_TRUE(dialog.isVisible());
    ASSERT_EQ(dialog.tabs().count(), 11);
    EXPECT_EQ(dialog.tabs().tabText(10), QStringLiteral("Interceptions(R)"));
    EXPECT_EQ(dialog.currentTab(), CStatisticDialog::kSummary);

    const auto [left, right, leftCounters, shares] = frame().logPlayer().withStore([&](const auto&) {
        const BehaviorAnalyzer& a = frame().analyzer();
        return std::tuple{a.teamStatistics(1), a.teamStatistics(-1), a.playModeCounters(1), a.gameThirdsShares()};
    });
    using R = CStatisticDialog;
    EXPECT_EQ(dialog.summaryText(R::kShoots, 0), QString::number(left.shots.count));
    EXPECT_EQ(dialog.summaryText(R::kOnTargets, 2), QString::number(right.shots.successes));
    EXPECT_EQ(dialog.summaryText(R::kCorners, 0), QString::number(leftCounters.corner_kicks));
    EXPECT_EQ(dialog.summaryText(R::kThrowIns, 0), QString::number(leftCounters.kick_ins));
    EXPECT_EQ(dialog.summaryText(R::kPasses, 0),
              QStringLiteral("%1%").arg(left.passes.successes * 100 / left.passes.count));
    EXPECT_EQ(dialog.summaryText(R::kDribbles, 2),
              right.dribbles.count == 0
                  ? QStringLiteral("0")
                  : QStringLiteral("%1%").arg(right.dribbles.successes * 100 / right.dribbles.count));
    EXPECT_EQ(dialog.summaryText(R::kControl, 2), QString::asprintf("%.0f%%", right.possession_share * 100));
    EXPECT_EQ(dialog.summaryText(R::kThirds, 1), QString::asprintf("%.0f%%", shares[1] * 100));
    EXPECT_EQ(dialog.summaryText(R::kPasses, 1), QStringLiteral("Passes"));
    // The game's teams name the columns and the teams' tabs.
    EXPECT_EQ(dialog.summaryHeading(0), QStringLiteral("Left: HELIOS_left"));
    EXPECT_EQ(dialog.summaryHeading(1), QStringLiteral("Right: HELIOS_right"));
    EXPECT_EQ(dialog.tabs().tabText(CStatisticDialog::kRight), QStringLiteral("Right: HELIOS_right"));

    // The right team's list: "Sho" once, most shots first; again, fewest first; then "Pas".
    dialog.setCurrentTab(CStatisticDialog::kRight);
    ASSERT_EQ(dialog.currentPage(), &dialog.list());
    CStatListCtrl& list = dialog.list();
    EXPECT_EQ(column(list, 0), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    list.sortBy(3);
    std::vector<int> shots = column(list, 3);
    EXPECT_TRUE(std::is_sorted(shots.rbegin(), shots.rend()));
    EXPECT_EQ(list.topLevelItem(0)->text(3), QString::number(shots.front()));
    EXPECT_EQ(list.header()->sortIndicatorSection(), 3);
    EXPECT_EQ(list.header()->sortIndicatorOrder(), Qt::DescendingOrder);
    list.sortBy(3);
    shots = column(list, 3);
    EXPECT_TRUE(std::is_sorted(shots.begin(), shots.end()));
    EXPECT_EQ(list.header()->sortIndicatorOrder(), Qt::AscendingOrder);
    list.sortBy(1);
    const std::vector<int> passes = column(list, 1);
    EXPECT_TRUE(std::is_sorted(passes.rbegin(), passes.rend()));
    EXPECT_GT(passes.front(), passes.back());
    // Ctrl+C: the header and eleven rows, tab-separated.
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], QStringLiteral("Unum\tPas\tCmp\tSho\tOn\tDrb\tCmd\tInt\tCmi"));
    EXPECT_EQ(lines[1].split(QLatin1Char('\t')).value(1), QString::number(passes.front()));

    // A chart tab: ALL in red and SUCCEED in green, one point per uniform number.
    dialog.tabs().setCurrentIndex(CStatisticDialog::kPassesL);
    ASSERT_EQ(dialog.currentPage(), &dialog.chart());
    EXPECT_EQ(dialog.chart().title(), QStringLiteral("Passes(L): HELIOS_left"));
    const auto& series = dialog.chart().series().series();
    ASSERT_EQ(series.size(), 2u);
    EXPECT_EQ(series[0].name(), QStringLiteral("ALL"));
    EXPECT_EQ(series[0].colour(), QColor(255, 0, 0));
    EXPECT_EQ(series[1].colour(), QColor(0, 255, 0));
    ASSERT_EQ(series[0].points().size(), 11u);
    const PlayerStatistics nine =
        frame().logPlayer().withStore([&](const auto&) { return frame().analyzer().playerStatistics(1, 9); });
    EXPECT_EQ(series[0].points()[8].x, 9);
    EXPECT_EQ(series[0].points()[8].y, nine.passes.count);
    EXPECT_EQ(series[1].points()[8].y, nine.passes.successes);

    // Filled again, the list is in uniform-number order and marks no sorted column.
    dialog.setCurrentTab(CStatisticDialog::kLeft);
    EXPECT_EQ(column(list, 0).front(), 1);
    EXPECT_EQ(list.sortHeader().sort_column, -1);
    EXPECT_EQ(list.header()->sortIndicatorSection(), -1);
}

TEST_F(AnalysisDialogsTest, CommandTogglesTheWindowWhichKeepsItsTabAndPassesKeysOn) {
    TempDir dir;
    load(writeGame(dir, "game.rcg", 10));
    frame().onCommand(cmd::kStatistics);
    CStatisticDialog& dialog = statistics();
    dialog.setCurrentTab(CStatisticDialog::kShootsR);
    EXPECT_EQ(shownCycle(), 1);
    QTest::keyClick(&dialog, '.');
    EXPECT_EQ(shownCycle(), 2) << "the game steps while the dialog has the focus";
    QTest::keyClick(&dialog.list(), '.');
    EXPECT_EQ(shownCycle(), 3) << "keys reach the frame from the list too";

    frame().onCommand(cmd::kStatistics);
    EXPECT_FALSE(dialog.isVisible());
    frame().onCommand(cmd::kStatistics);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.currentTab(), CStatisticDialog::kShootsR);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(frame().statisticDialog(), &dialog) << "hidden, not destroyed";

    // Another game: shown again, the dialog has its figures.
    dialog.setCurrentTab(CStatisticDialog::kSummary);
    EXPECT_EQ(dialog.summaryText(CStatisticDialog::kShoots, 0), QStringLiteral("0"));
    load(demoGamePath());
    frame().onCommand(cmd::kStatistics);
    const int shots =
        frame().logPlayer().withStore([&](const auto&) { return frame().analyzer().teamStatistics(1).shots.count; });
    EXPECT_GT(shots, 0);
    EXPECT_EQ(dialog.summaryText(CStatisticDialog::kShoots, 0), QString::number(shots));

    // Its place and size are kept for the next run.
    dialog.resize(700, 500);
    dialog.show();
    dialog.hide();
    EXPECT_EQ(profile->readInt(QStringLiteral("Statistics"), QStringLiteral("Width"), 0), 700);
}

TEST_F(AnalysisDialogsTest, WithoutAGameEveryTabIsEmpty) {
    frame().onCommand(cmd::kStatistics);
    CStatisticDialog& dialog = statistics();
    EXPECT_EQ(dialog.summaryText(CStatisticDialog::kPasses, 0), QStringLiteral("0"));
    EXPECT_EQ(dialog.summaryText(CStatisticDialog::kControl, 2), QStringLiteral("0%"));
    for (int tab = 0; tab < CStatisticDialog::kTabCount; ++tab) dialog.setCurrentTab(tab);
    EXPECT_EQ(dialog.chart().series().maxY(), 0);
    dialog.setCurrentTab(CStatisticDialog::kLeft);
    EXPECT_EQ(dialog.list().topLevelItemCount(), 11);
    EXPECT_EQ(dialog.list().topLevelItem(10)->text(0), QStringLiteral("11"));
}

TEST_F(AnalysisDialogsTest, EveryStatisticsTabIsInViewAtTheDefaultSize) {
    frame().onCommand(cmd::kStatistics);
    CStatisticDialog& dialog = statistics();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QTabBar& tabs = dialog.tabs();
    EXPECT_TRUE(dialog.rect().contains(tabs.geometry()));
    for (int i = 0; i < tabs.count(); ++i) {
        EXPECT_TRUE(tabs.rect().contains(tabs.tabRect(i))) << tabs.tabText(i).toStdString();
        EXPECT_GT(tabs.tabRect(i).width(), tabs.fontMetrics().horizontalAdvance(tabs.tabText(i)))
            << tabs.tabText(i).toStdString() << " is cut short";
    }
    for (const QToolButton* arrow : tabs.findChildren<QToolButton*>()) EXPECT_FALSE(arrow->isVisible());
}

TEST_F(AnalysisDialogsTest, PresentAndStatisticsWindowsKeepTheirPlaceBetweenRuns) {
    // Hidden by its command, the present window writes its place.
    present().move(40, 30);
    frame().onCommand(cmd::kPresent);
    EXPECT_EQ(profile->readInt(QStringLiteral("Present"), QStringLiteral("Left"), 0), 40);
    restart();
    EXPECT_EQ(present().pos(), QPoint(40, 30));

    // Still shown when the program ends, both windows keep where they were.
    present().move(60, 50);
    frame().onCommand(cmd::kStatistics);
    statistics().move(90, 70);
    restart();
    EXPECT_EQ(present().pos(), QPoint(60, 50));
    frame().onCommand(cmd::kStatistics);
    EXPECT_EQ(statistics().pos(), QPoint(90, 70));
}

std::string gameWithTypes(const TempDir& dir, int types) {
    V3LogBuilder log;
    for (int id = 0; id < types; ++id) log.playerType(id, 0.3 + 0.01 * ((id * 5) % 7), 0.7);
    log.playMode(PM_PlayOn).teams("Alpha", 0, "Beta", 0).show(1).show(2);
    return dir.write("types.rcg", log.bytes());
}

std::vector<int> ids(const CPlayerTypeListCtrl& list) {
    std::vector<int> v;
    for (int r = 0; r < list.topLevelItemCount(); ++r) v.push_back(list.topLevelItem(r)->text(0).toInt());
    return v;
}

TEST_F(AnalysisDialogsTest, TypeExplorerListsTypesZeroToSixAndSorts) {
    TempDir dir;
    CTypeExplorer empty(frame().logPlayer(), *profile);
    EXPECT_EQ(empty.list().topLevelItemCount(), 0);
    empty.list().sortBy(6);
    EXPECT_EQ(empty.list().topLevelItemCount(), 0);

    load(gameWithTypes(dir, 18));
    CTypeExplorer explorer(frame().logPlayer(), *profile);
    CPlayerTypeListCtrl& list = explorer.list();
    EXPECT_EQ(ids(list), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(list.columnWidth(0), 40);
    EXPECT_EQ(list.headerItem()->text(6), QStringLiteral("player_size"));
    EXPECT_EQ(list.topLevelItem(1)->text(6), QStringLiteral("0.350"));
    // A first opening shows every column where the screen is wide enough for them.
    const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    EXPECT_GE(explorer.width(), std::min(list.header()->length(), screenWidth * 9 / 10 - 40));
    // player_size is 0.3 + (5 id mod 7) / 100: a click on its header lists the largest
    // first, a second click the smallest first.
    explorer.resize(1500, 300);
    explorer.show();
    QApplication::processEvents();
    const QHeaderView& header = list.sortHeader();
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                      QPoint(header.sectionViewportPosition(6) + 20, header.height() / 2));
    EXPECT_EQ(ids(list), (std::vector<int>{4, 1, 5, 2, 6, 3, 0}));
    list.sortBy(6);
    EXPECT_EQ(ids(list), (std::vector<int>{0, 3, 6, 2, 5, 1, 4}));
    EXPECT_EQ(list.topLevelItem(0)->text(6), QStringLiteral("0.300"));

    // Command 169 shows one modeless explorer over the frame's game and hides it again;
    // Escape closes it.
    ASSERT_TRUE(frame().commandEnabled(cmd::kTypeExplorer));
    frame().onCommand(cmd::kTypeExplorer);
    QPointer<CTypeExplorer> shown = frame().typeExplorer();
    ASSERT_TRUE(shown && shown->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(shown->list().topLevelItemCount(), 7);
    frame().onCommand(cmd::kTypeExplorer);
    EXPECT_TRUE(!shown || !shown->isVisible());
    frame().onCommand(cmd::kTypeExplorer);
    ASSERT_NE(frame().typeExplorer(), nullptr);
    EXPECT_EQ(frame().findChildren<CTypeExplorer*>().size(), 1);
    QTest::keyClick(frame().typeExplorer(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!frame().typeExplorer() || !frame().typeExplorer()->isVisible(), 5000);
}

TEST_F(AnalysisDialogsTest, GamesDroppedOnTheToolWindowsAreLoadedByTheFrame) {
    TempDir dir;
    const auto loaded = [this] { return frame().gameFile().toStdString(); };
    frame().onCommand(cmd::kStatistics);
    const std::string first = writeGame(dir, "on-statistics.rcg", 7);
    drop(statistics(), first);
    EXPECT_EQ(loaded(), first);
    EXPECT_EQ(frame().logPlayer().size(), 7u);

    const std::string second = gameWithTypes(dir, 7);
    drop(present(), second);
    EXPECT_EQ(loaded(), second);

    const std::string third = writeGame(dir, "on-explorer.rcg", 9);
    frame().onCommand(cmd::kTypeExplorer);
    ASSERT_NE(frame().typeExplorer(), nullptr);
    drop(*frame().typeExplorer(), third);
    EXPECT_EQ(loaded(), third);
    EXPECT_EQ(frame().logPlayer().size(), 9u);
}

}  // namespace
}  // namespace tessarin::test
