#include "windows/StatisticDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/BehaviorAnalyzer.h"
#include "chart/ChartCtrl.h"
#include "chart/ChartWnd.h"
#include "record/LogPlayer.h"
#include "settings/Profile.h"
#include "settings/WindowPlacement.h"
#include "windows/StatListCtrl.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("Statistics");

// Summary ids of the left value, label and right value of each row; the thirds row has no
// label of its own, its middle third stands in the label column.
constexpr std::array<std::array<int, 3>, CStatisticDialog::kSummaryRows> kSummaryIds = {{{1037, 1053, 1045},
                                                                                         {1038, 1054, 1046},
                                                                                         {1039, 1055, 1047},
                                                                                         {1040, 1056, 1048},
                                                                                         {1041, 1057, 1049},
                                                                                         {1042, 1058, 1050},
                                                                                         {1043, 1059, 1051},
                                                                                         {1044, 1060, 1052},
                                                                                         {1065, 1064, 1066},
                                                                                         {1062, 1061, 1063}}};

const char* const kSummaryLabels[] = {"Shoots", "On Targets", "Corners",  "Free Kicks", "Throw Ins",
                                      "Passes", "Intercepts", "Dribbles", "Control",    ""};

const char* const kTabTexts[] = {"Summary",          "Left",  "Shoots(L)", "Passes(L)", "Dribbles(L)",
                                 "Interceptions(L)", "Right", "Shoots(R)", "Passes(R)", "Dribbles(R)",
                                 "Interceptions(R)"};

QString text(const std::string& s) { return QString::fromStdString(s); }

// The figure a chart tab shows, of one player.
const CountStatistic& chartFigure(const PlayerStatistics& p, int tab) {
    switch ((tab - 2) % 5) {
        case 0:
            return p.shots;
        case 1:
            return p.passes;
        case 2:
            return p.dribbles;
        default:
            return p.interceptions;
    }
}

}  // namespace

CStatisticDialog::CStatisticDialog(const BehaviorAnalyzer& analyzer, const LogPlayer& player, Profile& profile,
                                   QWidget* parent)
    : ForwardingDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      analyzer_(analyzer),
      player_(player),
      profile_(profile),
      tabs_(new QTabBar(this)),
      pages_(new QStackedWidget(this)),
      summary_(new QWidget(pages_)),
      list_(new CStatListCtrl(pages_)),
      chart_(new CChartCtrl(pages_)) {
    setWindowTitle(tr("Statistics"));
    setAcceptDrops(true);
    tabs_->setObjectName(QStringLiteral("1032"));
    // Arrow keys are the game's; the tabs change by click only.
    tabs_->setFocusPolicy(Qt::NoFocus);
    // Tab texts stay whole; only a window made narrower than the tabs scrolls them.
    tabs_->setElideMode(Qt::ElideNone);
    for (const char* t : kTabTexts) tabs_->addTab(QString::fromLatin1(t));

    auto* grid = new QGridLayout(summary_);
    grid->setHorizontalSpacing(24);
    headings_ = {new QLabel(tr("Left"), summary_), new QLabel(tr("Right"), summary_)};
    headings_[0]->setObjectName(QStringLiteral("1035"));
    headings_[1]->setObjectName(QStringLiteral("1036"));
    for (QLabel* heading : headings_) heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(headings_[0], 0, 0, Qt::AlignCenter);
    grid->addWidget(headings_[1], 0, 2, Qt::AlignCenter);
    for (std::size_t row = 0; row < values_.size(); ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            auto* label = new QLabel(summary_);
            label->setObjectName(QString::number(kSummaryIds[row][column]));
            label->setAlignment(Qt::AlignCenter);
            if (column == 1) label->setText(QString::fromLatin1(kSummaryLabels[row]));
            grid->addWidget(label, static_cast<int>(row) + 1, static_cast<int>(column));
            values_[row][column] = label;
        }
    }
    // The thirds use the label column for a figure: their label goes under them.
    thirdsCaption_ = new QLabel(tr("Ball in the left, middle and right thirds of the field"), summary_);
    thirdsCaption_->setAlignment(Qt::AlignCenter);
    grid->addWidget(thirdsCaption_, static_cast<int>(values_.size()) + 1, 0, 1, 3);
    grid->setRowStretch(static_cast<int>(values_.size()) + 2, 1);

    chart_->SetChartType(kChartBars);
    chart_->SetRange(ChartAxis::Horizontal, 1, 11);
    chart_->SetStep(ChartAxis::Horizontal, 1);
    chart_->SetRange(ChartAxis::Vertical, 0, 10);
    chart_->SetStep(ChartAxis::Vertical, 1);
    for (const ChartAxis axis : {ChartAxis::Horizontal, ChartAxis::Vertical}) {
        chart_->SetScaleFlags(axis, chart_->GetScaleFlags(axis) | C2DScale::kShowLabels | C2DScale::kShowGrid);
        chart_->SetLabelFormat(axis, "%.0f");
    }

    pages_->addWidget(summary_);
    pages_->addWidget(list_);
    pages_->addWidget(chart_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(tabs_);
    layout->addWidget(pages_, 1);
    // 492 x 262 dialog units, widened when the font needs more for all eleven tabs: at the
    // default size every tab is in view.
    const QMargins margins = layout->contentsMargins();
    resize(std::max(738, tabs_->sizeHint().width() + margins.left() + margins.right()), 426);
    restorePlacement(*this, profile_, kSection);

    connect(tabs_, &QTabBar::currentChanged, this, &CStatisticDialog::refresh);
}

