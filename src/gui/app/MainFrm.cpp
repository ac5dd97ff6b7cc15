#include "app/MainFrm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <cstring>

#include "analysis/PositionDump.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/CycleSlider.h"
#include "app/RecentFiles.h"
#include "app/StatusBar.h"
#include "files/PathText.h"
#include "settings/Profile.h"
#include "windows/AutoplayConfiger.h"
#include "windows/SceneEditor.h"
#include "windows/SocketDialog.h"
#include "windows/StatisticDialog.h"
#include "windows/TypeExplorer.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("MainFrame");

}  // namespace

CMainFrame::CMainFrame(Profile& profile, COfflineCoach& trainer, QWidget* parent)
    : QMainWindow(parent),
      profile_(profile),
      analyzer_(std::make_unique<BehaviorAnalyzer>()),
      opponentModel_(std::make_unique<OpponentModel>()),
      analysis_(std::make_unique<GameAnalysis>(*analyzer_, opponentModel_.get())),
      logPlayer_(std::make_unique<LogPlayer>(*this, analysis_.get())),
      trainer_(trainer),
      monitor_(std::make_unique<CMonitorConnection>(*logPlayer_, *this)) {
    setWindowTitle(QStringLiteral("Tessarin"));
    setAcceptDrops(true);
    setObjectName(QStringLiteral("MainFrame"));
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CMainFrame::onTimer);
    connect(&uiTimer_, &QTimer::timeout, this, &CMainFrame::updateCommandUi);
    uiTimer_.start(250);

    createActions();
    createMenus();
    createToolBars();
    createContextMenus();
    createStatusAndRecentFiles();
    connect(&uiTimer_, &QTimer::timeout, this, &CMainFrame::refreshStatus);
    readBarSettings();
    onTop_ = profile_.readInt(kSection, QStringLiteral("OnTop"), 0) == 1;
    applyOnTop();
    updateCommandUi();
}

CMainFrame::~CMainFrame() {
    timer_.stop();
    uiTimer_.stop();
    // "(dispbye)" when connected; the receiver is joined while the log player and the
    // display still exist.
    monitor_.reset();
    // The parser thread may still hand records over while it stops: end it while the
    // display pointer is valid, then forget the display.
    logPlayer_.reset();
    if (CDisplayer* display = display_.exchange(nullptr)) {
        display->setHost(nullptr);
        // The display belongs to the application, not to the frame's widget tree.
        if (centralWidget() == display) {
            takeCentralWidget();
            display->setParent(nullptr);
        }
    }
}

void CMainFrame::readBarSettings() {
    const int bars0 = profile_.readInt(kSection, QStringLiteral("ToolBars0"), kDefaultToolBars0);
    const int bars1 = profile_.readInt(kSection, QStringLiteral("ToolBars1"), kDefaultToolBars1);
    for (int i = 0; i < 8; ++i) setBarVisible(i, (bars0 & (1 << i)) != 0);
    setBarVisible(8, (bars1 & 1) != 0);
}

void CMainFrame::setBarVisible(int index, bool visible) { toolBar(index)->setVisible(visible); }

void CMainFrame::setDisplayer(CDisplayer* display, bool separated) {
    if (CDisplayer* old = display_.load(); old && old != display) old->setHost(nullptr);
    display_.store(display);
    separated_ = separated;
    if (display) display->setHost(this);
    updateCommandUi();
    refreshStatus();
}

void CMainFrame::applyOnTop() {
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop_);
    if (wasVisible) show();
}

void CMainFrame::scheduleFit() {
    if (fitPending_) return;
    fitPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { fitToContents(); }, Qt::QueuedConnection);
}

int CMainFrame::barsBottom() {
    if (QLayout* l = layout()) l->activate();
    int bottom = menuBar() ? menuBar()->geometry().bottom() + 1 : 0;
    for (QToolBar* bar : toolBars_) {
        if (bar->isHidden() || bar->isFloating() || toolBarArea(bar) != Qt::TopToolBarArea) continue;
        bottom = std::max(bottom, bar->geometry().bottom() + 1);
    }
    return bottom;
}

