#pragma once

// Ties the players' debug logs to the game the main frame shows: the "Debug Log" window
// follows the record drawn and the display's selection, its drawings go to a painter in
// the display's debug-log stage, and a game file just loaded has its logs looked for
// beside it once the game's team names are known. The field draws the drawings while the
// window is shown; hiding it takes them off, and a hidden window reads nothing.
//
// Threads: recordDrawn() may run on any thread (the parser's, the monitor's receiver);
// everything else runs on the GUI thread.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <atomic>
#include <limits>
#include <optional>

#include "agentlog/AgentLogSet.h"
#include "display/AgentLogPainter.h"
#include "record/GameRecords.h"

class QWidget;

namespace tessarin {

class CDebugLogWindow;
class CDisplayer;
class LogPlayer;
class Profile;

class DebugLogLink final : public QObject {
    Q_OBJECT

public:
    // The window is made at once (hidden) as a child of `windowParent`.
    DebugLogLink(LogPlayer& player, Profile& profile, QWidget* windowParent);
    // Takes the painter off the display and destroys the window, which writes its settings.
    ~DebugLogLink() override;
    DebugLogLink(const DebugLogLink&) = delete;
    DebugLogLink& operator=(const DebugLogLink&) = delete;

    // The display whose renderer draws the logs' shapes; none takes the painter off.
    void setDisplayer(CDisplayer* display);
    // A record was handed to the display (none allowed). Safe from any thread: the window
    // follows it on the GUI thread, once for a burst of records.
    void recordDrawn(const std::optional<cycle_info_t>& record);
    // A game file was loaded: the logs of the game before go, and those beside the file
    // are looked for as soon as the game's team names are read; without any there, the
    // folder chosen last by hand is listed again with the new game's sides.
    void gameLoaded(const QString& path);
    // Lists the logs of a folder, sides taken from the loaded game's team names; shows the
    // window. Returns how many logs were found.
    int openFolder(const QString& folder);
    // Shows the window when hidden, hides it when shown.
    void toggleWindow();

    CDebugLogWindow& window() const;
    const AgentLogPainter& painter() const { return painter_; }
    // Whether logs are still to be looked for beside the game last loaded.
    bool lookupPending() const { return !pendingGame_.isEmpty(); }

signals:
    // The window asks for a jump to a cycle.
    void cycleRequested(int cycle);
    // Something for the status line (logs found beside a game).
    void notice(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Brings the window to the record drawn last.
    void follow();
    // The place among the game's records of the record of `cycle` that was drawn.
    agentlog::GamePlace placeOf(int cycle) const;
    // The team names of the newest show record; empty when there is none.
    std::array<QString, 2> teamNames() const;
    void tryLookup();
    void syncSelection();
    void refreshPainter();
    bool windowShown() const;

    LogPlayer& player_;
    QPointer<CDebugLogWindow> window_;
    AgentLogPainter painter_;
    QPointer<CDisplayer> display_;
    std::optional<agentlog::GamePlace> place_;  // of the record drawn last
    int selection_ = -1;                        // the display's selection the window was given
    QString pendingGame_;                       // a game whose logs are still to be looked for
    QString chosenFolder_;                      // the folder chosen last by hand, if any
    QTimer lookupTimer_;                        // retries the look-up while the game is read

    static constexpr int kNoRecord = std::numeric_limits<int>::min();
    // Written by whichever thread draws, read by follow() on the GUI thread.
    std::atomic<int> drawnCycle_{kNoRecord};
    // Set when a follow() is queued, cleared by it; so a burst of records queues one.
    std::atomic<bool> followPending_{false};
};

}  // namespace tessarin
