// The scene editor as the main frame toggles it, and the "Config autoplay" dialog's settings.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "app/CommandIds.h"
#include "app/MainFrm.h"
#include "app/StatusBar.h"
#include "app/Tessarin.h"
#include "display/Displayer.h"
#include "gui/GuiTestSupport.h"
#include "live/SceneWriter.h"
#include "record/ByteOrder.h"
#include "windows/AutoplayConfiger.h"
#include "windows/SceneEditor.h"

namespace tessarin::test {
namespace {

class SceneEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = settings.open();
        app = std::make_unique<CTessarinApp>(*profile);
        app->InitInstance();
        V3LogBuilder log;
        for (int id = 0; id < 18; ++id) log.playerType(id, 0.3, 0.7);
        log.teams("Alpha", 0, "Beta", 0);
        for (int cycle = 1; cycle <= 20; ++cycle) log.show(ShowBuilder(cycle).player(0, 1, 0, cycle, 1).build());
        app->mainFrame()->openDocument(QString::fromStdString(dir.write("game.rcg", log.bytes())));
        app->mainFrame()->logPlayer().waitForParser();
        QApplication::processEvents();
    }
    void TearDown() override {
        app->mainFrame()->close();
        app.reset();
    }
    CMainFrame& frame() { return *app->mainFrame(); }
    CSceneEditor* editor() { return app->displayer()->findChild<CSceneEditor*>(QString(), Qt::FindDirectChildrenOnly); }

    TempDir dir;
    TempProfile settings;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CTessarinApp> app;
};

TEST_F(SceneEditorTest, TogglingTakesTheShownCycleAndOkWritesTheScene) {
    ASSERT_TRUE(frame().commandEnabled(cmd::kSceneEdit));
    frame().onCommand(cmd::kForward);  // to cycle 2
    frame().onCommand(cmd::kSceneEdit);
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(editor()->isVisible());
    ASSERT_TRUE(editor()->scene());
    EXPECT_EQ(editor()->scene()->cycle, 2);

    frame().onCommand(cmd::kSceneEdit);
    EXPECT_FALSE(editor()->isVisible());
    frame().onCommand(cmd::kForward);
    frame().onCommand(cmd::kSceneEdit);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->scene()->cycle, 3);  // copied again on every toggle

    QStringList errors;
    editor()->setErrorReporter([&](const QString& text) { errors << text; });
    const QString path = QString::fromStdString(dir.file("scene.slh"));
    editor()->fileNameEdit()->setText(path);
    for (const char* bad : {"", "x", "99"}) {
        editor()->selfNumEdit()->setText(QString::fromLatin1(bad));
        editor()->accept();
        EXPECT_TRUE(editor()->isVisible()) << bad;
    }
    EXPECT_EQ(errors.size(), 3);
    EXPECT_TRUE(errors.value(0).contains(QStringLiteral("SelfNum")));
    EXPECT_FALSE(std::filesystem::exists(path.toStdString()));

    editor()->selfNumEdit()->setText(QStringLiteral("1"));
    editor()->accept();
    EXPECT_FALSE(editor()->isVisible());
    const Bytes bytes = readFile(path.toStdString());
    ASSERT_EQ(bytes.size(), kSceneFileSize);
    EXPECT_FLOAT_EQ(lef32(bytes.data() + 3 + 864 + 16), 3.0f);  // left player 1 at cycle 3
}