void CMainFrame::fitToContents() {
    fitPending_ = false;
    const int bottom = barsBottom();
    if (separated_) {
        // A fixed strip of bars, its bottom edge a little below the lowest bar, and the
        // status bar under them.
        setFixedHeight(bottom + kBarStripMargin + statusBar()->sizeHint().height());
    } else {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
}

bool CMainFrame::commandEnabled(int id) const {
    if (isWiredLater(id)) return false;
    if (id == cmd::kLoad || id == cmd::kSave) return true;
    if (isMonitorCommand(id)) return monitor_->IsAvailable(monitorOperationOf(id));
    if ((id >= cmd::kTrainerConnect && id <= cmd::kTrainDribble) || isChangePlaymodeCommand(id)) return true;
    const int lp = logPlayerCommandOf(id);
    if (lp >= 0) return logPlayer_->availability(lp);
    CDisplayer* display = display_.load();
    if (id == cmd::kEnlargePlayer) return display && display->QueryCommand(kOpEnlarge);
    if (id == cmd::kReducePlayer) return display && display->QueryCommand(kOpReduce);
    if (displayOperationOf(id) >= 0 || isSelectCommand(id)) return display != nullptr;
    if (id == cmd::kSeparated || id == cmd::kSceneEdit) return display != nullptr;
    if (id == cmd::kHide) return separated_;
    return action(id) != nullptr;
}

bool CMainFrame::commandChecked(int id) const {
    CDisplayer* display = display_.load();
    if (id >= cmd::kFirstBarView && id < cmd::kFirstBarView + kToolBarCount) {
        return !toolBar(id - cmd::kFirstBarView)->isHidden();
    }
    if (id == cmd::kTop) return onTop_;
    if (id == cmd::kSeparated) return separated_;
    switch (id) {
        case cmd::kTrainShoot:
            return trainer_.shoot;
        case cmd::kTrainAttack:
            return trainer_.attack;
        case cmd::kTrainIntercept:
            return trainer_.intercept;
        case cmd::kTrainKicker:
            return trainer_.kicker;
        case cmd::kTrainDribble:
            return trainer_.dribble;
        default:
            break;
    }
    if (!display) return false;
    if (isSelectCommand(id)) return display->selected() == id - cmd::kSelectFirstLeft;
    const int op = displayOperationOf(id);
    if (op < 0 || op == kOpEnlarge || op == kOpReduce) return false;
    return display->QueryCommand(op);
}

void CMainFrame::updateCommandUi() {
    for (auto& [id, act] : actions_) {
        act->setEnabled(commandEnabled(id));
        if (act->isCheckable()) act->setChecked(commandChecked(id));
    }
    for (auto& [id, act] : contextActions_) act->setEnabled(commandEnabled(id));
}

void CMainFrame::draw(const std::optional<cycle_info_t>& record) {
    if (CDisplayer* display = display_.load()) display->SetCurrentRecord(record);
}

void CMainFrame::logPlayerCommand(int number) {
    logPlayer_->command(number);
    draw(logPlayer_->current());
}

void CMainFrame::onCommand(int id) {
    if (!commandEnabled(id)) return;
    CDisplayer* display = display_.load();
    if (id == cmd::kLoad) {
        chosenPath_.reset();
        applyStoreBudget();
        logPlayer_->command(kCmdOpen);
        if (chosenPath_) reportLoad(*chosenPath_);
    } else if (const int lp = logPlayerCommandOf(id); lp >= 0) {
        logPlayerCommand(lp);
    } else if (isSelectCommand(id)) {
        if (display) display->DisplayCommand(kOpSelect, id - cmd::kSelectFirstLeft);
    } else if (id == cmd::kFullScreen) {
        if (separated_) {
            if (display) display->DisplayCommand(kOpFullScreen);
        } else if (isMaximized()) {
            showNormal();
        } else {
            showMaximized();
        }
    } else if (const int op = displayOperationOf(id); op >= 0) {
        if (display) display->DisplayCommand(op);
        // The display's opponent-model flag and the model's switch go together.
        if (display && op == kOpOpponentModel) opponentModel_->Toggle();
    } else if (id >= cmd::kFirstBarView && id < cmd::kFirstBarView + kToolBarCount) {
        QToolBar* bar = toolBar(id - cmd::kFirstBarView);
        bar->setVisible(bar->isHidden());
    } else if (isMonitorCommand(id)) {
        monitorCommand(id);
    } else if (isChangePlaymodeCommand(id)) {
        trainer_.ChangePlaymodeCommand(id);
    } else {
        switch (id) {
            case cmd::kNewInstance:
                // The new one opens beside this one, not on top of it.
                QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                        {QStringLiteral("--at"), QStringLiteral("%1,%2")
                                                                     .arg(frameGeometry().left() + kInstanceOffset)
                                                                     .arg(frameGeometry().top() + kInstanceOffset)});
                break;
            case cmd::kHide:
                if (separated_) setVisible(!isVisible());
                break;
            case cmd::kTop:
                onTop_ = !onTop_;
                applyOnTop();
                break;
            case cmd::kSeparated:
                if (display && owner_) {
                    const bool next = !separated_;
                    profile_.writeInt(QStringLiteral("Displayer"), QStringLiteral("Separated"), next ? 1 : 0);
                    owner_->placeDisplay(next);
                }
                break;
            case cmd::kAbout:
                if (owner_) owner_->showAbout(this);
                break;
            case cmd::kStatistics:
                toggleStatisticDialog(*this, statisticDialog_);
                break;
            case cmd::kPresent:
                refreshStatistics();
                if (display) display->TogglePresent();
                break;
            case cmd::kTypeExplorer:
                runTypeExplorer(*this);
                break;
            case cmd::kObjectDetails:
                if (display) display->ToggleDetails();
                break;
            case cmd::kDrawingTools:
                if (display) display->ToggleDrawingBox();
                break;
            case cmd::kAutoplayer:
                runAutoplayConfiger(profile_, this);
                break;
            case cmd::kSceneEdit:
                if (display) toggleSceneEditor(*display, *logPlayer_);
                break;
            case cmd::kPosInfoToFile:
                writePositionDumpFiles();
                break;
            case cmd::kSaveOpponentModel:
                saveOpponentModel();
                break;
            case cmd::kTrainerConnect:
                trainer_.Connect(monitor_->host());
                break;
            case cmd::kTrainerDisconnect:
                trainer_.Disconnect();
                break;
            case cmd::kTrainShoot:
                trainer_.shoot = !trainer_.shoot;
                break;
            case cmd::kTrainAttack:
                trainer_.attack = !trainer_.attack;
                break;
            case cmd::kTrainIntercept:
                trainer_.intercept = !trainer_.intercept;
                // The header's counters come and go with the mode.
                if (display) display->update();
                break;
            case cmd::kTrainKicker:
                trainer_.kicker = !trainer_.kicker;
                break;
            case cmd::kTrainDribble:
                trainer_.dribble = !trainer_.dribble;
                break;
            case cmd::kExit:
                close();
                break;
            default:
                break;
        }
    }
    updateCommandUi();
}

