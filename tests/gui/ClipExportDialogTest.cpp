// The viewer's clip export: the dialog's defaults and states, the worker that writes the
// clip while the GUI thread goes on handling events, and the frame's command that joins
// them to the display.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include "app/CommandIds.h"
#include "app/MainFrm.h"
#include "app/Tessarin.h"
#include "display/Displayer.h"
#include "export/ClipExportJob.h"
#include "export/ClipExporter.h"
#include "gui/GuiTestSupport.h"
#include "record/LogPlayer.h"
#include "windows/ClipExportDialog.h"

namespace tessarin::test {
namespace {

QPushButton* button(const ClipExportDialog& dialog, const QString& text) {
    for (QPushButton* candidate : dialog.findChildren<QPushButton*>()) {
        if (candidate->text().remove(QLatin1Char('&')) == text) return candidate;
    }
    return nullptr;
}

TEST(ClipExportDialogTest, RangeDefaultsToTenSecondsAroundTheShownCycle) {
    const ClipExportDialog middle(1, 6000, 3000, QStringLiteral("numbers"));
    EXPECT_EQ(middle.choice().from, 2950);
    EXPECT_EQ(middle.choice().to, 3050);
    EXPECT_EQ(middle.choice().width, 1280);
    EXPECT_EQ(middle.choice().height, 720);
    EXPECT_DOUBLE_EQ(middle.choice().speed, 1.0);
    // Near either end the range is cut at the game's cycles.
    const ClipExportDialog start(1, 6000, 20, QString());
    EXPECT_EQ(start.choice().from, 1);
    EXPECT_EQ(start.choice().to, 70);
    const ClipExportDialog end(1, 6000, 5990, QString());
    EXPECT_EQ(end.choice().from, 5940);
    EXPECT_EQ(end.choice().to, 6000);
}

TEST(ClipExportDialogTest, ExportIsOfferedOnlyForAUsableChoiceAndNotTwice) {
    ClipExportDialog dialog(1, 500, 100, QString());
    QPushButton* exportButton = button(dialog, QStringLiteral("Export"));
    ASSERT_NE(exportButton, nullptr);
    auto* path = dialog.findChild<QLineEdit*>();
    ASSERT_NE(path, nullptr);
    path->setText(QStringLiteral("clip.avi"));
    EXPECT_FALSE(exportButton->isEnabled());
    path->setText(QStringLiteral("clip.GIF"));
    EXPECT_TRUE(exportButton->isEnabled());

    QSignalSpy requested(&dialog, &ClipExportDialog::exportRequested);
    QSignalSpy cancelled(&dialog, &ClipExportDialog::cancelRequested);
    exportButton->click();
    ASSERT_EQ(requested.count(), 1);
    EXPECT_TRUE(dialog.running());
    EXPECT_FALSE(exportButton->isEnabled());
    exportButton->click();
    EXPECT_EQ(requested.count(), 1);
    // Closing the dialog while it runs stops the export.
    dialog.reject();
    EXPECT_EQ(cancelled.count(), 1);
    dialog.setFinished(false, QString());
    EXPECT_FALSE(dialog.running());
    EXPECT_TRUE(exportButton->isEnabled());
}

class ClipExportJobTest : public ::testing::Test {
protected:
    ClipSnapshot snapshotOf(int count) {
        const std::string game = writeGame(dir, "game.rcg", count);
        NullPlaybackHost host;
        LogPlayer player(host);
        player.command(kCmdLoad, game);
        player.waitForParser();
        ClipLook look;
        look.width = 320;
        look.height = 240;
        return takeClipSnapshot(player, nullptr, ClipRange{0, player.size() - 1}, look);
    }
    QStringList files() const {
        return QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files | QDir::Hidden);
    }

    TempDir dir;
};

TEST_F(ClipExportJobTest, WritesTheDisplaysChoiceOnAWorkerWithProgressThenTheEnd) {
    const std::string game = writeGame(dir, "game.rcg", 30);
    NullPlaybackHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, game);
    player.waitForParser();
    TempProfile settings;
    const auto profile = settings.open();
    CDisplayer display(*profile);
    ClipChoice choice;
    choice.from = 40;
    choice.to = 50;
    choice.width = 320;
    choice.height = 240;
    choice.path = QString::fromStdString(dir.file("clip.mp4"));
    const QString& output = choice.path;

