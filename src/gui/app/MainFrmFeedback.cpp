// The main frame's feedback: the status bar, the window titles, the recent files and
// what the user is told when a load, a connection or a dump did not do what was asked.

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "analysis/PositionDump.h"
#include "app/DebugLogLink.h"
#include "app/MainFrm.h"
#include "app/RecentFiles.h"
#include "app/StatusBar.h"
#include "export/ClipSource.h"
#include "record/LoadFailure.h"
#include "windows/AutoplayConfiger.h"
#include "windows/DebugLogWindow.h"

namespace tessarin {

void CMainFrame::createStatusAndRecentFiles() {
    status_ = std::make_unique<StatusBar>(*this);
    // The sub-menu closes the System menu.
    QMenu* system = menuBar()->actions().front()->menu();
    QMenu* recent = system->addMenu(tr("Recent Files"));
    recent_ = std::make_unique<RecentFiles>(profile_, *recent, [this](const QString& path) { openDocument(path); });
}

void CMainFrame::flashStatus(const QString& message) { status_->flash(message); }

void CMainFrame::reportLoadNotice() {
    // A restart of the analysis (a cycle lower than the last) is said once each time.
    const auto [restarts, restart] = logPlayer_->withStore([this](const std::vector<cycle_info_t>&) {
        return std::pair{analyzer_->restartCount(), analyzer_->lastRestart()};
    });
    if (restarts != restartsShown_) {
        restartsShown_ = restarts;
        if (restarts != 0) {
            flashStatus(tr("The game starts again at cycle %1 after cycle %2: the analysis begins anew there")
                            .arg(restart.toCycle)
                            .arg(restart.fromCycle));
            return;
        }
    }
    // A live game that reaches the store's budget keeps no later show: say so once.
    if (!logPlayer_->overBudget()) {
        budgetShown_ = false;
    } else if (liveGame_ && !budgetShown_) {
        budgetShown_ = true;
        flashStatus(tr("No more shows are kept: %1").arg(QString::fromStdString(logPlayer_->loadWarning())));
        return;
    }
    if (!loadNoticePending_ || logPlayer_->parsing()) return;
    loadNoticePending_ = false;
    QStringList notes;
    if (const std::string warning = logPlayer_->loadWarning(); !warning.empty()) {
        notes << QString::fromStdString(warning);
    }
    if (const std::size_t dropped = logPlayer_->droppedPlayerTypes(); dropped != 0) {
        notes << tr("%1 player types beyond the first %2 were dropped").arg(dropped).arg(kMaxPlayerTypes);
    }
    if (!notes.isEmpty()) flashStatus(notes.join(QStringLiteral("; ")));
}

void CMainFrame::refreshStatus() {
    reportLoadNotice();
    StatusFacts facts;
    facts.fileName = QFileInfo(gameFile_).fileName();
    facts.hasGame = logPlayer_->size() > 0;
    facts.cycle = logPlayer_->current_cycle();
    facts.lastCycle = logPlayer_->last_cycle();
    facts.periodMs = logPlayer_->period();
    facts.running = logPlayer_->running();
    facts.reverse = logPlayer_->reverse();
    CDisplayer* display = display_.load();
    if (display) {
        const FieldScene scene = display->scene();
        // A live game shows its newest record, not the playback position.
        if (scene.current) facts.cycle = scene.current->cycle;
        if (scene.showCurrent()) facts.playmode = scene.state.playmode;
    }
    facts.live = monitor_->connected();
    if (facts.live) {
        facts.liveAddress = QStringLiteral("%1:%2").arg(QString::fromStdString(monitor_->host())).arg(monitor_->port());
        facts.received = liveGame_ ? logPlayer_->size() : 0;
    }
    status_->show(facts, display && separated_ ? display : nullptr);
}

void CMainFrame::reportLoad(const QString& path) {
    if (const auto failure = loadFailureText(*logPlayer_, QDir::toNativeSeparators(path).toStdString())) {
        showMessage(*failure);
        return;
    }
    gameFile_ = path;
    liveGame_ = false;
    loadNoticePending_ = true;
    if (CDisplayer* display = display_.load()) display->gameReplaced();
    recent_->add(path);
    debugLogs_->gameLoaded(path);
    refreshStatus();
}

void CMainFrame::liveGameStarted() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            gameFile_.clear();
            liveGame_ = true;
            if (CDisplayer* display = display_.load()) display->gameReplaced();
            refreshStatus();
        },
        Qt::QueuedConnection);
}