void CMainFrame::handleKey(QKeyEvent* event) {
    int id = -1;
    switch (event->key()) {
        case Qt::Key_Tab:
            id = cmd::kObjectDetails;
            break;
        case Qt::Key_Left:
            id = cmd::kBackward;
            break;
        case Qt::Key_Right:
            id = cmd::kForward;
            break;
        case Qt::Key_Up:
            id = cmd::kEnlargePlayer;
            break;
        case Qt::Key_Down:
            id = cmd::kReducePlayer;
            break;
        case Qt::Key_F2:
            id = cmd::kLoad;
            break;
        case Qt::Key_F3:
            id = cmd::kZoomIn;
            break;
        case Qt::Key_F4:
            id = cmd::kZoomOut;
            break;
        case Qt::Key_F5:
            id = cmd::kPlay;
            break;
        case Qt::Key_Escape:
            if (CDisplayer* display = display_.load()) display->leaveFullScreen();
            updateCommandUi();
            return;
        case Qt::Key_Space:
            // One step of the debugging clients; dropped while not connected.
            monitor_->SendText("(disponestep)");
            event->accept();
            return;
        case Qt::Key_Delete:
            if (CDisplayer* display = display_.load()) display->DeleteSelected();
            event->accept();
            return;
        default:
            break;
    }
    if (id < 0 && !event->text().isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        id = commandOfCharacter(event->text().at(0));
    }
    if (id >= 0) {
        onCommand(id);
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::keyPressEvent(QKeyEvent* event) { handleKey(event); }

bool CMainFrame::focusNextPrevChild(bool) { return false; }  // Tab is a command key

void CMainFrame::applyStoreBudget() {
    StoreBudget budget = logPlayer_->budget();
    const int records = profile_.readInt(kSection, QStringLiteral("MaxRecords"), int{StoreBudget::kDefaultRecords});
    budget.records = records > 0 ? static_cast<std::size_t>(records) : StoreBudget::kDefaultRecords;
    logPlayer_->setBudget(budget);
}

void CMainFrame::openDocument(const QString& path) {
    applyStoreBudget();
    logPlayer_->command(kCmdLoad, pathBytes(path));
    reportLoad(path);
    // While the parser is still to deliver the first record, its add draws it; drawing
    // "none" here could overwrite that record if it arrived in between.
    const bool reading = logPlayer_->parsing();
    const auto record = logPlayer_->current();
    if (record || !reading) draw(record);
    updateCommandUi();
}

void CMainFrame::displayDroppedFiles(const QStringList& paths) {
    for (const QString& path : paths) openDocument(path);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    displayDroppedFiles(paths);
}

void CMainFrame::displayStartReplay() {
    // A live game is stored without moving the playback position, which would leave the
    // replay at the first record with nothing to send: while connected it goes back from
    // the newest record instead.
    if (monitor_->connected()) logPlayer_->moveToLast();
    logPlayer_->setReplayMode(true);
    logPlayerCommand(kCmdPlay);
}

void CMainFrame::onTimer() {
    draw(logPlayer_->timerTick());
    if (!logPlayer_->running()) updateCommandUi();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    CDisplayer* display = display_.load();
    if (display) display->savePlacement();
    const QRect frame = frameGeometry();
    profile_.writeInt(kSection, QStringLiteral("left"), frame.left());
    profile_.writeInt(kSection, QStringLiteral("Top"), frame.top());
    profile_.writeInt(kSection, QStringLiteral("OnTop"), onTop_ ? 1 : 0);
    profile_.writeInt(kSection, QStringLiteral("Hide"), isVisible() ? 0 : 1);
    int bars0 = 0;
    for (int i = 0; i < 8; ++i) {
        if (!toolBar(i)->isHidden()) bars0 |= 1 << i;
    }
    profile_.writeInt(kSection, QStringLiteral("ToolBars0"), bars0);
    profile_.writeInt(kSection, QStringLiteral("ToolBars1"), toolBar(8)->isHidden() ? 0 : 1);
    profile_.sync();
    timer_.stop();
    event->accept();
    // The display's own window goes with the program.
    if (display && separated_) display->hide();
    if (quitOnClose_) QCoreApplication::quit();
}

void CMainFrame::startTimer(int periodMs) { timer_.start(std::max(1, periodMs)); }

void CMainFrame::stopTimer() { timer_.stop(); }

void CMainFrame::drawRecord(const cycle_info_t& record) {
    // May run on a producer thread with the log player's lock held: the display copies
    // the record under its own lock and queues the repaint. The first record of a game
    // also makes playback available, so the buttons are brought up to date soon after.
    draw(record);
    QMetaObject::invokeMethod(this, &CMainFrame::updateCommandUi, Qt::QueuedConnection);
}

std::optional<std::string> CMainFrame::askOpenPath() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Load"), recent_->lastFolder(),
                                     tr("Game logs (*.rcg *.slg *.slh *.rcg.gz *.slg.gz *.slh.gz);;All files (*)"));
    if (path.isEmpty()) return std::nullopt;
    chosenPath_ = path;
    return QFile::encodeName(path).toStdString();
}