    ClipExportJob job;
    QSignalSpy progressed(&job, &ClipExportJob::progressed);
    QSignalSpy finished(&job, &ClipExportJob::finished);
    QString error;
    EXPECT_FALSE(job.start(player, nullptr, display, choice, error));  // the game ends at cycle 30
    EXPECT_FALSE(error.isEmpty());
    choice.from = 5;
    choice.to = 25;
    ASSERT_TRUE(job.start(player, nullptr, display, choice, error)) << error.toStdString();
    EXPECT_TRUE(job.running());
    EXPECT_FALSE(job.start(player, nullptr, display, choice, error));  // one at a time
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(job.running());
    EXPECT_TRUE(finished.front().at(0).toBool()) << finished.front().at(1).toString().toStdString();
    ASSERT_FALSE(progressed.isEmpty());
    EXPECT_EQ(progressed.back().at(0).toInt(), progressed.back().at(1).toInt());  // the last frame is reported
    EXPECT_GT(QFileInfo(output).size(), 0);
    EXPECT_THAT(files(), testing::Contains(QStringLiteral("clip.mp4")));
}

TEST_F(ClipExportJobTest, CancelStopsTheWorkerAndLeavesNoFile) {
    ClipExportJob job;
    QSignalSpy finished(&job, &ClipExportJob::finished);
    // A long clip at a high frame rate: far more work than happens before the cancel.
    ASSERT_TRUE(job.start(snapshotOf(400), QString::fromStdString(dir.file("clip.webm")), 0.1, 120));
    job.cancel();
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(finished.front().at(0).toBool());
    EXPECT_TRUE(finished.front().at(1).toString().isEmpty());
    EXPECT_THAT(files(), testing::ElementsAre(QStringLiteral("game.rcg")));
}

TEST(ClipExportCommandTest, TheSystemMenusCommandExportsWhatTheDisplayShows) {
    TempProfile settings;
    const auto profile = settings.open();
    CTessarinApp app(*profile);
    app.InitInstance();
    CMainFrame& frame = *app.mainFrame();
    QAction* command = frame.action(cmd::kExportClip);
    ASSERT_NE(command, nullptr);
    QMenu* system = frame.menuBar()->actions().front()->menu();
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(system->actions().contains(command));
    EXPECT_FALSE(command->isEnabled());  // no game yet

    const std::string game = writeGame(settings.dir(), "game.rcg", 300);
    frame.openDocument(QString::fromStdString(game));
    frame.logPlayer().waitForParser();
    ASSERT_TRUE(eventuallyInGui([&] { return command->isEnabled(); }));
    frame.onCommand(cmd::kSelectFirstLeft + 2);  // left player 3
    command->trigger();
    ClipExporter* exporter = frame.clipExporter();
    ASSERT_NE(exporter, nullptr);
    ClipExportDialog* dialog = exporter->dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    const int shown = app.displayer()->scene().current->cycle;
    EXPECT_EQ(dialog->choice().from, std::max(1, shown - kClipDefaultHalfSpan));
    EXPECT_EQ(dialog->choice().to, std::min(300, shown + kClipDefaultHalfSpan));
    bool saysSelection = false;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        saysSelection = saysSelection || label->text().contains(QStringLiteral("player 3 of the left team selected"));
    }
    EXPECT_TRUE(saysSelection);

    const QString output = QString::fromStdString(settings.dir().file("frame.gif"));
    dialog->findChild<QLineEdit*>()->setText(output);
    dialog->findChildren<QSpinBox*>()[0]->setValue(1);
    dialog->findChildren<QSpinBox*>()[1]->setValue(20);
    button(*dialog, QStringLiteral("Export"))->click();
    EXPECT_TRUE(exporter->job().running());
    ASSERT_TRUE(eventuallyInGui([&] { return !dialog->running(); }, std::chrono::seconds(60)));
    EXPECT_TRUE(QFileInfo(output).isFile());
    // A second command shows a dialog for the cycle shown then.
    command->trigger();
    EXPECT_TRUE(frame.clipExporter()->dialog()->isVisible());
    frame.close();
}

}  // namespace
}  // namespace tessarin::test