TEST(AutoplayConfiger, SettingsInTheBoxesEnterTakesThemAndClosingWritesTheFields) {
    TempProfile settings;
    settings.writeText("[Socket]\nServerHost=field.example\nServerPort=6100\n[Autoplay]\nGoalieParam=-g\n");
    auto profile = settings.open();
    AutoplayRunner runner;
    {
        CAutoplayConfiger dialog(*profile, runner);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Config autoplay"));
        const AutoplaySettings& f = dialog.fields();
        EXPECT_EQ(f.host, "field.example");
        EXPECT_EQ(f.port, 6100);
        EXPECT_EQ(f.client_path, "Client.exe");
        EXPECT_EQ(f.client_param, "");
        EXPECT_EQ(f.goalie_param, "-g");
        EXPECT_EQ(f.goalie_num, 1);
        const auto boxes = dialog.findChildren<QLineEdit*>();
        ASSERT_EQ(boxes.size(), 7);  // six fields and the unbound timeout
        EXPECT_EQ(boxes[0]->text(), QStringLiteral("field.example"));

        // Run takes the fields as they are, with a client chosen through "...", not typed boxes.
        dialog.setClientChooser([] { return QStringLiteral("/nonexistent/client"); });
        dialog.browse();
        boxes[3]->setText(QStringLiteral("typed -param"));
        dialog.run();
        ASSERT_NE(runner.thread(), nullptr);
        EXPECT_EQ(runner.thread()->settings().client_path, "/nonexistent/client");
        EXPECT_EQ(runner.thread()->settings().client_param, "");

        dialog.show();
        boxes[0]->setFocus();
        boxes[0]->setText(QStringLiteral("other.example"));
        QTest::keyClick(boxes[0], Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.fields().host, "other.example");
        EXPECT_EQ(dialog.fields().client_param, "typed -param");
    }
    EXPECT_EQ(profile->readString(QStringLiteral("Socket"), QStringLiteral("ServerHost"), {}),
              QStringLiteral("other.example"));
    EXPECT_EQ(profile->readString(QStringLiteral("Autoplay"), QStringLiteral("ClientPath"), {}),
              QStringLiteral("/nonexistent/client"));
    EXPECT_EQ(profile->readInt(QStringLiteral("Autoplay"), QStringLiteral("GoalieNum"), 0), 1);

    {
        // Cancel keeps typed values out of the fields; the fields are written all the same.
        CAutoplayConfiger dialog(*profile, runner);
        dialog.findChildren<QLineEdit*>()[0]->setText(QStringLiteral("typed.example"));
        dialog.reject();
    }
    EXPECT_EQ(profile->readString(QStringLiteral("Socket"), QStringLiteral("ServerHost"), {}),
              QStringLiteral("other.example"));
}

TEST_F(SceneEditorTest, AutoplayRunsOnWithoutItsDialogUntilStoppedFromTheMenu) {
    // A client that stays until it is ended, as a team's player does.
    const std::string client = dir.write("client.sh", Bytes{});
    {
        std::FILE* f = std::fopen(client.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("#!/bin/sh\nexec sleep 60\n", f);
        std::fclose(f);
        std::filesystem::permissions(client, std::filesystem::perms::owner_all);
    }
    frame().action(cmd::kAutoplayer)->trigger();
    CAutoplayConfiger* dialog = frame().autoplayDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal()) << "the program stays usable";
    dialog->setClientChooser([&] { return QString::fromStdString(client); });
    dialog->browse();
    dialog->run();
    ASSERT_TRUE(eventuallyInGui([&] { return frame().statusLine().message().contains(QStringLiteral("round 1")); },
                                std::chrono::seconds(20)))
        << frame().statusLine().message().toStdString();

    // Enter keeps the typed values and closes the dialog; the clients go on.
    QTest::keyClick(dialog, Qt::Key_Return);
    EXPECT_TRUE(eventuallyInGui([&] { return frame().autoplayDialog() == nullptr; }));
    EXPECT_TRUE(frame().autoplay().running());
    frame().updateCommandUi();
    EXPECT_TRUE(frame().action(cmd::kAutoplayer)->isChecked());
    ASSERT_TRUE(frame().action(cmd::kStopAutoplay)->isEnabled());

    frame().action(cmd::kStopAutoplay)->trigger();
    EXPECT_FALSE(frame().autoplay().running());
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(cmd::kAutoplayer)->isChecked());
    EXPECT_FALSE(frame().action(cmd::kStopAutoplay)->isEnabled());
}

}  // namespace
}  // namespace tessarin::test