std::optional<std::string> CMainFrame::askSavePath() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Save"), recent_->lastFolder(),
                                                      tr("Game logs (*.rcg *.slg *.slh);;All files (*)"));
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

std::optional<int> CMainFrame::askJumpCycle(int firstCycle, int lastCycle, int currentCycle) {
    CCycleSlider dialog(*logPlayer_, firstCycle, lastCycle, currentCycle, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosenCycle();
}

void CMainFrame::showMessage(const std::string& text) {
    // Also on the status bar; this may run on the parser thread.
    const QString message = QString::fromStdString(text);
    QMetaObject::invokeMethod(
        this, [this, message] { flashStatus(message); }, Qt::QueuedConnection);
    if (dialogs_.showMessage) {
        dialogs_.showMessage(text);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, message] { QMessageBox::information(this, QStringLiteral("Tessarin"), message); },
        Qt::QueuedConnection);
}

void CMainFrame::sendReplayPacket(const std::vector<std::uint8_t>& packet) {
    if (monitor_) monitor_->SendBytes(packet.data(), packet.size());
}

void CMainFrame::monitorCommand(int id) {
    const int operation = monitorOperationOf(id);
    if (operation <= kMonitorKickOff) {
        monitor_->Command(operation);
        return;
    }
    // The referee commands act on the field display's menu point and selection.
    CDisplayer* display = display_.load();
    if (!display) return;
    const QPoint point = display->menuPoint();
    const SidedUnum who = sidedUnumOf(display->selected());
    switch (operation) {
        case kMonitorMovePlayer:
            monitor_->Command(operation, who.side, who.unum, point.x(), point.y());
            break;
        case kMonitorDiscardPlayer:
            monitor_->Command(operation, who.side, who.unum);
            break;
        default:
            monitor_->Command(operation, point.x(), point.y());
            break;
    }
}

