// The main frame's actions, menus, context menus and tool bars: built once when the frame
// is made, from the command table.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStyle>
#include <QToolBar>

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/MainFrm.h"
#include "app/ToolBarIcons.h"

namespace tessarin {

namespace {

QString stripMnemonic(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

}  // namespace

QAction* CMainFrame::makeAction(int id, const QString& text, const QString& tip) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setToolTip(tip.isEmpty() ? stripMnemonic(text) : tip);
    action->setIconVisibleInMenu(false);
    connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
    actions_[id] = action;
    return action;
}

QAction* CMainFrame::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::createActions() {
    QStyle* s = style();
    // System
    makeAction(cmd::kExit, tr("E&xit(Alt+F4)"));
    makeAction(cmd::kNewInstance, tr("&New(N)"));
    makeAction(cmd::kHide, tr("&Hide(H)"));
    makeAction(cmd::kTop, tr("&Top(T)"), tr("Top(T)"))->setIcon(s->standardIcon(QStyle::SP_ArrowUp));
    // Log player
    makeAction(cmd::kLoad, tr("&Load(L) ..."))->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    makeAction(cmd::kPlay, tr("&Play(X)"))->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
    makeAction(cmd::kStop, tr("&Stop(C)"))->setIcon(s->standardIcon(QStyle::SP_MediaStop));
    makeAction(cmd::kRewind, tr("Re&wind(V)"))->setIcon(s->standardIcon(QStyle::SP_MediaSkipBackward));
    makeAction(cmd::kForward, tr("&Forward(->)"))->setIcon(s->standardIcon(QStyle::SP_MediaSeekForward));
    makeAction(cmd::kBackward, tr("&Backward(<-)"))->setIcon(s->standardIcon(QStyle::SP_MediaSeekBackward));
    makeAction(cmd::kReverse, tr("&Reverse(B)"))->setIcon(reverseIcon());
    makeAction(cmd::kJump, tr("&Jump to ...(J)"))->setIcon(textIcon(QStringLiteral("J")));
    makeAction(cmd::kAccelerate, tr("&Accelerate(A)"))->setIcon(textIcon(QStringLiteral("\u00bb")));
    makeAction(cmd::kDecelerate, tr("&Decelerate(D)"))->setIcon(textIcon(QStringLiteral("\u00ab")));
    makeAction(cmd::kSave, tr("Save(S)"))->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    // View
    const QString barTexts[kToolBarCount] = {tr("&Field Bar"),     tr("&Monitor Bar"), tr("Dis&player Bar"),
                                             tr("&Statistic Bar"), tr("&Trainer Bar"), tr("&Drawing Bar"),
                                             tr("&Logplayer Bar"), tr("&Other Bar"),   tr("D&ebug Bar")};
    for (int i = 0; i < kToolBarCount; ++i) makeAction(cmd::kFirstBarView + i, barTexts[i]);
    makeAction(cmd::kSeparated, tr("Se&parated Displayer"), tr("Separated Displayer"))
        ->setIcon(s->standardIcon(QStyle::SP_TitleBarNormalButton));
    // Monitor
    makeAction(cmd::kMonitorConnect, tr("&Connect(I)"));
    makeAction(cmd::kMonitorDisconnect, tr("&Disconnect(O)"))->setIcon(s->standardIcon(QStyle::SP_DialogCancelButton));
    makeAction(cmd::kMonitorReconnect, tr("&Reconnect(P)"))->setIcon(s->standardIcon(QStyle::SP_BrowserReload));
    makeAction(cmd::kMonitorKickOff, tr("&Kick Off(K)"))->setIcon(playerIcon(Qt::white, QStringLiteral("K")));
    makeAction(cmd::kMonitorDropBall, tr("&Drop Ball"));
    makeAction(cmd::kMonitorLeftFreekick, tr("&Left Freekick"));
    makeAction(cmd::kMonitorRightFreekick, tr("&Right Freekick"));
    makeAction(cmd::kMonitorMovePlayer, tr("&Move Player"));
    makeAction(cmd::kMonitorDiscardPlayer, tr("Dis&card Player"));
    // Displayer
    makeAction(cmd::kKickMargin, tr("&Kick margin(Q)"), tr("Kick Margin(Q)"))->setIcon(kickMarginIcon());
    makeAction(cmd::kViewArea, tr("&View area(W)"), tr("View Area(W)"));
    makeAction(cmd::kStamina, tr("&Stamina(E)"), tr("Stamina(E)"));
    makeAction(cmd::kNumber, tr("&Number(R)"), tr("Player Number(R)"));
    makeAction(cmd::kEnlargePlayer, tr("&Enlarge player(Up)"), tr("Enlarge Player Size(Up)"));
    makeAction(cmd::kReducePlayer, tr("&Reduce player(Down)"), tr("Reduce Player Size(Down)"));
    makeAction(cmd::kVelocity, tr("&Velocity(U)"), tr("Velocity(U)"));
    makeAction(cmd::kUnselect, tr("&Unselect(~)"));
    makeAction(cmd::kFullScreen, tr("&Fullscreen(F)"), tr("Full Screen(F)"))
        ->setIcon(s->standardIcon(QStyle::SP_TitleBarMaxButton));
    makeAction(cmd::kOffsideLine, tr("&Offside line(|)"), tr("Offside Line(|)"));
    makeAction(cmd::kBallDetail, tr("&Ball detail(+)"), tr("Ball Detail(+)"));
    makeAction(cmd::kPassCourse, tr("&Pass course(\\)"), tr("Control Course(\\)"));
    makeAction(cmd::kControlArea, tr("&Control area(Z)"), tr("Control Area(Z)"));
    makeAction(cmd::kZoomIn, tr("Zoom In (F3)"));
    makeAction(cmd::kZoomOut, tr("Zoom Out (F4)"));
    makeAction(cmd::kDrawCircle, tr("Draw Circle"));
    // Debug
    makeAction(cmd::kDebugPause, tr("Pause"));
    makeAction(cmd::kDebugDebug, tr("Debug"));
    makeAction(cmd::kDebugBackWard, tr("BackWard"));
    makeAction(cmd::kDebugPassInfo, tr("PassInfo"));
    makeAction(cmd::kDebugShootInfo, tr("ShootInfo"));
    makeAction(cmd::kDebugSightInfo, tr("SightInfo"));
    makeAction(cmd::kDebugDribbleInfo, tr("DribbleInfo"));
    makeAction(cmd::kDebugInterceptInfo, tr("InterceptInfo"));
    makeAction(cmd::kDebugDefenseInfo, tr("DeffenseInfo"))->setIcon(textIcon(QStringLiteral("Df")));
    makeAction(cmd::kDebugFullStateLeft, tr("FullStateLeft"));
    makeAction(cmd::kDebugFullStateRight, tr("FullStateRight"));
    makeAction(cmd::kDebugRecover, tr("Recover"));
    makeAction(cmd::kEnableOpponentModeling, tr("Enable OpponentModeling"));
    // Trainer
    makeAction(cmd::kTrainerConnect, tr("&Connect"));
    makeAction(cmd::kTrainerDisconnect, tr("&Disconnect"));
    makeAction(cmd::kTrainShoot, tr("Shoot"));
    makeAction(cmd::kTrainAttack, tr("Attack"));
    makeAction(cmd::kTrainIntercept, tr("Intecept"));
    makeAction(cmd::kTrainKicker, tr("Kicker"));
    makeAction(cmd::kTrainDribble, tr("Dribble"));
    for (int mode = 1; mode < kPlayModeCount; ++mode) {
        const int id = mode <= 22 ? 146 + mode : cmd::kHumanJudge + (mode - 23);
        const std::string_view name = playModeName(mode);
        QString text = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        if (mode == 1) text = QStringLiteral("befor_kick_off");
        if (mode == 23) text = QStringLiteral("human judge");
        makeAction(id, text);
    }
    for (int type = 0; type <= 6; ++type) makeAction(cmd::kPlayerTypeFirst + type, QString::number(type));
    // Tool box
    makeAction(cmd::kTypeExplorer, tr("Type &Explorer(=)"))->setIcon(textIcon(QStringLiteral("=")));
    makeAction(cmd::kObjectDetails, tr("Object &Details(Tab)"))->setIcon(textIcon(QStringLiteral("i")));
    makeAction(cmd::kDrawingTools, tr("Drawing &Tools(G)"));
    makeAction(cmd::kAutoplayer, tr("&Autoplayer"));
    makeAction(cmd::kStatistics, tr("&Statistics([)"))->setIcon(textIcon(QStringLiteral("[")));
    makeAction(cmd::kPresent, tr("&Present(])"))->setIcon(textIcon(QStringLiteral("]")));
    makeAction(cmd::kSceneEdit, tr("SceneEdit"));
    makeAction(cmd::kPosInfoToFile, tr("PosInfoToFile"));
    makeAction(cmd::kSaveOpponentModel, tr("Save OpponentModel"));
    // Help
    makeAction(cmd::kAbout, tr("&About..."))->setIcon(s->standardIcon(QStyle::SP_MessageBoxInformation));
    // Selection buttons
    for (int n = 1; n <= kPlayersPerSide; ++n) {
        makeAction(cmd::kSelectFirstLeft + n - 1, tr("Select No.%1 of Left Team").arg(n))
            ->setIcon(playerIcon(QColor(255, 255, 10), QString::number(n)));
        makeAction(cmd::kSelectFirstRight + n - 1, tr("Select No.%1 of Right Team").arg(n))
            ->setIcon(playerIcon(QColor(200, 0, 0), QString::number(n)));
    }
    makeAction(cmd::kSelectBall, tr("Select Ball"))->setIcon(playerIcon(Qt::white, QString()));

    for (auto& [id, action] : actions_) {
        const bool checkable = (id >= cmd::kKickMargin && id <= cmd::kDrawCircle && id != cmd::kEnlargePlayer &&
                                id != cmd::kReducePlayer) ||
                               (id >= cmd::kDebugPause && id <= cmd::kDebugDefenseOp && id != cmd::kDebugBackWard) ||
                               isSelectCommand(id) || id == cmd::kTop || id == cmd::kSeparated ||
                               id == cmd::kEnableOpponentModeling ||
                               (id >= cmd::kFirstBarView && id < cmd::kFirstBarView + kToolBarCount) ||
                               (id >= cmd::kTrainShoot && id <= cmd::kTrainDribble) || id == cmd::kControlArea;
        action->setCheckable(checkable);
    }
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
    addMenuItems(bar->addMenu(tr("&System")), {cmd::kExit, cmd::kNewInstance, cmd::kHide, cmd::kTop});
    addMenuItems(bar->addMenu(tr("&LogPlayer")),
                 {cmd::kLoad, 0, cmd::kPlay, cmd::kStop, cmd::kRewind, cmd::kForward, cmd::kBackward, cmd::kReverse,
                  cmd::kJump, cmd::kAccelerate, cmd::kDecelerate});
    addMenuItems(bar->addMenu(tr("&View")), {286, 281, 283, 284, 285, 280, 288, 282, 287, cmd::kSeparated});
    addMenuItems(bar->addMenu(tr("&Monitor")),
                 {cmd::kMonitorConnect, cmd::kMonitorDisconnect, cmd::kMonitorReconnect, cmd::kMonitorKickOff});
    addMenuItems(
        bar->addMenu(tr("&Displayer")),
        {cmd::kKickMargin, cmd::kViewArea, cmd::kStamina, cmd::kNumber, cmd::kEnlargePlayer, cmd::kReducePlayer,
         cmd::kVelocity, cmd::kUnselect, cmd::kFullScreen, cmd::kOffsideLine, cmd::kBallDetail, cmd::kPassCourse,
         cmd::kControlArea, cmd::kZoomIn, cmd::kZoomOut, cmd::kDrawCircle});
    addMenuItems(
        bar->addMenu(tr("D&ebug")),
        {cmd::kDebugPause, cmd::kDebugDebug, cmd::kDebugBackWard, cmd::kDebugPassInfo, cmd::kDebugShootInfo,
         cmd::kDebugSightInfo, cmd::kDebugDribbleInfo, cmd::kDebugInterceptInfo, cmd::kDebugDefenseInfo,
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
                 {cmd::kTypeExplorer, cmd::kObjectDetails, cmd::kDrawingTools, cmd::kAutoplayer, cmd::kStatistics,
                  cmd::kPresent, cmd::kSceneEdit, cmd::kPosInfoToFile, cmd::kSaveOpponentModel});
    addMenuItems(bar->addMenu(tr("&Help")), {cmd::kAbout});

    for (QMenu* menu : bar->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandUi);
    }
}

void CMainFrame::createContextMenus() {
    const auto add = [this](QMenu* menu, int id, const QString& text) {
        QAction* act = menu->addAction(text);
        connect(act, &QAction::triggered, this, [this, id] { onCommand(id); });
        contextActions_.emplace_back(id, act);
    };
    logContextMenu_ = new QMenu(this);
    add(logContextMenu_, cmd::kLoad, tr("&Load ..."));
    logContextMenu_->addSeparator();
    add(logContextMenu_, cmd::kPlay, tr("&Play"));
    add(logContextMenu_, cmd::kStop, tr("&Stop"));
    add(logContextMenu_, cmd::kRewind, tr("Re&wind"));
    add(logContextMenu_, cmd::kForward, tr("&Forward"));
    add(logContextMenu_, cmd::kBackward, tr("&Backward"));
    add(logContextMenu_, cmd::kReverse, tr("&Reverse"));
    add(logContextMenu_, cmd::kJump, tr("&Jump to ..."));
    add(logContextMenu_, cmd::kDecelerate, tr("&Decelerate"));
    add(logContextMenu_, cmd::kAccelerate, tr("&Accelerate"));
    add(logContextMenu_, cmd::kUnselect, tr("&Unselect"));
    monitorContextMenu_ = new QMenu(this);
    add(monitorContextMenu_, cmd::kMonitorKickOff, tr("&Kick Off"));
    add(monitorContextMenu_, cmd::kMonitorDropBall, tr("&Drop Ball"));
    add(monitorContextMenu_, cmd::kMonitorLeftFreekick, tr("&Left Freekick"));
    add(monitorContextMenu_, cmd::kMonitorRightFreekick, tr("&Right Freekick"));
    add(monitorContextMenu_, cmd::kMonitorMovePlayer, tr("&Move Player"));
    add(monitorContextMenu_, cmd::kMonitorDiscardPlayer, tr("Dis&card Player"));
    add(monitorContextMenu_, cmd::kMonitorDisconnect, tr("Di&sconnect"));
    add(monitorContextMenu_, cmd::kUnselect, tr("&Unselect"));
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
        {cmd::kAbout},
        {cmd::kAbout},
        {cmd::kLoad, cmd::kRewind, cmd::kBackward, cmd::kReverse, cmd::kStop, cmd::kPlay, cmd::kForward,
         cmd::kDecelerate, cmd::kAccelerate, cmd::kJump},
        {cmd::kFullScreen, cmd::kTop, 0, cmd::kSeparated},
        {cmd::kDebugDefenseInfo},
    };
    for (int i = 0; i < kToolBarCount; ++i) {
        auto* bar = new QToolBar(titles[i], this);
        bar->setObjectName(QStringLiteral("ToolBar%1").arg(i));
        bar->setIconSize(QSize(16, 15));
        // Dragged off the bar area a bar floats in its own window; dragged back it docks again.
        bar->setMovable(true);
        bar->setFloatable(true);
        bar->setAllowedAreas(Qt::TopToolBarArea);
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
