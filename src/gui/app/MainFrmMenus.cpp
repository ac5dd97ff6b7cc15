// The main frame's actions, menus, context menus and tool bars: built once when the frame
// is made, from the command table.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/CommandIds.h"
#include "app/MainFrm.h"

namespace tessarin {

void CMainFrame::createActions() {
    commands_ = commandTable();
    for (const Command& command : commands_) {
        auto* action = new CommandAction(command, this);
        connect(action, &QAction::triggered, this, [this, &command] { runCommand(command); });
        actions_[command.id] = action;
        // The frame carries every action, so that its keys work while its menus and bars
        // are out of sight; setDisplayer adds them to the display for the time the frame
        // is hidden.
        addAction(action);
    }
}

QAction* CMainFrame::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* CMainFrame::addMenuItems(QMenu* menu, std::initializer_list<int> ids) {
    for (const int id : ids) {
        if (id == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(action(id));
        }
    }
    return menu;
}

void CMainFrame::createMenus() {
    QMenuBar* bar = menuBar();
    addMenuItems(bar->addMenu(tr("&System")), {cmd::kExit, cmd::kNewInstance, cmd::kHide, cmd::kTop, 0,
                                               cmd::kOpenFolder, cmd::kOpenDebugLogs, cmd::kExportClip});
    addMenuItems(bar->addMenu(tr("&LogPlayer")),
                 {cmd::kLoad, 0, cmd::kPlay, cmd::kStop, cmd::kRewind, cmd::kForward, cmd::kBackward, cmd::kReverse,
                  cmd::kJump, cmd::kAccelerate, cmd::kDecelerate});
    addMenuItems(bar->addMenu(tr("&View")),
                 {286, 281, 283, 284, 285, 280, 288, 282, 287, cmd::kSeparated, cmd::kSmoothDrawing});
    addMenuItems(bar->addMenu(tr("&Monitor")),
                 {cmd::kMonitorConnect, cmd::kMonitorDisconnect, cmd::kMonitorReconnect, cmd::kMonitorKickOff, 0,
                  cmd::kMonitorYellowCard, cmd::kMonitorRedCard});
    addMenuItems(
        bar->addMenu(tr("&Displayer")),
        {cmd::kKickMargin, cmd::kViewArea, cmd::kStamina, cmd::kNumber, cmd::kEnlargePlayer, cmd::kReducePlayer,
         cmd::kVelocity, cmd::kUnselect, cmd::kFullScreen, cmd::kOffsideLine, cmd::kBallDetail, cmd::kPassCourse,
         cmd::kControlArea, cmd::kZoomIn, cmd::kZoomOut, cmd::kDrawCircle});
    addMenuItems(
        bar->addMenu(tr("D&ebug")),
        {cmd::kDebugPause, cmd::kDebugDebug, cmd::kDebugBackWard, cmd::kDebugPassInfo, cmd::kDebugShootInfo,
         cmd::kDebugSightInfo, cmd::kDebugDribbleInfo, cmd::kDebugInterceptInfo, cmd::kDebugPlanFlag,
         cmd::kDebugFullStateLeft, cmd::kDebugFullStateRight, cmd::kDebugRecover, cmd::kEnableOpponentModeling});

    QMenu* trainer = bar->addMenu(tr("&Trainer"));
    addMenuItems(trainer, {cmd::kTrainerConnect, cmd::kTrainerDisconnect});
    addMenuItems(trainer->addMenu(tr("TrainMode")),
                 {cmd::kTrainShoot, cmd::kTrainAttack, cmd::kTrainIntercept, cmd::kTrainKicker, cmd::kTrainDribble});
    trainer->addSeparator();
    QMenu* playmodes = trainer->addMenu(tr("Change &Playmode"));
    addMenuItems(playmodes, {147, 148, 149, 162, 167, 168, cmd::kHumanJudge, 0});
    QMenu* left = playmodes->addMenu(QStringLiteral("l"));
    QMenu* right = playmodes->addMenu(QStringLiteral("r"));
    for (int mode = 4; mode < kPlayModeCount; ++mode) {
        const std::string_view name = playModeName(mode);
        const int id = mode <= 22 ? 146 + mode : cmd::kHumanJudge + (mode - 23);
        if (name.ends_with("_l")) left->addAction(action(id));
        if (name.ends_with("_r")) right->addAction(action(id));
    }
    QMenu* types = trainer->addMenu(tr("Change Playertype"));
    for (int type = 0; type <= 6; ++type) types->addAction(action(cmd::kPlayerTypeFirst + type));

    addMenuItems(bar->addMenu(tr("Tool&Box")),
                 {cmd::kTypeExplorer, cmd::kObjectDetails, cmd::kDrawingTools, cmd::kAutoplayer, cmd::kStopAutoplay,
                  cmd::kStatistics, cmd::kPresent, cmd::kDebugLogWindow, cmd::kSceneEdit, cmd::kPosInfoToFile,
                  cmd::kSaveOpponentModel});
    addMenuItems(bar->addMenu(tr("&Help")), {cmd::kAbout});
}

void CMainFrame::createContextMenus() {
    // The same actions as the main menu's: their keys show here too.
    logContextMenu_ = addMenuItems(new QMenu(this),
                                   {cmd::kLoad, 0, cmd::kPlay, cmd::kStop, cmd::kRewind, cmd::kForward, cmd::kBackward,
                                    cmd::kReverse, cmd::kJump, cmd::kDecelerate, cmd::kAccelerate, cmd::kUnselect});
    monitorContextMenu_ = addMenuItems(
        new QMenu(this), {cmd::kMonitorKickOff, cmd::kMonitorDropBall, cmd::kMonitorLeftFreekick,
                          cmd::kMonitorRightFreekick, cmd::kMonitorMovePlayer, cmd::kMonitorDiscardPlayer,
                          cmd::kMonitorYellowCard, cmd::kMonitorRedCard, cmd::kMonitorDisconnect, cmd::kUnselect});
}

void CMainFrame::createToolBars() {
    const QString titles[kToolBarCount] = {tr("Field Bar"),     tr("Monitor Bar"), tr("Displayer Bar"),
                                           tr("Statistic Bar"), tr("Trainer Bar"), tr("Drawing Bar"),
                                           tr("Logplayer Bar"), tr("Other Bar"),   tr("Debug Bar")};
    std::vector<int> field;
    for (int id = 229; id <= 239; ++id) field.push_back(id);
    field.push_back(0);
    field.push_back(cmd::kSelectBall);
    field.push_back(0);
    for (int id = 240; id <= 250; ++id) field.push_back(id);
    const std::vector<int> buttons[kToolBarCount] = {
        field,
        {cmd::kSave, cmd::kMonitorReconnect, cmd::kMonitorDisconnect, cmd::kMonitorKickOff},
        {cmd::kKickMargin},
        {cmd::kTypeExplorer, cmd::kObjectDetails, cmd::kStatistics, cmd::kPresent},
        {cmd::kTrainerConnect, cmd::kTrainerDisconnect, 0, cmd::kTrainShoot, cmd::kTrainAttack, cmd::kTrainIntercept,
         cmd::kTrainKicker, cmd::kTrainDribble},
        {cmd::kDrawingTools, cmd::kDrawCircle, cmd::kZoomIn, cmd::kZoomOut},
        {cmd::kLoad, cmd::kRewind, cmd::kBackward, cmd::kReverse, cmd::kStop, cmd::kPlay, cmd::kForward,
         cmd::kDecelerate, cmd::kAccelerate, cmd::kJump},
        {cmd::kFullScreen, cmd::kTop, 0, cmd::kSeparated},
        {cmd::kDebugPlanFlag},
    };
    // The train modes have no picture that would say more than their names: that bar shows
    // the names.
    constexpr int kTrainerBar = 4;
    for (int i = 0; i < kToolBarCount; ++i) {
        auto* bar = new QToolBar(titles[i], this);
        bar->setObjectName(QStringLiteral("ToolBar%1").arg(i));
        bar->setIconSize(QSize(16, 15));
        // Dragged off the bar area a bar floats in its own window; dragged back it docks again.
        bar->setMovable(true);
        bar->setFloatable(true);
        bar->setAllowedAreas(Qt::TopToolBarArea);
        if (i == kTrainerBar) bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        for (const int id : buttons[i]) {
            if (id == 0) {
                bar->addSeparator();
            } else {
                bar->addAction(action(id));
            }
        }
        addToolBar(Qt::TopToolBarArea, bar);
        // Three rows, so that every button fits the frame's width: the field bar, the
        // monitor to drawing bars, and the log player, other and debug bars.
        if (i == 0 || i == 5) addToolBarBreak(Qt::TopToolBarArea);
        connect(bar, &QToolBar::visibilityChanged, this, &CMainFrame::scheduleFit);
        connect(bar, &QToolBar::topLevelChanged, this, &CMainFrame::scheduleFit);
        toolBars_[static_cast<std::size_t>(i)] = bar;
    }
}

}  // namespace tessarin