void CMainFrame::displaySendText(const std::string& text) { monitor_->SendText(text); }

void CMainFrame::displayRecover() {
    if (trainer_.connected()) trainer_.Recover();
}

void CMainFrame::displayPaintStep(const std::optional<ShowState>& shown, bool recover) {
    if (!trainer_.connected()) return;
    trainer_.Step(shown);
    if (recover) trainer_.Recover();
}

std::optional<std::array<int, 2>> CMainFrame::displayHeaderCounters() const {
    if (!trainer_.intercept) return std::nullopt;
    return std::array<int, 2>{trainer_.attacker_wins(), trainer_.defender_wins()};
}

void CMainFrame::displayContextMenu(bool logMode, QPoint globalPosition) {
    updateCommandUi();
    contextMenu(logMode)->exec(globalPosition);
}

void CMainFrame::setLogMode(bool logMode) {
    if (CDisplayer* display = display_.load()) display->SetLogMode(logMode);
}

void CMainFrame::setDebugText(const std::string& text) {
    if (CDisplayer* display = display_.load()) display->SetDebugText(text);
}

std::optional<ServerAddress> CMainFrame::askServer() {
    if (dialogs_.askServer) return dialogs_.askServer();
    // The dialog writes the "Socket" settings when it is destroyed, after OK and Cancel alike.
    CSocketDialog dialog(profile_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ServerAddress{dialog.host().toStdString(), dialog.port()};
}

bool CMainFrame::askYesNo(const std::string& text, const std::string& caption) {
    if (dialogs_.askYesNo) return dialogs_.askYesNo(text, caption);
    return QMessageBox::question(this, QString::fromStdString(caption), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

CStatisticDialog* CMainFrame::statisticDialog() const { return statisticDialog_; }

void CMainFrame::refreshStatistics() {
    logPlayer_->withStore([this](const std::vector<cycle_info_t>&) { return analyzer_->ComputeStatistics(); });
}

void CMainFrame::writePositionDumpFiles() {
    const bool wasRunning = logPlayer_->pause();
    const PositionDumpResult result = logPlayer_->withStore(
        [this](const std::vector<cycle_info_t>& records) { return writePositionDump(records, *opponentModel_); });
    if (wasRunning) logPlayer_->resume();
    reportPositionDump(result);
    if (!result.failedFiles.empty()) {
        QStringList names;
        for (const auto& name : result.failedFiles) names << QString::fromStdString(name);
        QMessageBox::warning(this, QStringLiteral("Tessarin"),
                             tr("These files could not be written: %1").arg(names.join(QStringLiteral(", "))));
    }
}

void CMainFrame::saveOpponentModel() {
    // The team names are those of the record the display shows.
    std::optional<cycle_info_t> shown;
    if (CDisplayer* display = display_.load()) shown = display->scene().current;
    if (!shown || shown->kind != kShowRecord) shown = logPlayer_->last();
    if (!shown || shown->kind != kShowRecord) return;
    const OpponentModelSaveResult result = opponentModel_->Save(shown->show());
    QStringList problems;
    for (std::size_t side = 0; side < 2; ++side) {
        if (result.team[side] == TeamSaveStatus::Failed) {
            problems << tr("\"%1\" could not be written: %2")
                            .arg(QString::fromStdString(result.file[side]),
                                 QString::fromLocal8Bit(std::strerror(result.error[side])));
        }
    }
    if (!problems.isEmpty()) QMessageBox::warning(this, QStringLiteral("Tessarin"), problems.join(QLatin1Char('\n')));
}

}  // namespace tessarin
