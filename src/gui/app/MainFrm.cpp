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
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstring>

#include "analysis/PositionDump.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/CycleSlider.h"
#include "app/DebugLogLink.h"
#include "app/DigitRowKeys.h"
#include "app/RecentFiles.h"
#include "app/StatusBar.h"
#include "export/ClipExporter.h"
#include "files/PathText.h"
#include "settings/Profile.h"
#include "windows/AutoplayConfiger.h"
#include "windows/DebugLogWindow.h"
#include "windows/DisplayToolWindows.h"
#include "windows/GamesWindow.h"
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
      monitor_(std::make_unique<CMonitorConnection>(*logPlayer_, *this)),
      autoplay_(std::make_unique<AutoplayRunner>()) {
    setWindowTitle(QStringLiteral("Tessarin"));
    setAcceptDrops(true);
    setObjectName(QStringLiteral("MainFrame"));
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CMainFrame::onTimer);
    debugLogs_ = std::make_unique<DebugLogLink>(*logPlayer_, profile_, this);
    connect(debugLogs_.get(), &DebugLogLink::cycleRequested, this, &CMainFrame::jumpToCycle);
    connect(debugLogs_.get(), &DebugLogLink::notice, this, &CMainFrame::flashStatus);
    connect(&debugLogs_->window(), &ForwardingDialog::filesDropped, this, &CMainFrame::displayDroppedFiles);

    createActions();
    createMenus();
    createToolBars();
    createContextMenus();
    createStatusAndRecentFiles();
    connectAutoplay();
    // The digit row selects players by its keys' places on every layout.
    qApp->installEventFilter(new DigitRowKeys(
        [this](int unum, bool right) {
            if (QAction* select = action((right ? cmd::kSelectFirstRight : cmd::kSelectFirstLeft) + unum - 1)) {
                select->trigger();
            }
        },
        DigitRowKeys::platformReportsXkbKeycodes(), this));
    readBarSettings();
    onTop_ = profile_.readInt(kSection, QStringLiteral("OnTop"), 0) == 1;
    applyOnTop();
    updateCommandUi();
}

CMainFrame::~CMainFrame() {
    timer_.stop();
    // The clients of a running autoplay end with the program.
    autoplay_.reset();
    // The tool windows write their settings while the display and the settings exist.
    toolWindows_.reset();
    // "(dispbye)" when connected; the receiver is joined while the log player and the
    // display still exist.
    monitor_.reset();
    // The parser thread may still hand records over while it stops: end it while the
    // display pointer is valid, then forget the display.
    logPlayer_.reset();
    // No producer is left to hand it records; it takes its painter off the display.
    debugLogs_.reset();
    if (CDisplayer* display = display_.exchange(nullptr)) {
        display->setHost(nullptr);
        disconnect(display, nullptr, this, nullptr);
        for (const auto& [id, action] : actions_) display->removeAction(action);
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
    CDisplayer* old = display_.load();
    if (old && old != display) {
        toolWindows_.reset();
        old->setHost(nullptr);
        disconnect(old, nullptr, this, nullptr);
        for (const auto& [id, action] : actions_) old->removeAction(action);
    }
    display_.store(display);
    separated_ = separated;
    if (display && display != old) {
        display->setHost(this);
        // The keys keep working from the separated display while the frame is hidden.
        for (const auto& [id, action] : actions_) display->addAction(action);
        connect(display, &CDisplayer::stateChanged, this, &CMainFrame::updateCommandUi);
        toolWindows_ = std::make_unique<DisplayToolWindows>(*display, profile_);
        connect(toolWindows_.get(), &DisplayToolWindows::filesDropped, this, &CMainFrame::displayDroppedFiles);
        connect(toolWindows_.get(), &DisplayToolWindows::notice, this, &CMainFrame::flashStatus);
    }
    debugLogs_->setDisplayer(display);
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
    const auto row = std::find_if(commands_.begin(), commands_.end(), [id](const Command& c) { return c.id == id; });
    return row != commands_.end() && (!row->enabled || row->enabled());
}

void CMainFrame::updateCommandUi() {
    uiUpdatePending_ = false;
    for (const Command& command : commands_) {
        QAction* act = actions_.at(command.id);
        act->setEnabled(!command.enabled || command.enabled());
        if (command.checked) act->setChecked(command.checked());
    }
}

void CMainFrame::scheduleUiUpdate() {
    // Records arrive by the hundred while a file loads: one update is enough for them all.
    if (uiUpdatePending_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            updateCommandUi();
            refreshStatus();
        },
        Qt::QueuedConnection);
}

void CMainFrame::runCommand(const Command& command) {
    if (command.enabled && !command.enabled()) {
        updateCommandUi();
        return;
    }
    command.run();
    updateCommandUi();
    refreshStatus();
}

void CMainFrame::draw(const std::optional<cycle_info_t>& record) {
    if (CDisplayer* display = display_.load()) display->SetCurrentRecord(record);
    if (debugLogs_) debugLogs_->recordDrawn(record);
}

void CMainFrame::logPlayerCommand(int number) {
    logPlayer_->command(number);
    draw(logPlayer_->current());
}

