#pragma once

// The main window: menus, nine tool bars, the command table and the playback timer. It
// owns the log player, hands each record to the display, and makes and wires the tool
// windows (statistics, type explorer, and the display's details, drawing tools and
// present dialog).

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "analysis/OpponentModel.h"
#include "app/CommandTable.h"
#include "app/FrameOwner.h"
#include "display/Displayer.h"
#include "live/MonitorConnection.h"
#include "live/MonitorHost.h"
#include "live/OfflineCoach.h"
#include "record/LogPlayer.h"
#include "record/PlaybackHost.h"

class QAction;
class QMenu;
class QToolBar;

namespace tessarin {

class AutoplayRunner;
class CAutoplayConfiger;
class CStatisticDialog;
class ClipExporter;
struct ClipDebugLogs;
class CTypeExplorer;
class DebugLogLink;
class DisplayToolWindows;
class GamesWindow;
class Profile;
class RecentFiles;
class StatusBar;
struct PositionDumpResult;

inline constexpr int kToolBarCount = 9;
// Shown at first start: bars 1, 2, 3, 6 and 7, and bar 8.
inline constexpr int kDefaultToolBars0 = 206;
inline constexpr int kDefaultToolBars1 = 207;
// Height the separated frame keeps below its bars, in pixels.
inline constexpr int kBarStripMargin = 3;
// How far a new instance opens right of and below this one, in pixels.
inline constexpr int kInstanceOffset = 32;

// Replacements for the frame's modal questions and message boxes; an empty one leaves
// the real dialog in place. Tests answer through them.
struct FrameDialogs {
    std::function<std::optional<ServerAddress>()> askServer;
    std::function<bool(const std::string& text, const std::string& caption)> askYesNo;
    std::function<void(const std::string& text)> showMessage;
    // Asks for a folder; none when cancelled.
    std::function<std::optional<QString>(const QString& caption)> askFolder;
};

class CMainFrame final : public QMainWindow, public PlaybackHost, public DisplayerHost, public MonitorHost {
    Q_OBJECT

public:
    // The trainer is the program's one offline coach; it outlives the frame.
    CMainFrame(Profile& profile, COfflineCoach& trainer, QWidget* parent = nullptr);
    // Ends the live connection (keeping the display) before the log player goes away.
    ~CMainFrame() override;

