#pragma once

// The "Games" window: the games of a folder in a table (file, time, teams, score,
// cycles, size, and a chosen team's result), sortable by any column and filtered by
// team name, with the chosen team's figures over its games in a line under the table.
// The folder is scanned on a worker thread with a progress bar and a Cancel button;
// summaries already scanned come from a small cache file. Opening a game is asked of
// the owner through openGame(); the window stays open, and N / P (or Alt+Down /
// Alt+Up) open the next / previous game of the table.

#include <QWidget>
#include <set>
#include <stop_token>
#include <thread>
#include <vector>

#include "analysis/BatchRunner.h"
#include "windows/GamesCache.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace tessarin {

class GamesFilterModel;

class GamesWindow final : public QWidget {
    Q_OBJECT

public:
    // Columns of the table.
    enum Column { kFile, kTime, kLeft, kScore, kRight, kCycles, kSize, kResult, kNote, kColumnCount };

    // `cacheFile` holds the scanned summaries (GamesCache::defaultFile() in the viewer).
    // `summarize` stands in for summarizeGame (tests); it runs on worker threads.
    explicit GamesWindow(const QString& cacheFile, QWidget* parent = nullptr, SummarizeFn summarize = {});
    // Stops a scan still running and waits for its worker.
    ~GamesWindow() override;

    // Lists the games of `folder` (searched recursively), replacing what was listed.
    void openFolder(const QString& folder);
    // Stops the scan at once: the rows found stay, nothing more is added.
    void cancelScan();
    bool scanning() const { return scanning_; }
    const QString& folder() const { return folder_; }

    // The team whose results and figures are shown; empty for none.
    void setTeam(const QString& team);
    QString team() const;
    // Shows only the games a team of this name (a part of it, any case) played.
    void setFilterText(const QString& text);

    // Opens the game of a row of the table as it is sorted and filtered; the next and
    // previous rows of the current one.
    void openRow(int row);
    void openNext();
    void openPrevious();

    QTableView* table() const { return table_; }
    QString aggregateText() const;
    // The summaries listed, in the order they arrived.
    const std::vector<GameSummary>& games() const { return games_; }
    const GamesCache& cache() const { return cache_; }

signals:
    void openGame(const QString& path);
    // A scan ended, by itself or cancelled.
    void scanFinished(bool cancelled);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    // The worker's results, delivered on the GUI thread; `generation` names the scan.
    void scanFound(int generation, int total);
    void gameRead(int generation, const GameSummary& summary, const FileStamp& stamp, bool fromCache);
    void scanEnded(int generation);
    void stopWorker();
    void addRow(const GameSummary& summary, const FileStamp& stamp);
    void refreshResults();
    void refreshAggregate();
    void endScan(bool cancelled);
    int currentRow() const;

    SummarizeFn summarize_;
    GamesCache cache_;  // GUI thread only; the worker reads a copy
    QString folder_;
    std::vector<GameSummary> games_;
    std::set<std::string> teams_;
    bool scanning_ = false;
    int generation_ = 0;  // GUI thread; results of an older scan are dropped
    int expected_ = 0;
    int received_ = 0;
    std::stop_source stop_;  // of the current scan
    std::jthread worker_;
    // Workers of scans replaced by a newer one: already asked to stop, joined on destruction.
    std::vector<std::jthread> retired_;

    QComboBox* teamBox_ = nullptr;
    QLineEdit* filterEdit_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    GamesFilterModel* proxy_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* aggregate_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace tessarin
