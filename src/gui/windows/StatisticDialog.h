#pragma once

// "Statistics": the analysis of the loaded game in eleven tabs: a summary of both teams,
// a sortable per-player table of each team, and charts of each team's shots, passes,
// dribbles and interceptions per player against their successes.

#include <QString>
#include <array>

#include "analysis/StatisticTables.h"
#include "windows/ForwardingDialog.h"

class QLabel;
class QStackedWidget;
class QTabBar;

namespace tessarin {

class BehaviorAnalyzer;
class CChartCtrl;
class CStatListCtrl;
class LogPlayer;
class Profile;

// A modeless tool window that is only ever shown and hidden; the selected tab survives
// hiding. Its figures are read when it is shown and when the tab changes, never while the
// game advances. The analyser is read under the log player's lock only.
class CStatisticDialog final : public ForwardingDialog {
    Q_OBJECT

public:
    enum Tab {
        kSummary,
        kLeft,
        kShootsL,
        kPassesL,
        kDribblesL,
        kInterceptionsL,
        kRight,
        kShootsR,
        kPassesR,
        kDribblesR,
        kInterceptionsR,
        kTabCount
    };
    // Rows of the summary: nine labelled figures and the thirds of the field.
    enum SummaryRow {
        kShoots,
        kOnTargets,
        kCorners,
        kFreeKicks,
        kThrowIns,
        kPasses,
        kIntercepts,
        kDribbles,
        kControl,
        kThirds,
        kSummaryRows
    };

    // Neither the analyser nor the log player is owned; both outlive the dialog.
    CStatisticDialog(const BehaviorAnalyzer& analyzer, const LogPlayer& player, Profile& profile,
                     QWidget* parent = nullptr);
    ~CStatisticDialog() override;

    // Reads the analyser's figures and shows them on the selected tab.
    void refresh();
    int currentTab() const;
    void setCurrentTab(int tab);
    QTabBar& tabs() const { return *tabs_; }
    CStatListCtrl& list() const { return *list_; }
    CChartCtrl& chart() const { return *chart_; }
    // The page the selected tab shows: the summary, the list or the chart.
    QWidget* currentPage() const;
    // A summary text: `column` 0 the left team's value, 1 the label column, 2 the right
    // team's value.
    QString summaryText(int row, int column) const;
    // The heading of the summary's left (0) or right (1) column: the side and its team.
    QString summaryHeading(int side) const;
    // The caption under the thirds, which fill all three columns of their row.
    QString thirdsCaption() const;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void fillSummary(const StatisticsSnapshot& snapshot);
    void fillChart(const StatisticsSnapshot& snapshot, int tab);
    // Names the teams in the headings, the Left and Right tabs and the charts' titles.
    void nameTeams(const std::array<QString, 2>& teams);
    StatisticsSnapshot takeSnapshot() const;
    std::array<QString, 2> teamNames() const;

    const BehaviorAnalyzer& analyzer_;
    const LogPlayer& player_;
    Profile& profile_;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* summary_ = nullptr;
    CStatListCtrl* list_ = nullptr;
    CChartCtrl* chart_ = nullptr;
    std::array<std::array<QLabel*, 3>, kSummaryRows> values_{};
    std::array<QLabel*, 2> headings_{};
    QLabel* thirdsCaption_ = nullptr;
    std::array<QString, 2> teams_;  // the names shown; empty before a game names them
};

}  // namespace tessarin