void CMainFrame::connectionUnanswered() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Unless a new connection was opened meanwhile, end this one as Disconnect
            // would: the display goes back to the game that was kept.
            if (!monitor_->connected()) monitor_->Disconnect(false);
            showMessage("No server answered at " + monitor_->host() + ":" + std::to_string(monitor_->port()));
            updateCommandUi();
            refreshStatus();
        },
        Qt::QueuedConnection);
}

void CMainFrame::serverSaid(const std::string& text) {
    const QString message = tr("The server answered %1").arg(QString::fromStdString(text));
    QMetaObject::invokeMethod(
        this, [this, message] { flashStatus(message); }, Qt::QueuedConnection);
}

void CMainFrame::reportPositionDump(const PositionDumpResult& result) {
    if (!result.written) {
        flashStatus(tr("No game is loaded: no position files were written"));
        return;
    }
    int written = 0;
    qint64 bytes = 0;
    for (const std::string& name : positionDumpFileNames()) {
        if (std::find(result.failedFiles.begin(), result.failedFiles.end(), name) != result.failedFiles.end()) continue;
        ++written;
        bytes += QFileInfo(QString::fromStdString(name)).size();
    }
    flashStatus(tr("Wrote %1 position files (%2 MB) to %3")
                    .arg(written)
                    .arg(static_cast<double>(bytes) / 1e6, 0, 'f', 1)
                    .arg(QDir::toNativeSeparators(QDir::currentPath())));
}

CAutoplayConfiger* CMainFrame::autoplayDialog() const { return autoplayDialog_; }

void CMainFrame::openAutoplayer() {
    if (!autoplayDialog_) {
        autoplayDialog_ = new CAutoplayConfiger(profile_, *autoplay_, this);
        // Closed, it writes its fields back; the next opening reads them again.
        connect(autoplayDialog_, &QDialog::finished, autoplayDialog_, &QObject::deleteLater);
    }
    autoplayDialog_->show();
    autoplayDialog_->raise();
    autoplayDialog_->activateWindow();
    updateCommandUi();
}

void CMainFrame::connectAutoplay() {
    connect(autoplay_.get(), &AutoplayRunner::runningChanged, this, [this](bool running) {
        flashStatus(running ? tr("Autoplay is running") : tr("Autoplay stopped"));
        updateCommandUi();
    });
    connect(autoplay_.get(), &AutoplayRunner::roundBegan, this, [this](int round, int clients) {
        flashStatus(tr("Autoplay: round %1 started with %2 clients").arg(round).arg(clients));
        updateCommandUi();
    });
    connect(autoplay_.get(), &AutoplayRunner::roundOver, this, [this](int round, bool stopped) {
        if (!stopped) flashStatus(tr("Autoplay: round %1 ended").arg(round));
        updateCommandUi();
    });
    connect(autoplay_.get(), &AutoplayRunner::clientNotStarted, this,
            [this](const QString& text) { flashStatus(tr("Autoplay: %1").arg(text)); });
}

ClipDebugLogs CMainFrame::shownDebugLogs() const {
    ClipDebugLogs shown;
    const CDebugLogWindow& window = debugLogs_->window();
    // The display draws a log's shapes only while its window shows.
    if (!window.isVisible()) return shown;
    const int current = window.currentLog();
    const auto& logs = window.logs();
    if (current < 0 || static_cast<std::size_t>(current) >= logs.size()) return shown;
    shown.logs.push_back(logs[static_cast<std::size_t>(current)]);
    shown.levels = window.levels();
    return shown;
}

}  // namespace tessarin
