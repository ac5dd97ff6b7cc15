// Pointing at the field: selection by click and by command, the hint, the cursors, and
// the object details window.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "display/Displayer.h"
#include "display/HintWindow.h"
#include "display/HitTest.h"
#include "display/ObjectDetails.h"
#include "gui/GuiTestSupport.h"
#include "record/ByteOrder.h"
#include "record/LogPlayer.h"
#include "windows/DisplayToolWindows.h"
#include "windows/DrawingBox.h"
#include "windows/ObjectDetailDialog.h"

namespace tessarin::test {
namespace {

// Records what the display sends to the clients; everything else does nothing.
class RecordingHost final : public DisplayerHost {
public:
    void displayDroppedFiles(const QStringList&) override {}
    void displayCloseRequested() override {}
    void displayStartReplay() override {}
    const LogPlayer* displayLogPlayer() const override { return player; }
    void displaySendText(const std::string& text) override { sent.push_back(text); }
    void displayRecover() override {}
    void displayPaintStep(const std::optional<ShowState>&, bool) override {}
    std::optional<std::array<int, 2>> displayHeaderCounters() const override { return std::nullopt; }
    void displayContextMenu(bool, QPoint) override {}
    std::vector<std::string> sent;
    const LogPlayer* player = nullptr;
};

// A version-2 sight record with n seen players; the observer at (-20, 10), seen player j at (j * 5, 20).
cycle_info_t sightV2(std::int32_t n) {
    cycle_info_t record;
    record.kind = kSightRecordV2;
    record.cycle = 1;
    std::uint8_t* d = record.data.data();
    putLe32(d, static_cast<std::uint32_t>(n));
    d[12] = 'l';
    putLef32(d + 16, -20.0f);
    putLef32(d + 20, 10.0f);
    putLef32(d + 24, 0.9f);
    putLef32(d + 52, 1.5f);
    for (int j = 0; j < std::min(n, 22); ++j) {
        std::uint8_t* p = d + 84 + 56 * j;
        putLef32(p, static_cast<float>(j * 5));
        putLef32(p + 4, 20.0f);
        putLef32(p + 8, j == 1 ? 0.0f : 0.8f);  // seen player 1 has no confidence: never hit
        p[32] = 'r';
        p[33] = static_cast<std::uint8_t>(j + 1);
    }
    return record;
}

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = settings.open();
        display = std::make_unique<CDisplayer>(*profile);
        display->setHost(&host);
        tools = std::make_unique<DisplayToolWindows>(*display, *profile);
        display->resize(1150, 850);  // 10 pixels per metre, centre spot at (575, 460)
        display->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(display.get()));
        display->repaint();
    }
    void TearDown() override {
        tools.reset();
        display.reset();
    }
    static QPoint pixel(double x, double y) {
        return QPoint(static_cast<int>(575 + x * 10), static_cast<int>(460 + y * 10));
    }
    void show(const cycle_info_t& record) {
        display->SetCurrentRecord(record);
        QApplication::processEvents();
        display->repaint();
    }
    void click(QPoint point) { QTest::mouseClick(display.get(), Qt::LeftButton, Qt::NoModifier, point); }
    QString detail(int row, int column) const { return tools->details()->line(row, column); }

    TempProfile settings;
    std::unique_ptr<Profile> profile;
    RecordingHost host;
    std::unique_ptr<CDisplayer> display;
    std::unique_ptr<DisplayToolWindows> tools;
};

TEST_F(SelectionTest, ClickSelectsSilentlyCommandSelectsAndSends) {
    show(showRecord(ShowBuilder(1).player(3, 1, 0, -20, 10).player(4, 1, 0, -20, 10).build()));
    click(pixel(-20, 10));
    EXPECT_EQ(display->selected(), 3);  // the lower index of two overlapping squares
    EXPECT_TRUE(host.sent.empty());
    display->select(15);
    EXPECT_EQ(display->selected(), 15);
    display->select(40);
    EXPECT_EQ(display->selected(), kSelectNothing);
    EXPECT_EQ(host.sent, (std::vector<std::string>{"(dispndebug 15)", "(dispndebug 23)"}));
}

