#pragma once

// "Debug Log": the debug logs that the players of a base-library team write, beside the
// game. A check list of the library's topics (with "All" and "None", kept in section
// "DebugLog" of the settings) chooses what is shown; the messages of the shown cycle for
// one player's log are listed in file order with their topics, a filter box keeps the
// lines holding a text, and Ctrl+C copies the lines shown. "Find in all cycles" searches
// the player's whole log on a worker (with progress and Cancel) and lists the cycles;
// double-clicking one asks for a jump there. The window also gathers the drawings of the
// shown cycle (of the chosen player, or of every player with a log) for the field's
// painter. Keys other than those the lists and boxes use go to the handler the owner
// sets, so the game still steps while the window has the focus.

#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

#include "agentlog/AgentLogSet.h"
#include "agentlog/LogSearch.h"
#include "windows/ForwardingDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tessarin {

class Profile;

class CDebugLogWindow final : public ForwardingDialog {
    Q_OBJECT

public:
    CDebugLogWindow(Profile& profile, QWidget* parent = nullptr);
    ~CDebugLogWindow() override;

    // The logs of the game at gamePath, looked for beside it (its folder, "log/" and
    // "debug/") under the two team names; returns how many were found.
    int findLogsOfGame(const QString& gamePath, const QString& leftTeam, const QString& rightTeam);
    // The logs of a folder ("System > Open Debug Logs..."); the team names give their sides.
    int openFolder(const QString& folder, const QString& leftTeam, const QString& rightTeam);
    void setLogs(std::vector<agentlog::LogFileEntry> entries);
    const std::vector<agentlog::LogFileEntry>& logs() const { return set_.entries(); }

    // The game record shown now; the messages and drawings follow it.
    void showGameRecord(const agentlog::GamePlace& place);
    // The display's selection (0..10 left, 11..21 right players): its log becomes the
    // one listed, when it has one.
    void setSelection(int selected);
    // Chooses the listed log by its place in logs().
    void setCurrentLog(int entry);
    int currentLog() const;

    std::uint32_t levels() const { return levels_; }
    void setLevels(std::uint32_t levels);
    // Draw every log's shapes, not only the listed one's.
    void setAllPlayers(bool all);
    // The drawings of the shown cycle whose levels are on, on the field's coordinates.
    std::vector<agentlog::Record> drawings();
    // The message lines listed now, as Ctrl+C copies them.
    QStringList shownLines() const;

    // Starts a search of the listed log; a running one is cancelled first.
    void find(const QString& text);
    void cancelFind();
    bool findRunning() const;
    // The cycles the last search found so far.
    std::vector<agentlog::SearchHit> findHits() const;

    void reject() override;
    void accept() override {}

signals:
    // The drawings changed (another cycle, log, level or choice of players).
    void drawingsChanged();
    // A found cycle was double-clicked.
    void cycleRequested(int cycle);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildLevels();
    void refreshMessages();
    void refreshStatus();
    void poll();
    void copyShownLines() const;
    void levelsEdited();

    Profile& profile_;
    agentlog::AgentLogSet set_;
    std::unique_ptr<agentlog::LogSearch> search_;
    agentlog::GamePlace place_;
    bool havePlace_ = false;
    std::uint32_t levels_ = 0xffffffffu;
    bool allPlayers_ = false;
    bool updatingLevels_ = false;
    std::size_t shownHits_ = 0;

    QComboBox* logChoice_ = nullptr;
    QCheckBox* allPlayersBox_ = nullptr;
    QListWidget* levelList_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QListWidget* messages_ = nullptr;
    QLabel* status_ = nullptr;
    QLineEdit* findText_ = nullptr;
    QPushButton* findButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QProgressBar* findProgress_ = nullptr;
    QListWidget* results_ = nullptr;
    QTimer poll_;
};

}  // namespace tessarin