void CMainFrame::onCommand(int id) {
    const auto row = std::find_if(commands_.begin(), commands_.end(), [id](const Command& c) { return c.id == id; });
    if (row != commands_.end()) runCommand(*row);
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
    // Every other key is a shortcut of the frame's actions.
    if (event->key() == Qt::Key_Escape) {
        if (CDisplayer* display = display_.load()) display->leaveFullScreen();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

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
    refreshStatus();
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
    autoplay_->stop();
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
    scheduleUiUpdate();
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

std::optional<SaveTarget> CMainFrame::askSaveTarget() {
    // The text log of version 6 keeps what the binary one has no room for (cards, logos).
    const QString version6 = tr("Game logs, version 6 text (*.rcg *.rcg.gz)");
    QString chosen;
    const QString path = QFileDialog::getSaveFileName(this, tr("Save"), recent_->lastFolder(),
                                                      tr("Game logs (*.rcg *.slg *.slh)") + QStringLiteral(";;") +
                                                          version6 + QStringLiteral(";;") + tr("All files (*)"),
                                                      &chosen);
    if (path.isEmpty()) return std::nullopt;
    return SaveTarget{QFile::encodeName(path).toStdString(), chosen == version6};
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

void CMainFrame::monitorCommand(int operation) {
    if (operation <= kMonitorKickOff) {
        monitor_->Command(operation);
        if (operation == kMonitorConnect || operation == kMonitorReconnect) watchForSilence();
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

void CMainFrame::watchForSilence() {
    if (!monitor_->connected()) return;
    // A check that belongs to an earlier connection finds the new one not yet timed out.
    // A coarse timer may fire a little early and miss the time-out: this one is precise.
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(CMonitorConnection::kAnswerTimeout) +
                      std::chrono::milliseconds(100);
    QTimer::singleShot(wait, Qt::PreciseTimer, this, [this] {
        if (monitor_->silentFor(std::chrono::steady_clock::now())) {
            flashStatus(QString::fromStdString(monitor_->silenceNote()));
        }
    });
}

void CMainFrame::giveCard(Card card) {
    CDisplayer* display = display_.load();
    if (!display) return;
    const SidedUnum who = sidedUnumOf(display->selected());
    if (!monitor_->GiveCard(who.side, who.unum, card))
        flashStatus(tr("A card needs a selected player and protocol 3 to 5"));
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
    // Connecting and disconnecting change what the Monitor commands allow.
    scheduleUiUpdate();
}

void CMainFrame::setDebugText(const std::string& text) {
    if (CDisplayer* display = display_.load()) display->SetDebugText(text);
}

std::optional<ServerAddress> CMainFrame::askServer() {
    if (dialogs_.askServer) return dialogs_.askServer();
    // The dialog writes the "Socket" settings when it is destroyed, after OK and Cancel alike.
    CSocketDialog dialog(profile_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ServerAddress{dialog.host().toStdString(), dialog.port(), dialog.protocol()};
}

bool CMainFrame::askYesNo(const std::string& text, const std::string& caption) {
    if (dialogs_.askYesNo) return dialogs_.askYesNo(text, caption);
    return QMessageBox::question(this, QString::fromStdString(caption), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

CStatisticDialog* CMainFrame::statisticDialog() const { return statisticDialog_; }

CTypeExplorer* CMainFrame::typeExplorer() const { return typeExplorer_; }

void CMainFrame::toggleStatisticDialog() {
    refreshStatistics();
    if (statisticDialog_ && statisticDialog_->isVisible()) {
        statisticDialog_->hide();
        return;
    }
    if (!statisticDialog_) {
        statisticDialog_ = new CStatisticDialog(*analyzer_, *logPlayer_, profile_, this);
        connect(statisticDialog_, &ForwardingDialog::filesDropped, this, &CMainFrame::displayDroppedFiles);
    }
    statisticDialog_->show();
    statisticDialog_->refresh();
}

void CMainFrame::toggleTypeExplorer() {
    // One explorer, shown and hidden like the other tool windows; it lists the types of
    // the game loaded when it was made, so a hidden one is made anew.
    if (typeExplorer_ && typeExplorer_->isVisible()) {
        typeExplorer_->close();
        return;
    }
    delete typeExplorer_;
    typeExplorer_ = new CTypeExplorer(*logPlayer_, profile_, this);
    typeExplorer_->setAttribute(Qt::WA_DeleteOnClose);
    connect(typeExplorer_, &ForwardingDialog::filesDropped, this, &CMainFrame::displayDroppedFiles);
    typeExplorer_->show();
}

void CMainFrame::connectTrainer() {
    const std::string host = monitor_->host().empty() ? std::string("localhost") : monitor_->host();
    trainer_.Connect(monitor_->host());
    const QString where = QStringLiteral("%1:%2").arg(QString::fromStdString(host)).arg(trainer_.port());
    if (trainer_.connected()) {
        flashStatus(tr("Trainer connected to the offline coach port %1").arg(where));
    } else {
        flashStatus(tr("Trainer could not connect to %1").arg(where));
    }
}

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

namespace tessarin {

GamesWindow* CMainFrame::gamesWindow() const { return gamesWindow_; }

void CMainFrame::openGamesFolder(const QString& folder) {
    if (!gamesWindow_) {
        // A window of its own that stays open while its games are opened in the viewer.
        gamesWindow_ = new GamesWindow(GamesCache::defaultFile(), this);
        connect(gamesWindow_, &GamesWindow::openGame, this, &CMainFrame::openDocument);
    }
    gamesWindow_->show();
    gamesWindow_->raise();
    gamesWindow_->openFolder(folder);
}

std::optional<QString> CMainFrame::askFolder(const QString& caption) {
    if (dialogs_.askFolder) return dialogs_.askFolder(caption);
    const QString folder = QFileDialog::getExistingDirectory(this, caption, recent_->lastFolder());
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

void CMainFrame::jumpToCycle(int cycle) {
    if (!logPlayer_->availability(kCmdJump)) return;
    logPlayer_->jumpTo(cycle);
    draw(logPlayer_->current());
    updateCommandUi();
    refreshStatus();
}

}  // namespace tessarin