TEST_F(SelectionTest, ClickOnTheBallHintsTheWorldPoint) {
    show(showRecord(ShowBuilder(1).ball(10, -5.5).build()));
    const QPoint point = pixel(10, -5.5);
    click(point);
    EXPECT_EQ(display->selected(), kSelectBall);  // unchanged: the ball is never hit
    CHintWindow* hint = display->hint();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), QStringLiteral("(10.00,-5.50)"));
    EXPECT_EQ(hint->parentWidget(), display.get());
    // Above the point, centred on it, grown by 2 pixels on every side.
    const QFontMetrics metrics(CHintWindow::hintFont());
    const int w = metrics.horizontalAdvance(hint->text());
    EXPECT_EQ(hint->geometry(),
              QRect(point.x() - w / 2 - 2, point.y() - metrics.height() - 2, w + 4, metrics.height() + 4));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(display.get(), &leave);
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(SelectionTest, CursorsFollowTheZoomModeAndThePlayers) {
    show(showRecord(ShowBuilder(1).player(0, 1, 0, 0, 0).build()));
    display->toggleZoom(kZoomIn);
    QTest::mouseMove(display.get(), pixel(20, 20));
    EXPECT_EQ(display->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseMove(display.get(), pixel(0, 0));
    EXPECT_EQ(display->cursor().shape(), Qt::PointingHandCursor);
    display->toggleZoom(kZoomIn);
    QTest::mouseMove(display.get(), pixel(20, 21));
    EXPECT_EQ(display->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SelectionTest, VersionTwoSightRecordsHitTheObserverAndSeenPlayers) {
    show(sightV2(5));
    EXPECT_EQ(display->hitTest(pixel(-20, 10), false), 5);
    EXPECT_EQ(display->hitTest(pixel(10, 20), false), 2);
    EXPECT_EQ(display->hitTest(pixel(5, 20), false), -1);  // no confidence
    cycle_info_t one;
    one.kind = kSightRecord;
    show(one);
    EXPECT_EQ(display->hitTest(pixel(0, 0), false), -1);
}

TEST_F(SelectionTest, DetailsFollowTheKindAndSelection) {
    ASSERT_NE(tools->details(), nullptr);  // made at the first paint, hidden
    EXPECT_FALSE(tools->details()->isVisible());
    display->select(kSelectNothing);
    show(showRecord(ShowBuilder(1).player(0, 1, 0, -20, 10).build()));
    for (int row = 1; row <= kDetailRows; ++row) {
        EXPECT_EQ(detail(row, 0), QStringLiteral("N/A"));
        EXPECT_EQ(detail(row, 1), QStringLiteral("N/A"));
    }
    display->select(0);
    display->repaint();
    EXPECT_EQ(detail(1, 0), QStringLiteral("X:-20.00"));
    EXPECT_EQ(detail(3, 1), QStringLiteral("BallRelY:-10.00"));
    EXPECT_EQ(detail(9, 0), QStringLiteral("Mode:1"));
    EXPECT_EQ(detail(9, 1), QStringLiteral("N/A"));
    EXPECT_EQ(tools->details()->findChild<QLabel*>(QStringLiteral("1011"))->text(), QStringLiteral("X:-20.00"));

    show(sightV2(5));
    display->select(5);
    display->repaint();
    EXPECT_EQ(detail(1, 0), QStringLiteral("X:-20.00"));
    EXPECT_EQ(detail(8, 0), QStringLiteral("BallRelX:21.50"));
    display->select(2);
    display->repaint();
    EXPECT_EQ(detail(1, 0), QStringLiteral("X:10.00"));
    EXPECT_EQ(detail(6, 0), QStringLiteral("Side:r"));
    EXPECT_EQ(detail(6, 1), QStringLiteral("Num:3"));
    display->select(6);
    display->repaint();
    EXPECT_EQ(detail(1, 0), QStringLiteral("N/A"));
    EXPECT_EQ(detail(6, 1), QStringLiteral("N/A"));

    // Without a record the texts stay as they are.
    show(sightV2(5));
    display->SetCurrentRecord(std::nullopt);
    QApplication::processEvents();
    display->repaint();
    EXPECT_EQ(detail(1, 0), QStringLiteral("N/A"));
}

TEST_F(SelectionTest, DecisionHintReplacesTheDrawingsHint) {
    TempDir dir;
    const std::string log = dir.write("team-game.slh", sightV2Log({1}));
    Bytes pass = {'D', 'E', 'C'};
    appendLe32(pass, 1);
    Bytes entry(kPassDecisionSize, 0);
    putLe32(entry.data(), 7);
    putLef32(entry.data() + 12, 10.0f);  // target (10, -5)
    putLef32(entry.data() + 16, -5.0f);
    pass.insert(pass.end(), entry.begin(), entry.end());
    dir.write("team-pass.dec", pass);
    NullPlaybackHost playback;
    LogPlayer player(playback);
    player.command(kCmdLoad, log);
    player.waitForParser();
    ASSERT_TRUE(player.decisionsLoaded(DecisionFile::Pass));
    host.player = &player;
    show(*player.current());
    // A point drawn on the target, then the mouse resting on both.
    tools->toggleDrawingBox();
    tools->drawingBox()->setTool(kToolPoint);
    click(pixel(10, -5));
    ASSERT_EQ(display->visualObjects().size(), 1u);
    QTest::mouseMove(display.get(), pixel(10, -5));
    ASSERT_NE(display->hint(), nullptr);
    EXPECT_TRUE(display->hint()->text().startsWith(QStringLiteral("Receiver:7 Angle:0.0")))
        << display->hint()->text().toStdString();
    // With PassInfo and DribbleInfo off the drawing's own hint stays.
    display->toggleClientOption(ClientOption::PassInfo);
    display->toggleClientOption(ClientOption::DribbleInfo);
    QTest::mouseMove(display.get(), pixel(10, -5) + QPoint(1, 0));
    EXPECT_EQ(display->hint()->text(), QStringLiteral("(10.00,-5.00)"));
    host.player = nullptr;
    display.reset();
}

TEST(DecisionHintTest, DecisionsWithinThreePixelsAreHinted) {
    FieldView view;
    view.fit(1150, 850);  // 10 pixels per metre, centre spot at (575, 460)
    cycle_pass_info passes;
    PASSDECISIONINFO pass;
    pass.receiver = 7;
    pass.angle = 12.34f;
    pass.ball_speed = 2.5f;
    pass.target_x = 10.0f;
    pass.target_y = -5.0f;
    pass.success_rate = 0.875f;
    pass.utility = 0.5f;
    pass.gain = -0.25f;
    passes.list = {pass};
    EXPECT_EQ(passDecisionHint(passes, view, QPoint(677, 411)),
              QStringLiteral("Receiver:7 Angle:12.3 Ball speed:2.50 Success rate:0.875 Utility:0.5000 Gain:-0.2500"));
    EXPECT_FALSE(passDecisionHint(passes, view, QPoint(678, 410)));  // 3 pixels away
    // A target at 677.9 on the screen lies on pixel 677: the distance counts from there.
    passes.list[0].target_x = 10.29f;
    EXPECT_TRUE(passDecisionHint(passes, view, QPoint(679, 410)));
    EXPECT_FALSE(passDecisionHint(passes, view, QPoint(680, 410)));
    cycle_intercept_info intercepts;
    INTERCEPTDECISIONINFO intercept;
    intercept.point_x = -1.0f;
    intercept.success_rate = 1.0f;
    intercepts.list = {intercept};
    EXPECT_EQ(interceptDecisionHint(intercepts, view, QPoint(565, 460)),
              QStringLiteral("Success rate:1.000 Utility:0.0000 Gain:0.0000"));
}

TEST(ObjectDetailsTest, ReceivedMessagesAreShortenedAndEndAtTheirSeparator) {
    const std::string messages =
        "Recv Alpha_3: (say 1.23456 12.5 x.999)\t\t\tRecv Alpha_4: (other 1.0)\t\t\tRecv Alpha_3: (dash 100.)\n";
    EXPECT_EQ(receivedMessages(messages, "Alpha", 3), "N/A\r\n(say 1.23 12.5 x.99)\r\n(dash 100.)");
    EXPECT_EQ(receivedMessages(messages, "Beta", 3), "N/A");
    EXPECT_EQ(receivedMessages("Recv Alpha_3: (cut 3.14159", "Alpha", 3), "N/A\r\n(cut 3.14");
}

TEST_F(SelectionTest, DetailsWindowFollowsTheDisplaysMoves) {
    CObjectDetailDialog* details = tools->details();
    ASSERT_NE(details, nullptr);
    details->move(300, 200);
    const QPoint start = details->pos();
    display->move(display->pos() + QPoint(5, 5));  // the first move is only recorded
    QApplication::processEvents();
    EXPECT_EQ(details->pos(), start);
    display->move(display->pos() + QPoint(30, 20));
    QApplication::processEvents();
    EXPECT_EQ(details->pos(), start + QPoint(30, 20));
    // Dragged far off, the display leaves the window on the screen.
    const QRect screen = display->screen()->availableGeometry();
    display->move(display->pos() + QPoint(5000, 5000));
    QApplication::processEvents();
    EXPECT_TRUE(screen.contains(details->pos())) << details->x() << "," << details->y();
}

TEST_F(SelectionTest, DetailsWindowOpensBesideTheDisplayWithEveryTextWhole) {
    display->resize(300, 200);
    display->move(20, 20);
    QApplication::processEvents();
    CObjectDetailDialog* details = tools->details();
    tools->toggleDetails();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(details));
    EXPECT_GE(details->x(), display->frameGeometry().right()) << "beside the display, not over the field";
    EXPECT_TRUE(display->screen()->availableGeometry().contains(details->frameGeometry().topLeft()));

    // A text wider than the window was made for widens its column instead of being cut.
    DetailTexts texts;
    texts.lines[4][1] = "HeadAngle:-179.99 (seen 12 cycles ago, confidence 0.95)";
    details->refresh(texts);
    const auto* label = details->findChild<QLabel*>(QString::number(kDetailRightIds[4]));
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    QApplication::processEvents();
    EXPECT_GE(details->width(), label->geometry().right());
}

TEST_F(SelectionTest, TransparencyModesAreKeptWhereTheyCannotBeApplied) {
    CObjectDetailDialog* details = tools->details();
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->transparency(), kTransparent);
    // The context menu offers the three modes with the current one checked, and the
    // chosen one becomes the mode. The menu is modal: it is answered from a timer.
    QStringList offered;
    QString checked;
    QTimer::singleShot(0, details, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions()) {
            offered << action->text();
            if (action->isChecked()) checked = action->text();
        }
        menu->setActiveAction(menu->actions().at(2));  // Alpha
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), details->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(details, &event);
    EXPECT_EQ(offered,
              QStringList({QStringLiteral("&Transparent"), QStringLiteral("&Opaque"), QStringLiteral("&Alpha")}));
    EXPECT_EQ(checked, QStringLiteral("&Transparent"));
    EXPECT_EQ(details->transparency(), kAlpha);
    // Offscreen there is no compositor: the window is opaque, which is said once when it shows.
    EXPECT_FALSE(CObjectDetailDialog::layeredWindowsAvailable());
    EXPECT_EQ(details->appliedTransparency(), kOpaque);
    EXPECT_DOUBLE_EQ(details->windowOpacity(), 1.0);
    EXPECT_FALSE(details->testAttribute(Qt::WA_TranslucentBackground));
    QSignalSpy notices(details, &CObjectDetailDialog::notice);
    details->show();
    details->setTransparency(kTransparent);
    details->setTransparency(kAlpha);
    EXPECT_EQ(notices.count(), 1);
    display.reset();
    EXPECT_EQ(profile->readInt(QStringLiteral("Displayer"), QStringLiteral("ODWindow"), -1), kAlpha);
}