CStatisticDialog::~CStatisticDialog() {
    // Destroyed with the frame while still shown: no hide event reaches this class then.
    if (isVisible()) savePlacement(*this, profile_, kSection);
}

int CStatisticDialog::currentTab() const { return tabs_->currentIndex(); }

void CStatisticDialog::setCurrentTab(int tab) { tabs_->setCurrentIndex(tab); }

QWidget* CStatisticDialog::currentPage() const { return pages_->currentWidget(); }

QString CStatisticDialog::summaryHeading(int side) const {
    return side == 0 || side == 1 ? headings_[static_cast<std::size_t>(side)]->text() : QString();
}

QString CStatisticDialog::thirdsCaption() const { return thirdsCaption_->text(); }

std::array<QString, 2> CStatisticDialog::teamNames() const {
    return player_.withStore([this](const std::vector<cycle_info_t>&) {
        return std::array<QString, 2>{text(analyzer_.teamName(1)), text(analyzer_.teamName(-1))};
    });
}

void CStatisticDialog::nameTeams(const std::array<QString, 2>& teams) {
    if (teams == teams_) return;
    teams_ = teams;
    const auto named = [](const char* base, const QString& team) {
        const QString side = QString::fromLatin1(base);
        return team.isEmpty() ? side : QStringLiteral("%1: %2").arg(side, team);
    };
    headings_[0]->setText(named("Left", teams[0]));
    headings_[1]->setText(named("Right", teams[1]));
    tabs_->setTabText(kLeft, named(kTabTexts[kLeft], teams[0]));
    tabs_->setTabText(kRight, named(kTabTexts[kRight], teams[1]));
}

QString CStatisticDialog::summaryText(int row, int column) const {
    if (row < 0 || row >= kSummaryRows || column < 0 || column > 2) return {};
    return values_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]->text();
}

StatisticsSnapshot CStatisticDialog::takeSnapshot() const {
    return player_.withStore([this](const std::vector<cycle_info_t>&) {
        return StatisticsSnapshot{analyzer_.statistics(),
                                  {analyzer_.playModeCounters(1), analyzer_.playModeCounters(-1)}};
    });
}

void CStatisticDialog::refresh() {
    const int tab = currentTab();
    if (tab < 0) return;
    nameTeams(teamNames());
    const StatisticsSnapshot snapshot = takeSnapshot();
    if (tab == kSummary) {
        fillSummary(snapshot);
        pages_->setCurrentWidget(summary_);
    } else if (tab == kLeft || tab == kRight) {
        list_->Fill(statTable(snapshot.statistics, tab == kLeft ? 0 : 1));
        pages_->setCurrentWidget(list_);
    } else {
        fillChart(snapshot, tab);
        pages_->setCurrentWidget(chart_);
    }
}

void CStatisticDialog::fillSummary(const StatisticsSnapshot& snapshot) {
    for (std::size_t team = 0; team < 2; ++team) {
        const TeamStatistics& t = snapshot.statistics.teams[team];
        const PlayModeCounters& c = snapshot.counters[team];
        const std::size_t column = team == 0 ? 0 : 2;
        values_[kShoots][column]->setText(QString::number(t.shots.count));
        values_[kOnTargets][column]->setText(QString::number(t.shots.successes));
        values_[kCorners][column]->setText(QString::number(c.corner_kicks));
        values_[kFreeKicks][column]->setText(QString::number(c.free_kicks));
        values_[kThrowIns][column]->setText(QString::number(c.kick_ins));
        values_[kPasses][column]->setText(text(percentText(t.passes)));
        values_[kIntercepts][column]->setText(text(percentText(t.interceptions)));
        values_[kDribbles][column]->setText(text(percentText(t.dribbles)));
        values_[kControl][column]->setText(text(shareText(t.possession_share)));
    }
    for (std::size_t third = 0; third < 3; ++third) {
        values_[kThirds][third]->setText(text(shareText(snapshot.statistics.thirds_shares[third])));
    }
}

void CStatisticDialog::fillChart(const StatisticsSnapshot& snapshot, int tab) {
    const std::size_t first = tab < kRight ? 0 : static_cast<std::size_t>(kStatRows);
    const QString& team = teams_[first == 0 ? 0 : 1];
    const QString title = QString::fromLatin1(kTabTexts[tab]);
    chart_->SetTitle(team.isEmpty() ? title : QStringLiteral("%1: %2").arg(title, team));
    chart_->RemoveAllSeries();
    const int all = chart_->AddSeries(QStringLiteral("ALL"), QColor(255, 0, 0));
    const int succeed = chart_->AddSeries(QStringLiteral("SUCCEED"), QColor(0, 255, 0));
    for (std::size_t unum = 1; unum <= static_cast<std::size_t>(kStatRows); ++unum) {
        const CountStatistic& figure = chartFigure(snapshot.statistics.players[first + unum - 1], tab);
        chart_->AddPoint(all, static_cast<double>(unum), figure.count);
        chart_->AddPoint(succeed, static_cast<double>(unum), figure.successes);
    }
    chart_->Refresh();
}

void CStatisticDialog::hideEvent(QHideEvent* event) {
    savePlacement(*this, profile_, kSection);
    ForwardingDialog::hideEvent(event);
}

}  // namespace tessarin