    LogPlayer& logPlayer() { return *logPlayer_; }
    // The analysis of the loaded game, fed under the log player's lock: read it on the
    // GUI thread inside logPlayer().withStore() or once loading has finished.
    BehaviorAnalyzer& analyzer() { return *analyzer_; }
    OpponentModel& opponentModel() { return *opponentModel_; }
    Profile& profile() { return profile_; }
    CMonitorConnection& monitor() { return *monitor_; }
    COfflineCoach& trainer() { return trainer_; }
    // Call before a game is loaded or a connection opened (see dialogs_).
    void setDialogs(FrameDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // The display's context menus: log-player mode and monitor mode.
    QMenu* contextMenu(bool logMode) const { return logMode ? logContextMenu_ : monitorContextMenu_; }

    // Which display the frame has (none allowed) and whether it is a window of its own.
    void setDisplayer(CDisplayer* display, bool separated);
    CDisplayer* displayer() const { return display_.load(); }
    bool separated() const { return separated_; }
    // The application that places the display and shows the about box; none in tests
    // that build a frame alone.
    void setOwner(FrameOwner* owner) { owner_ = owner; }

    // Runs command `id` as the menu, a button or a key would; a disabled command does nothing.
    void onCommand(int id);
    bool commandEnabled(int id) const;
    // Brings every action's enabled and checked state up to date; runs after every
    // command and whenever the state behind a check mark changes.
    void updateCommandUi();
    // The rows the actions are made from.
    const std::vector<Command>& commands() const { return commands_; }

    // Loads a game file and draws its current record; a file that is not a game keeps
    // the open one, and the user is told why.
    void openDocument(const QString& path);
    // The file whose game is open (none once a live game replaced it).
    const QString& gameFile() const { return gameFile_; }
    RecentFiles& recentFiles() { return *recent_; }
    StatusBar& statusLine() { return *status_; }
    // Shows a message in the status bar for a few seconds.
    void flashStatus(const QString& message);
    // Brings the status bar and the window titles up to date.
    void refreshStatus();

    QToolBar* toolBar(int index) const { return toolBars_[static_cast<std::size_t>(index)]; }
    QAction* action(int id) const;
    bool onTop() const { return onTop_; }
    // Resizes the frame to the bars (separated) or to bars and display (inside).
    void fitToContents();
    // Bottom edge of the menu and the docked tool bars, in frame coordinates.
    int barsBottom();

    // PlaybackHost
    void startTimer(int periodMs) override;
    void stopTimer() override;
    void drawRecord(const cycle_info_t& record) override;
    std::optional<std::string> askOpenPath() override;
    std::optional<std::string> askSavePath() override;
    std::optional<SaveTarget> askSaveTarget() override;
    std::optional<int> askJumpCycle(int firstCycle, int lastCycle, int currentCycle) override;
    void showMessage(const std::string& text) override;
    void sendReplayPacket(const std::vector<std::uint8_t>& packet) override;

    // DisplayerHost
    void displayDroppedFiles(const QStringList& paths) override;
    void displayCloseRequested() override { close(); }
    void displayStartReplay() override;
    const LogPlayer* displayLogPlayer() const override { return logPlayer_.get(); }
    const BehaviorAnalyzer* displayAnalyzer() const override { return analyzer_.get(); }
    void displaySendText(const std::string& text) override;
    void displayRecover() override;
    void displayPaintStep(const std::optional<ShowState>& shown, bool recover) override;
    std::optional<std::array<int, 2>> displayHeaderCounters() const override;
    void displayContextMenu(bool logMode, QPoint globalPosition) override;

    // MonitorHost: displayExists, setCurrentRecord and setDebugText run on the receiving
    // thread too; they only read the atomic display pointer and call the display's
    // thread-safe setters.
    bool displayExists() const override { return display_.load() != nullptr; }
    void setCurrentRecord(const std::optional<cycle_info_t>& record) override { draw(record); }
    void setLogMode(bool logMode) override;
    void drawLogPlayerRecord() override { draw(logPlayer_->current()); }
    void setDebugText(const std::string& text) override;
    std::optional<ServerAddress> askServer() override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void disconnectTrainer() override { trainer_.Disconnect(); }
    void liveGameStarted() override;
    void connectionUnanswered() override;
    void serverSaid(const std::string& text) override;
    void storeFull() override { scheduleUiUpdate(); }

    // Whether closing the frame ends the program (the running application sets it).
    void setQuitOnClose(bool on) { quitOnClose_ = on; }

    // The statistics dialog and the type explorer, once their commands made them.
    CStatisticDialog* statisticDialog() const;
    // The autoplay loop, and its dialog while that is open.
    AutoplayRunner& autoplay() const { return *autoplay_; }
    CAutoplayConfiger* autoplayDialog() const;
    CTypeExplorer* typeExplorer() const;
    // The display's tool windows; none while the frame has no display.
    DisplayToolWindows* toolWindows() const { return toolWindows_.get(); }
    // The players' debug logs of the game: the "Debug Log" window and its drawings.
    DebugLogLink& debugLogs() const { return *debugLogs_; }
    // The "Games" window, once "Open Folder" made it.
    GamesWindow* gamesWindow() const;
    // Lists the games of a folder in the "Games" window, made on first use, and shows it.
    void openGamesFolder(const QString& folder);
    // The players' debug log the display draws now: the listed one, while its window shows.
    ClipDebugLogs shownDebugLogs() const;
    // The clip export, once its command made it.
    ClipExporter* clipExporter() const { return clipExporter_.get(); }

    bool playbackTimerActive() const { return timer_.isActive(); }
    int playbackTimerInterval() const { return timer_.interval(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The command table: one row per command (MainFrmCommands.cpp).
    std::vector<Command> commandTable();
    void addLogPlayerCommands(std::vector<Command>& rows);
    void addDisplayCommands(std::vector<Command>& rows);
    void addDebugAndTrainerCommands(std::vector<Command>& rows);
    void addToolCommands(std::vector<Command>& rows);
    void addSelectionCommands(std::vector<Command>& rows);
    // Runs a row as its action does: nothing when disabled, and the states brought up to date.
    void runCommand(const Command& command);
    // Brings the states up to date once, soon; safe from any thread.
    void scheduleUiUpdate();
    void toggleStatisticDialog();
    // "Autoplayer": shows the one modeless dialog, made anew after it was closed.
    void openAutoplayer();
    void connectAutoplay();
    void toggleTypeExplorer();
    void connectTrainer();
    void createActions();
    void createMenus();
    void createToolBars();
    void createContextMenus();
    // Runs monitor operation 0..8 (the Monitor commands), with the display's menu
    // point and selection for the referee's.
    void monitorCommand(int operation);
    // A yellow or red card for the selected player (protocols 3 to 5).
    void giveCard(Card card);
    // Says on the status bar when the server has not answered a connect in time.
    void watchForSilence();
    void readBarSettings();
    QMenu* addMenuItems(QMenu* menu, std::initializer_list<int> ids);
    void logPlayerCommand(int number);
    void draw(const std::optional<cycle_info_t>& record);
    void onTimer();
    void applyOnTop();
    void setBarVisible(int index, bool visible);
    void scheduleFit();
    bool frameMaximizedOrDisplayFull() const;

    // Brings the statistics up to date under the store's lock.
    void refreshStatistics();
    void writePositionDumpFiles();
    // After a load: says why a file was refused, or makes it the open and newest recent file
    // and tells the display that its game was replaced.
    void reportLoad(const QString& path);
    // Sets the store's budget from the settings before a load ("MaxRecords" in [MainFrame]).
    void applyStoreBudget();
    // Once a load has been read: says in the status bar what the reader had to say.
    void reportLoadNotice();
    void createStatusAndRecentFiles();
    // Says in the status bar where the dump went and how much it wrote.
    void reportPositionDump(const PositionDumpResult& result);
    void saveOpponentModel();
    // Asks for a folder through dialogs_ or a folder dialog; none when cancelled.
    std::optional<QString> askFolder(const QString& caption);
    // Moves the game to a cycle asked for by a tool window and draws it.
    void jumpToCycle(int cycle);

    Profile& profile_;
    // Declared before the log player, so that they outlive it and its parser thread.
    std::unique_ptr<BehaviorAnalyzer> analyzer_;
    std::unique_ptr<OpponentModel> opponentModel_;
    std::unique_ptr<GameAnalysis> analysis_;
    std::unique_ptr<LogPlayer> logPlayer_;
    COfflineCoach& trainer_;  // GUI thread only
    // Declared after the log player: destroyed first, its receiver joined before the
    // store and the display go away.
    std::unique_ptr<CMonitorConnection> monitor_;
    // Set on the GUI thread before a game is loaded or received and read-only afterwards:
    // showMessage may read it on the parser thread.
    FrameDialogs dialogs_;
    QMenu* logContextMenu_ = nullptr;
    QMenu* monitorContextMenu_ = nullptr;
    // Read by producer threads (drawRecord); set on the GUI thread.
    std::atomic<CDisplayer*> display_{nullptr};
    bool separated_ = true;
    bool onTop_ = false;
    bool fitPending_ = false;
    bool quitOnClose_ = false;
    QTimer timer_;  // the playback timer
    // Set by scheduleUiUpdate on any thread, cleared on the GUI thread by the update.
    std::atomic<bool> uiUpdatePending_{false};
    std::array<QToolBar*, kToolBarCount> toolBars_{};
    std::vector<Command> commands_;
    std::map<int, CommandAction*> actions_;
    FrameOwner* owner_ = nullptr;
    QPointer<CStatisticDialog> statisticDialog_;  // created on first use, a child of the frame
    QPointer<CTypeExplorer> typeExplorer_;        // the same
    std::unique_ptr<AutoplayRunner> autoplay_;    // GUI thread; the loop outlives its dialog
    QPointer<CAutoplayConfiger> autoplayDialog_;  // deleted when it closes
    std::unique_ptr<DisplayToolWindows> toolWindows_;
    // Made with the frame, before any record is drawn; draw() hands it records on any thread.
    std::unique_ptr<DebugLogLink> debugLogs_;
    QPointer<GamesWindow> gamesWindow_;           // created on first use, a window of its own
    std::unique_ptr<ClipExporter> clipExporter_;  // "Export Clip...", made on first use
    // GUI thread only: the feedback around the game.
    std::unique_ptr<StatusBar> status_;
    std::unique_ptr<RecentFiles> recent_;
    QString gameFile_;
    bool liveGame_ = false;              // the store holds a game received live
    bool loadNoticePending_ = false;     // a load's warning is still to be said
    std::size_t restartsShown_ = 0;      // the analysis' restarts already said
    bool budgetShown_ = false;           // the store's budget, reached by a live game, was said
    std::optional<QString> chosenPath_;  // the open dialog's answer during a Load
};

}  // namespace tessarin