TEST_F(SelectionTest, DrawingWithTheToolsAndDeleting) {
    display->DeleteSelected();  // nothing to delete
    click(pixel(0, 0));         // no game, tool 0: only a hint
    EXPECT_EQ(display->visualObjects().size(), 0u);
    tools->toggleDrawingBox();
    ASSERT_NE(tools->drawingBox(), nullptr);
    QTest::mouseClick(tools->drawingBox()->findChild<QAbstractButton*>(QStringLiteral("1023")), Qt::LeftButton);
    EXPECT_EQ(display->drawingTool(), kToolLine);
    click(pixel(-10, 0));
    click(pixel(10, 0));  // completes the line, which reports itself selected
    ASSERT_EQ(display->visualObjects().size(), 1u);
    EXPECT_TRUE(display->visualObjects().at(0).IsSelected());
    // Hovering the line shows its description.
    QTest::mouseMove(display.get(), pixel(0, 0));
    ASSERT_NE(display->hint(), nullptr);
    EXPECT_EQ(display->hint()->text(), QStringLiteral("(-10.00,0.00)->(10.00,0.00) (L:20.00) (A:0.00)"));
    EXPECT_EQ(display->cursor().shape(), Qt::PointingHandCursor);
    display->DeleteSelected();
    EXPECT_EQ(display->visualObjects().size(), 0u);
    // Escape in the box returns to selecting only and hides it.
    QTest::keyClick(tools->drawingBox(), Qt::Key_Escape);
    EXPECT_EQ(display->drawingTool(), kToolSelect);
    EXPECT_FALSE(tools->drawingBox()->isVisible());
}

TEST_F(SelectionTest, ADoubleClickTogglesFullScreenAndDrawsNothingMore) {
    tools->toggleDrawingBox();
    tools->drawingBox()->setTool(kToolPoint);
    // What the window system delivers for a double click: press, release, double click, release.
    const QPoint at = pixel(5, 5);
    const auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), display->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(display.get(), &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(display->visualObjects().size(), 1u) << "the double click's second press is not a click";
    EXPECT_TRUE(display->fullScreen());
    display->leaveFullScreen();
}

}  // namespace
}  // namespace tessarin::test
