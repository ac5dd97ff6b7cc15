// The main frame's command table: every command once, with its menu text, keys, handler
// and the state that decides its enabled and checked marks.

#include <QCoreApplication>
#include <QProcess>
#include <QStyle>
#include <QToolBar>
#include <tuple>

#include "app/CommandIds.h"
#include "app/DebugLogLink.h"
#include "app/MainFrm.h"
#include "app/ToolBarIcons.h"
#include "export/ClipExporter.h"
#include "settings/Profile.h"
#include "windows/AutoplayConfiger.h"
#include "windows/DisplayToolWindows.h"
#include "windows/SceneEditor.h"

namespace tessarin {

std::vector<Command> CMainFrame::commandTable() {
    QStyle* s = style();
    std::vector<Command> rows;
    // System
    rows.push_back({.id = cmd::kExit, .text = tr("E&xit"), .keys = {QKeySequence(Qt::ALT | Qt::Key_F4)}, .run = [this] {
                        close();
                    }});
    rows.push_back({.id = cmd::kNewInstance, .text = tr("&New"), .keys = letterKeys(Qt::Key_N), .run = [this] {
                        // The new one opens beside this one, not on top of it.
                        const QRect at = frameGeometry().translated(kInstanceOffset, kInstanceOffset);
                        QProcess::startDetached(
                            QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--at"), QStringLiteral("%1,%2").arg(at.left()).arg(at.top())});
                    }});
    rows.push_back({.id = cmd::kHide,
                    .text = tr("&Hide"),
                    .keys = letterKeys(Qt::Key_H),
                    .run = [this] { setVisible(!isVisible()); },
                    .enabled = [this] { return separated_; }});
    rows.push_back({.id = cmd::kTop,
                    .text = tr("&Top"),
                    .keys = letterKeys(Qt::Key_T),
                    .run =
                        [this] {
                            onTop_ = !onTop_;
                            applyOnTop();
                        },
                    .checked = [this] { return onTop_; },
                    .icon = s->standardIcon(QStyle::SP_ArrowUp)});
    rows.push_back({.id = cmd::kOpenFolder,
                    .text = tr("Open &Folder..."),
                    .keys = {QKeySequence(Qt::CTRL | Qt::Key_O)},
                    .run =
                        [this] {
                            if (const auto folder = askFolder(tr("Open Folder"))) openGamesFolder(*folder);
                        },
                    .icon = s->standardIcon(QStyle::SP_DirOpenIcon)});
    rows.push_back({.id = cmd::kOpenDebugLogs,
                    .text = tr("Open &Debug Logs..."),
                    .keys = {QKeySequence(Qt::CTRL | Qt::Key_D)},
                    .run = [this] {
                        if (const auto folder = askFolder(tr("Open Debug Logs"))) debugLogs_->openFolder(*folder);
                    }});
    rows.push_back({.id = cmd::kExportClip,
                    .text = tr("Export &Clip..."),
                    .run =
                        [this] {
                            if (!clipExporter_) {
                                clipExporter_ = std::make_unique<ClipExporter>(
                                    *logPlayer_, analyzer_.get(), [this] { return displayer(); }, this);
                                clipExporter_->setDebugLogs([this] { return shownDebugLogs(); });
                            }
                            clipExporter_->show();
                        },
                    .enabled = [this] { return displayer() != nullptr && logPlayer_->size() > 0; }});
    addLogPlayerCommands(rows);
    // View
    const QString barTexts[kToolBarCount] = {tr("&Field Bar"),     tr("&Monitor Bar"), tr("Dis&player Bar"),
                                             tr("&Statistic Bar"), tr("&Trainer Bar"), tr("&Drawing Bar"),
                                             tr("&Logplayer Bar"), tr("&Other Bar"),   tr("D&ebug Bar")};
    for (int i = 0; i < kToolBarCount; ++i) {
        rows.push_back({.id = cmd::kFirstBarView + i,
                        .text = barTexts[i],
                        .run =
                            [this, i] {
                                QToolBar* bar = toolBar(i);
                                bar->setVisible(bar->isHidden());
                            },
                        .checked = [this, i] { return !toolBar(i)->isHidden(); }});
    }
    rows.push_back({.id = cmd::kSeparated,
                    .text = tr("Se&parated Displayer"),
                    .run =
                        [this] {
                            if (!owner_) return;
                            const bool next = !separated_;
                            profile_.writeInt(QStringLiteral("Displayer"), QStringLiteral("Separated"), next ? 1 : 0);
                            owner_->placeDisplay(next);
                        },
                    .enabled = [this] { return displayer() != nullptr; },
                    .checked = [this] { return separated_; },
                    .icon = s->standardIcon(QStyle::SP_TitleBarNormalButton)});
    // Monitor
    const auto monitorRow = [this](int id, const QString& text, QList<QKeySequence> keys, QIcon icon = {}) {
        // 216..219 are operations 0..3, 221..225 operations 4..8.
        const int op =
            id <= cmd::kMonitorKickOff ? id - cmd::kMonitorConnect : id - cmd::kMonitorDropBall + kMonitorDropBall;
        return Command{.id = id,
                       .text = text,
                       .keys = std::move(keys),
                       .run = [this, op] { monitorCommand(op); },
                       .enabled = [this, op] { return monitor_->IsAvailable(op); },
                       .icon = std::move(icon)};
    };
    rows.push_back(monitorRow(cmd::kMonitorConnect, tr("&Connect"), letterKeys(Qt::Key_I)));
    rows.push_back(monitorRow(cmd::kMonitorDisconnect, tr("&Disconnect"), letterKeys(Qt::Key_O),
                              s->standardIcon(QStyle::SP_DialogCancelButton)));
    rows.push_back(monitorRow(cmd::kMonitorReconnect, tr("&Reconnect"), letterKeys(Qt::Key_P),
                              s->standardIcon(QStyle::SP_BrowserReload)));
    rows.push_back(monitorRow(cmd::kMonitorKickOff, tr("&Kick Off"), letterKeys(Qt::Key_K),
                              playerIcon(Qt::white, QStringLiteral("K"))));
    rows.push_back(monitorRow(cmd::kMonitorDropBall, tr("&Drop Ball"), {}));
    rows.push_back(monitorRow(cmd::kMonitorLeftFreekick, tr("&Left Freekick"), {}));
    rows.push_back(monitorRow(cmd::kMonitorRightFreekick, tr("&Right Freekick"), {}));
    rows.push_back(monitorRow(cmd::kMonitorMovePlayer, tr("&Move Player"), {}));
    rows.push_back(monitorRow(cmd::kMonitorDiscardPlayer, tr("Dis&card Player"), {}));
    // Cards need a text protocol (3 to 5) and a selected player.
    const auto cardRow = [this](int id, const QString& text, Card card, QColor colour) {
        return Command{.id = id,
                       .text = text,
                       .run = [this, card] { giveCard(card); },
                       .enabled =
                           [this] {
                               const CDisplayer* display = display_.load();
                               return monitor_->canGiveCards() && display && display->selected() >= 0 &&
                                      display->selected() < 2 * kPlayersPerSide;
                           },
                       .icon = playerIcon(colour, QString())};
    };
    rows.push_back(cardRow(cmd::kMonitorYellowCard, tr("&Yellow Card"), Card::Yellow, Qt::yellow));
    rows.push_back(cardRow(cmd::kMonitorRedCard, tr("Red C&ard"), Card::Red, Qt::red));
    addDisplayCommands(rows);
    addDebugAndTrainerCommands(rows);
    addToolCommands(rows);
    rows.push_back({.id = cmd::kAbout,
                    .text = tr("&About..."),
                    .run =
                        [this] {
                            if (owner_) owner_->showAbout(this);
                        },
                    .icon = s->standardIcon(QStyle::SP_MessageBoxInformation)});
    addSelectionCommands(rows);
    return rows;
}

void CMainFrame::addLogPlayerCommands(std::vector<Command>& rows) {
    QStyle* s = style();
    const auto row = [this](int id, const QString& text, QList<QKeySequence> keys, int number, QIcon icon) {
        return Command{.id = id,
                       .text = text,
                       .keys = std::move(keys),
                       .run = [this, number] { logPlayerCommand(number); },
                       .enabled = [this, number] { return logPlayer_->availability(number); },
                       .icon = std::move(icon)};
    };
    rows.push_back({.id = cmd::kLoad,
                    .text = tr("&Load ..."),
                    .keys = letterKeys(Qt::Key_L) << QKeySequence(Qt::Key_F2),
                    .run =
                        [this] {
                            chosenPath_.reset();
                            applyStoreBudget();
                            logPlayer_->command(kCmdOpen);
                            if (chosenPath_) reportLoad(*chosenPath_);
                        },
                    .icon = s->standardIcon(QStyle::SP_DialogOpenButton)});
    rows.push_back(row(cmd::kPlay, tr("&Play"), letterKeys(Qt::Key_X) << QKeySequence(Qt::Key_F5), kCmdPlay,
                       s->standardIcon(QStyle::SP_MediaPlay)));
    rows.push_back(
        row(cmd::kStop, tr("&Stop"), letterKeys(Qt::Key_C), kCmdStop, s->standardIcon(QStyle::SP_MediaStop)));
    rows.push_back(row(cmd::kRewind, tr("Re&wind"), letterKeys(Qt::Key_V), kCmdRewind,
                       s->standardIcon(QStyle::SP_MediaSkipBackward)));
    rows.push_back(row(cmd::kForward, tr("&Forward"),
                       {QKeySequence(Qt::Key_Right), QKeySequence(Qt::Key_Period), QKeySequence(Qt::Key_Greater)},
                       kCmdStepForward, s->standardIcon(QStyle::SP_MediaSeekForward)));
    rows.push_back(row(cmd::kBackward, tr("&Backward"),
                       {QKeySequence(Qt::Key_Left), QKeySequence(Qt::Key_Comma), QKeySequence(Qt::Key_Less)},
                       kCmdStepBack, s->standardIcon(QStyle::SP_MediaSeekBackward)));
    rows.push_back(row(cmd::kReverse, tr("&Reverse"), letterKeys(Qt::Key_B), kCmdReverse, reverseIcon()));
    rows.push_back(row(cmd::kJump, tr("&Jump to ..."), letterKeys(Qt::Key_J), kCmdJump, jumpIcon()));
    rows.push_back(row(cmd::kAccelerate, tr("&Accelerate"), letterKeys(Qt::Key_A), kCmdFaster, speedIcon(true)));
    rows.push_back(row(cmd::kDecelerate, tr("&Decelerate"), letterKeys(Qt::Key_D), kCmdSlower, speedIcon(false)));
    Command save =
        row(cmd::kSave, tr("Save"), letterKeys(Qt::Key_S), kCmdSave, s->standardIcon(QStyle::SP_DialogSaveButton));
    save.enabled = {};
    rows.push_back(std::move(save));
}

void CMainFrame::addDisplayCommands(std::vector<Command>& rows) {
    QStyle* s = style();
    const auto hasDisplay = [this] { return displayer() != nullptr; };
    const auto option = [this, hasDisplay](int id, const QString& text, QList<QKeySequence> keys,
                                           bool DisplayOptions::*flag, const QString& tip, QIcon icon = {}) {
        return Command{.id = id,
                       .text = text,
                       .keys = std::move(keys),
                       .run = [this, flag] { displayer()->toggleOption(flag); },
                       .enabled = hasDisplay,
                       .checked = [this, flag] { return displayer() && displayer()->options().*flag; },
                       .icon = std::move(icon),
                       .tip = tip};
    };
    rows.push_back(option(cmd::kKickMargin, tr("&Kick margin"), letterKeys(Qt::Key_Q), &DisplayOptions::Kickmargin,
                          tr("Kick Margin"), kickMarginIcon()));
    rows.push_back(
        option(cmd::kViewArea, tr("&View area"), letterKeys(Qt::Key_W), &DisplayOptions::Viewarea, tr("View Area")));
    rows.push_back(option(cmd::kStamina, tr("&Stamina"), letterKeys(Qt::Key_E), &DisplayOptions::Stamina, {}));
    rows.push_back(
        option(cmd::kNumber, tr("&Number"), letterKeys(Qt::Key_R), &DisplayOptions::Number, tr("Player Number")));
    rows.push_back({.id = cmd::kEnlargePlayer,
                    .text = tr("&Enlarge player"),
                    .keys = {QKeySequence(Qt::Key_Up)},
                    .run = [this] { displayer()->enlargePlayers(); },
                    .enabled = [this] { return displayer() && displayer()->canEnlargePlayers(); },
                    .tip = tr("Enlarge Player Size")});
    rows.push_back({.id = cmd::kReducePlayer,
                    .text = tr("&Reduce player"),
                    .keys = QList<QKeySequence>{QKeySequence(Qt::Key_Down)} << letterKeys(Qt::Key_Y),
                    .run = [this] { displayer()->reducePlayers(); },
                    .enabled = [this] { return displayer() && displayer()->canReducePlayers(); },
                    .tip = tr("Reduce Player Size")});
    rows.push_back(option(cmd::kVelocity, tr("&Velocity"), letterKeys(Qt::Key_U), &DisplayOptions::Velocity, {}));
    rows.push_back({.id = cmd::kUnselect,
                    .text = tr("&Unselect"),
                    .keys = {QKeySequence(Qt::Key_AsciiTilde)},
                    .run = [this] { displayer()->select(kSelectNothing); },
                    .enabled = hasDisplay});
    rows.push_back({.id = cmd::kFullScreen,
                    .text = tr("&Fullscreen"),
                    .keys = letterKeys(Qt::Key_F),
                    .run =
                        [this] {
                            if (separated_) {
                                displayer()->toggleFullScreen();
                            } else if (isMaximized()) {
                                showNormal();
                            } else {
                                showMaximized();
                            }
                        },
                    .enabled = hasDisplay,
                    .checked = [this] { return displayer() && displayer()->fullScreen(); },
                    .icon = s->standardIcon(QStyle::SP_TitleBarMaxButton),
                    .tip = tr("Full Screen")});
    rows.push_back(option(cmd::kOffsideLine, tr("&Offside line"), {QKeySequence(Qt::Key_Bar)},
                          &DisplayOptions::OffsideLine, tr("Offside Line")));
    rows.push_back(option(cmd::kBallDetail, tr("&Ball detail"), {QKeySequence(Qt::Key_Plus)},
                          &DisplayOptions::BallDetail, tr("Ball Detail")));
    rows.push_back(option(cmd::kPassCourse, tr("&Pass course"), {QKeySequence(Qt::Key_Backslash)},
                          &DisplayOptions::ControlCourse, tr("Control Course")));
    rows.push_back(option(cmd::kControlArea, tr("&Control area"), letterKeys(Qt::Key_Z), &DisplayOptions::ControlArea,
                          tr("Control Area")));
    for (const auto& zoom : {std::tuple{cmd::kZoomIn, tr("Zoom In"), Qt::Key_F3, int{kZoomIn}},
                             std::tuple{cmd::kZoomOut, tr("Zoom Out"), Qt::Key_F4, int{kZoomOut}}}) {
        const int mode = std::get<3>(zoom);
        rows.push_back({.id = std::get<0>(zoom),
                        .text = std::get<1>(zoom),
                        .keys = {QKeySequence(std::get<2>(zoom))},
                        .run = [this, mode] { displayer()->toggleZoom(mode); },
                        .enabled = hasDisplay,
                        .checked = [this, mode] { return displayer() && displayer()->zoomMode() == mode; },
                        .icon = zoomIcon(mode == kZoomIn)});
    }
    rows.push_back({.id = cmd::kDrawCircle,
                    .text = tr("Draw Circle"),
                    .run = [this] { displayer()->toggleDrawCircle(); },
                    .enabled = hasDisplay,
                    .checked = [this] { return displayer() && displayer()->drawCircle(); },
                    .icon = circleIcon()});
    rows.push_back({.id = cmd::kSmoothDrawing,
                    .text = tr("S&mooth drawing"),
                    .run = [this] { displayer()->setSmoothDrawing(!displayer()->smoothDrawing()); },
                    .enabled = hasDisplay,
                    .checked = [this] { return displayer() && displayer()->smoothDrawing(); }});
    rows.push_back({.id = cmd::kClientsOneStep,
                    .text = tr("Step the clients"),
                    .keys = {QKeySequence(Qt::Key_Space)},
                    // Dropped while not connected.
                    .run = [this] { monitor_->SendText("(disponestep)"); }});
    rows.push_back({.id = cmd::kDeleteDrawings,
                    .text = tr("Delete the selected drawings"),
                    .keys = {QKeySequence(Qt::Key_Delete)},
                    .run = [this] { displayer()->DeleteSelected(); },
                    .enabled = hasDisplay});
}

void CMainFrame::addDebugAndTrainerCommands(std::vector<Command>& rows) {
    const auto hasDisplay = [this] { return displayer() != nullptr; };
    const auto client = [this, hasDisplay](int id, const QString& text, ClientOption which, QIcon icon = {}) {
        return Command{.id = id,
                       .text = text,
                       .run = [this, which] { displayer()->toggleClientOption(which); },
                       .enabled = hasDisplay,
                       .checked = [this, which] { return displayer() && displayer()->clientOption(which); },
                       .icon = std::move(icon)};
    };
    rows.push_back(client(cmd::kDebugPause, tr("Pause"), ClientOption::Pause));
    rows.push_back(client(cmd::kDebugDebug, tr("Debug"), ClientOption::Debug));
    rows.push_back({.id = cmd::kDebugBackWard,
                    .text = tr("BackWard"),
                    .run = [this] { displayer()->startBackWard(); },
                    .enabled = hasDisplay});
    rows.push_back(client(cmd::kDebugPassInfo, tr("PassInfo"), ClientOption::PassInfo));
    rows.push_back(client(cmd::kDebugShootInfo, tr("ShootInfo"), ClientOption::ShootInfo));
    rows.push_back(client(cmd::kDebugSightInfo, tr("SightInfo"), ClientOption::SightInfo));
    rows.push_back(client(cmd::kDebugDribbleInfo, tr("DribbleInfo"), ClientOption::DribbleInfo));
    rows.push_back(client(cmd::kDebugInterceptInfo, tr("InterceptInfo"), ClientOption::InterceptInfo));
    rows.push_back(client(cmd::kDebugDefenseFlag, tr("DefenseInfo"), ClientOption::DefenseInfo));
    rows.push_back(client(cmd::kDebugPlanFlag, tr("DeffenseInfo"), ClientOption::Plan, defenseIcon()));
    rows.push_back(client(cmd::kDebugFullStateLeft, tr("FullStateLeft"), ClientOption::FullStateLeft));
    rows.push_back(client(cmd::kDebugFullStateRight, tr("FullStateRight"), ClientOption::FullStateRight));
    rows.push_back({.id = cmd::kDebugRecover,
                    .text = tr("Recover"),
                    .run = [this] { displayer()->toggleRecover(); },
                    .enabled = hasDisplay,
                    .checked = [this] { return displayer() && displayer()->options().Recover; }});
    rows.push_back({.id = cmd::kEnableOpponentModeling,
                    .text = tr("Enable OpponentModeling"),
                    .run =
                        [this] {
                            // The display's opponent-model flag and the model's switch go together.
                            displayer()->toggleOption(&DisplayOptions::opponentModel);
                            opponentModel_->Toggle();
                        },
                    .enabled = hasDisplay,
                    .checked = [this] { return displayer() && displayer()->options().opponentModel; }});
    // Trainer
    rows.push_back({.id = cmd::kTrainerConnect,
                    .text = tr("&Connect"),
                    .run = [this] { connectTrainer(); },
                    .icon = trainerIcon(true),
                    .tip = tr("Connect the trainer")});
    rows.push_back({.id = cmd::kTrainerDisconnect,
                    .text = tr("&Disconnect"),
                    .run =
                        [this] {
                            trainer_.Disconnect();
                            flashStatus(tr("Trainer disconnected"));
                        },
                    .icon = trainerIcon(false),
                    .tip = tr("Disconnect the trainer")});
    const auto trainMode = [this](int id, const QString& text, bool COfflineCoach::*flag) {
        return Command{.id = id,
                       .text = text,
                       .run =
                           [this, flag] {
                               trainer_.*flag = !(trainer_.*flag);
                               // The header's counters come and go with the Intercept mode.
                               if (CDisplayer* display = displayer()) display->update();
                           },
                       .checked = [this, flag] { return trainer_.*flag; }};
    };
    rows.push_back(trainMode(cmd::kTrainShoot, tr("Shoot"), &COfflineCoach::shoot));
    rows.push_back(trainMode(cmd::kTrainAttack, tr("Attack"), &COfflineCoach::attack));
    rows.push_back(trainMode(cmd::kTrainIntercept, tr("Intecept"), &COfflineCoach::intercept));
    rows.push_back(trainMode(cmd::kTrainKicker, tr("Kicker"), &COfflineCoach::kicker));
    rows.push_back(trainMode(cmd::kTrainDribble, tr("Dribble"), &COfflineCoach::dribble));
    for (int playMode = 1; playMode < kPlayModeCount; ++playMode) {
        const int id = playMode <= 22 ? 146 + playMode : cmd::kHumanJudge + (playMode - 23);
        const std::string_view name = playModeName(playMode);
        QString text = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        if (playMode == 1) text = QStringLiteral("befor_kick_off");
        if (playMode == 23) text = QStringLiteral("human judge");
        rows.push_back({.id = id, .text = text, .run = [this, id] { trainer_.ChangePlaymodeCommand(id); }});
    }
    // The Change Playertype entries have no action: present, but disabled.
    for (int type = 0; type <= 6; ++type) {
        rows.push_back({.id = cmd::kPlayerTypeFirst + type,
                        .text = QString::number(type),
                        .run = [] {},
                        .enabled = [] { return false; }});
    }
}

void CMainFrame::addToolCommands(std::vector<Command>& rows) {
    const auto hasDisplay = [this] { return displayer() != nullptr; };
    rows.push_back({.id = cmd::kTypeExplorer,
                    .text = tr("Type &Explorer"),
                    .keys = {QKeySequence(Qt::Key_Equal)},
                    .run = [this] { toggleTypeExplorer(); },
                    .icon = typeTableIcon()});
    rows.push_back({.id = cmd::kObjectDetails,
                    .text = tr("Object &Details"),
                    .keys = {QKeySequence(Qt::Key_Tab)},
                    .run = [this] { toolWindows_->toggleDetails(); },
                    .enabled = hasDisplay,
                    .icon = detailsIcon()});
    rows.push_back({.id = cmd::kDrawingTools,
                    .text = tr("Drawing &Tools"),
                    .keys = letterKeys(Qt::Key_G),
                    .run = [this] { toolWindows_->toggleDrawingBox(); },
                    .enabled = hasDisplay,
                    .icon = drawingToolsIcon()});
    rows.push_back({.id = cmd::kAutoplayer,
                    .text = tr("&Autoplayer"),
                    .run = [this] { openAutoplayer(); },
                    .checked = [this] { return autoplay_->running(); }});
    rows.push_back({.id = cmd::kStopAutoplay,
                    .text = tr("Stop A&utoplay"),
                    .run = [this] { autoplay_->stop(); },
                    .enabled = [this] { return autoplay_->running(); }});
    rows.push_back({.id = cmd::kStatistics,
                    .text = tr("&Statistics"),
                    .keys = {QKeySequence(Qt::Key_BracketLeft), QKeySequence(Qt::Key_BraceLeft)},
                    .run = [this] { toggleStatisticDialog(); },
                    .icon = statisticsIcon()});
    rows.push_back({.id = cmd::kPresent,
                    .text = tr("&Present"),
                    .keys = {QKeySequence(Qt::Key_BracketRight), QKeySequence(Qt::Key_BraceRight)},
                    .run =
                        [this] {
                            refreshStatistics();
                            toolWindows_->togglePresent();
                        },
                    .enabled = hasDisplay,
                    .icon = presentIcon()});
    rows.push_back({.id = cmd::kSceneEdit,
                    .text = tr("SceneEdit"),
                    .run = [this] { toggleSceneEditor(*displayer(), *logPlayer_); },
                    .enabled = hasDisplay});
    rows.push_back(
        {.id = cmd::kPosInfoToFile, .text = tr("PosInfoToFile"), .run = [this] { writePositionDumpFiles(); }});
    rows.push_back({.id = cmd::kDebugLogWindow, .text = tr("Debug &Log"), .keys = letterKeys(Qt::Key_M), .run = [this] {
                        debugLogs_->toggleWindow();
                    }});
    rows.push_back(
        {.id = cmd::kSaveOpponentModel, .text = tr("Save OpponentModel"), .run = [this] { saveOpponentModel(); }});
}

void CMainFrame::addSelectionCommands(std::vector<Command>& rows) {
    const auto hasDisplay = [this] { return displayer() != nullptr; };
    const auto selectRow = [this, hasDisplay](int id, int index, const QString& text, QList<QKeySequence> keys,
                                              QIcon icon) {
        return Command{.id = id,
                       .text = text,
                       .keys = std::move(keys),
                       .run = [this, index] { displayer()->select(index); },
                       .enabled = hasDisplay,
                       .checked = [this, index] { return displayer() && displayer()->selected() == index; },
                       .icon = std::move(icon)};
    };
    for (int n = 1; n <= kPlayersPerSide; ++n) {
        rows.push_back(selectRow(cmd::kSelectFirstLeft + n - 1, n - 1, tr("Select No.%1 of Left Team").arg(n),
                                 {QKeySequence(leftPlayerKey(n))},
                                 playerIcon(QColor(255, 255, 10), QString::number(n))));
        rows.push_back(selectRow(cmd::kSelectFirstRight + n - 1, kPlayersPerSide + n - 1,
                                 tr("Select No.%1 of Right Team").arg(n), rightPlayerKeys(n),
                                 playerIcon(QColor(200, 0, 0), QString::number(n))));
    }
    rows.push_back(selectRow(cmd::kSelectBall, kSelectBall, tr("Select Ball"), {QKeySequence(Qt::Key_QuoteLeft)},
                             playerIcon(Qt::white, QString())));
}

}  // namespace tessarin
