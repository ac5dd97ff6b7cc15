#include "windows/GamesWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "analysis/BatchAggregates.h"
#include "files/PathText.h"

namespace tessarin {

namespace {

// Items keep the value a column sorts by under this role, the game's place in games_
// under the next one (on the file column).
constexpr int kSortRole = Qt::UserRole;
constexpr int kGameRole = Qt::UserRole + 1;

QString bytesText(const std::string& s) { return pathText(s); }

QString sizeText(std::int64_t bytes) {
    if (bytes < 0) return {};
    if (bytes < 1024 * 1024)
        return QString::number(static_cast<double>(bytes) / 1024.0, 'f', 1) + QStringLiteral(" KB");
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

QStandardItem* item(const QString& text, const QVariant& sortValue) {
    auto* i = new QStandardItem(text);
    i->setData(sortValue, kSortRole);
    i->setEditable(false);
    return i;
}

QString scoreText(const GameSummary& g) {
    if (!g.ok()) return {};
    QString s = QString::number(g.sides[0].goals) + QStringLiteral(" - ") + QString::number(g.sides[1].goals);
    if (g.sides[0].penaltyGoals || g.sides[1].penaltyGoals) {
        s += QStringLiteral(" (%1 - %2)")
                 .arg(g.sides[0].penaltyGoals.value_or(0))
                 .arg(g.sides[1].penaltyGoals.value_or(0));
    }
    return s;
}

QString interval(const Interval& i, int decimals) {
    return QStringLiteral("[%1, %2]").arg(i.low, 0, 'f', decimals).arg(i.high, 0, 'f', decimals);
}

}  // namespace

// Keeps the rows whose left or right team contains the filter text, in any case.
class GamesFilterModel final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setTeamFilter(const QString& text) {
        text_ = text;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (text_.isEmpty()) return true;
        for (int column : {GamesWindow::kLeft, GamesWindow::kRight}) {
            const QString team = sourceModel()->index(row, column, parent).data().toString();
            if (team.contains(text_, Qt::CaseInsensitive)) return true;
        }
        return false;
    }

private:
    QString text_;
};

GamesWindow::GamesWindow(const QString& cacheFile, QWidget* parent, SummarizeFn summarize)
    : QWidget(parent, Qt::Window), summarize_(std::move(summarize)), cache_(cacheFile) {
    setWindowTitle(QStringLiteral("Games"));
    cache_.load();
    buildWidgets();
}

GamesWindow::~GamesWindow() { stopWorker(); }

void GamesWindow::buildWidgets() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    teamBox_ = new QComboBox(this);
    teamBox_->addItem(QStringLiteral("(no team)"), QString());
    teamBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    filterEdit_ = new QLineEdit(this);
    filterEdit_->setPlaceholderText(QStringLiteral("Filter by team name"));
    filterEdit_->setClearButtonEnabled(true);
    auto* teamLabel = new QLabel(QStringLiteral("&Team:"), this);
    teamLabel->setBuddy(teamBox_);
    top->addWidget(teamLabel);
    top->addWidget(teamBox_);
    top->addSpacing(12);
    top->addWidget(filterEdit_, 1);
    layout->addLayout(top);

    model_ = new QStandardItemModel(0, kColumnCount, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Time"), QStringLiteral("Left"),
                                       QStringLiteral("Score"), QStringLiteral("Right"), QStringLiteral("Cycles"),
                                       QStringLiteral("Size"), QStringLiteral("Result"), QStringLiteral("Note")});
    proxy_ = new GamesFilterModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(kSortRole);
    table_ = new QTableView(this);
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(kFile, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->installEventFilter(this);
    layout->addWidget(table_, 1);

    aggregate_ = new QLabel(this);
    aggregate_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(aggregate_);
    auto* bottom = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    bottom->addWidget(progress_, 1);
    bottom->addWidget(cancel_);
    layout->addLayout(bottom);
    progress_->hide();
    cancel_->hide();

    connect(cancel_, &QPushButton::clicked, this, &GamesWindow::cancelScan);
    connect(teamBox_, &QComboBox::currentIndexChanged, this, [this] {
        refreshResults();
        refreshAggregate();
    });
    connect(filterEdit_, &QLineEdit::textChanged, this, &GamesWindow::setFilterText);
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { openRow(index.row()); });
    auto* next = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), this);
    auto* previous = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), this);
    connect(next, &QShortcut::activated, this, &GamesWindow::openNext);
    connect(previous, &QShortcut::activated, this, &GamesWindow::openPrevious);
    resize(900, 480);
    refreshAggregate();
}

void GamesWindow::openFolder(const QString& folder) {
    // The old scan's worker ends by itself after its games in progress; waiting for it
    // here would stall the window, so it is joined at the end.
    stop_.request_stop();
    if (worker_.joinable()) retired_.push_back(std::move(worker_));
    ++generation_;
    games_.clear();
    teams_.clear();
    model_->removeRows(0, model_->rowCount());
    const QString chosen = team();
    teamBox_->blockSignals(true);
    while (teamBox_->count() > 1) teamBox_->removeItem(1);
    if (!chosen.isEmpty()) teamBox_->addItem(chosen, chosen);
    teamBox_->setCurrentIndex(teamBox_->count() - 1);
    teamBox_->blockSignals(false);

    folder_ = folder;
    setWindowTitle(QStringLiteral("Games - ") + folder);
    scanning_ = true;
    expected_ = received_ = 0;
    progress_->setRange(0, 0);
    progress_->show();
    cancel_->show();
    stop_ = std::stop_source{};
    const int generation = generation_;
    // Everything the worker needs is copied into it; it reaches the window only through
    // queued calls, which run on the GUI thread and which Qt drops once the window is
    // gone (its destructor joins the worker first).
    const auto post = [this](auto fn) { QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection); };
    worker_ = std::jthread([this, post, generation, root = pathBytes(folder), snapshot = cache_, summarize = summarize_,
                            stop = stop_.get_token()] {
        const std::vector<std::string> roots{root};
        BatchFiles files = findGames(roots);
        const int total = static_cast<int>(files.games.size() + files.errors.size());
        post([this, generation, total] { scanFound(generation, total); });
        for (GameSummary& e : files.errors) {
            post([this, generation, e = std::move(e)] { gameRead(generation, e, FileStamp{}, true); });
        }
        std::vector<std::string> toRead;
        std::vector<FileStamp> stamps;
        for (const std::string& path : files.games) {
            if (stop.stop_requested()) return;
            const FileStamp stamp = stampOf(path);
            if (auto hit = snapshot.find(path, stamp)) {
                post([this, generation, summary = std::move(*hit), stamp] {
                    gameRead(generation, summary, stamp, true);
                });
            } else {
                toRead.push_back(path);
                stamps.push_back(stamp);
            }
        }
        const GameDoneFn done = [&](std::size_t i, const GameSummary& summary, const BatchProgress&) {
            post([this, generation, summary, stamp = stamps[i]] { gameRead(generation, summary, stamp, false); });
        };
        summarizeGames(toRead, 0, done, stop, summarize);
        post([this, generation] { scanEnded(generation); });
    });
}

void GamesWindow::scanFound(int generation, int total) {
    if (generation != generation_) return;
    expected_ = total;
    progress_->setRange(0, std::max(1, total));
    progress_->setValue(received_);
}

void GamesWindow::gameRead(int generation, const GameSummary& summary, const FileStamp& stamp, bool fromCache) {
    if (generation != generation_) return;
    if (!fromCache) cache_.put(summary.file, stamp, summary);
    ++received_;
    if (expected_ > 0) progress_->setValue(received_);
    addRow(summary, stamp);
}

void GamesWindow::scanEnded(int generation) {
    if (generation != generation_) return;
    endScan(false);
}

void GamesWindow::cancelScan() {
    if (!scanning_) return;
    // The worker ends after the games in progress; whatever it still sends is dropped.
    stop_.request_stop();
    ++generation_;
    endScan(true);
}

void GamesWindow::endScan(bool cancelled) {
    scanning_ = false;
    progress_->hide();
    cancel_->hide();
    cache_.save();
    emit scanFinished(cancelled);
}

void GamesWindow::addRow(const GameSummary& summary, const FileStamp& stamp) {
    const int index = static_cast<int>(games_.size());
    games_.push_back(summary);
    const bool ok = summary.ok();
    const QString file = bytesText(summary.file);
    // Paths are shown from the folder on.
    QString shown = file;
    if (!folder_.isEmpty() && file.startsWith(folder_)) {
        shown = file.mid(folder_.size());
        while (shown.startsWith(QLatin1Char('/'))) shown.remove(0, 1);
    }
    QList<QStandardItem*> row;
    auto* fileItem = item(shown, shown);
    fileItem->setData(index, kGameRole);
    fileItem->setToolTip(file);
    row << fileItem << item(bytesText(summary.time), bytesText(summary.time));
    const QString left = ok ? bytesText(summary.sides[0].team) : QString();
    const QString right = ok ? bytesText(summary.sides[1].team) : QString();
    row << item(left, left) << item(scoreText(summary), ok ? summary.sides[0].goals - summary.sides[1].goals : 0)
        << item(right, right) << item(ok ? QString::number(summary.cycles) : QString(), summary.cycles)
        << item(sizeText(stamp.size), static_cast<qlonglong>(stamp.size)) << item(QString(), QString());
    const QString note = bytesText(ok ? summary.warning : summary.error);
    row << item(note, note);
    model_->appendRow(row);

    bool newTeam = false;
    for (const SideSummary& side : summary.sides) {
        if (ok && teams_.insert(side.team).second) newTeam = true;
    }
    if (newTeam) {
        const QString chosen = team();
        teamBox_->blockSignals(true);
        while (teamBox_->count() > 1) teamBox_->removeItem(1);
        for (const std::string& name : teams_) teamBox_->addItem(bytesText(name), bytesText(name));
        if (!chosen.isEmpty() && teamBox_->findData(chosen) < 0) teamBox_->addItem(chosen, chosen);
        teamBox_->setCurrentIndex(std::max(0, teamBox_->findData(chosen)));
        teamBox_->blockSignals(false);
    }
    refreshResults();
    refreshAggregate();
}

void GamesWindow::setTeam(const QString& name) {
    int at = teamBox_->findData(name);
    if (at < 0) {
        teamBox_->addItem(name, name);
        at = teamBox_->count() - 1;
    }
    teamBox_->setCurrentIndex(name.isEmpty() ? 0 : at);
}

QString GamesWindow::team() const { return teamBox_->currentData().toString(); }

void GamesWindow::setFilterText(const QString& text) {
    if (filterEdit_->text() != text) filterEdit_->setText(text);
    proxy_->setTeamFilter(text);
}

void GamesWindow::refreshResults() {
    const std::string chosen = pathBytes(team());
    for (int r = 0; r < model_->rowCount(); ++r) {
        const int index = model_->item(r, kFile)->data(kGameRole).toInt();
        const GameSummary& game = games_[static_cast<std::size_t>(index)];
        QString result;
        if (!chosen.empty()) {
            if (const auto side = sideOfTeam(game, chosen)) {
                result = QString::fromLatin1(resultName(teamView(game, *side).result).data());
            }
        }
        QStandardItem* cell = model_->item(r, kResult);
        if (cell->text() != result) {
            cell->setText(result);
            cell->setData(result, kSortRole);
        }
    }
}

void GamesWindow::refreshAggregate() { aggregate_->setText(aggregateText()); }

QString GamesWindow::aggregateText() const {
    const std::string chosen = pathBytes(team());
    if (chosen.empty()) {
        const auto failed = std::count_if(games_.begin(), games_.end(), [](const GameSummary& g) { return !g.ok(); });
        QString text = QStringLiteral("%1 game(s)").arg(games_.size() - static_cast<std::size_t>(failed));
        if (failed > 0) text += QStringLiteral(", %1 file(s) could not be read").arg(failed);
        return text + QStringLiteral("; choose a team for its figures");
    }
    const TeamAggregate a = aggregateTeam(chosen, gamesOfTeam(games_, chosen));
    QString text = QStringLiteral("%1: %2 game(s), %3 won, %4 drawn, %5 lost, %6 points, goals %7:%8")
                       .arg(bytesText(a.team))
                       .arg(a.games)
                       .arg(a.wins)
                       .arg(a.draws)
                       .arg(a.losses)
                       .arg(a.points)
                       .arg(a.goalsFor)
                       .arg(a.goalsAgainst);
    if (a.games == 0) return text;
    text += QStringLiteral(", goal difference %1 per game").arg(a.goalDifference.mean, 0, 'f', 2);
    if (a.goalDifference.ci95) text += QStringLiteral(" ") + interval(*a.goalDifference.ci95, 2);
    text += QStringLiteral(", win rate %1 %2").arg(a.winRate, 0, 'f', 3).arg(interval(a.winRateCi95, 3));
    return text;
}

int GamesWindow::currentRow() const {
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void GamesWindow::openRow(int row) {
    if (row < 0 || row >= proxy_->rowCount()) return;
    const QModelIndex at = proxy_->index(row, kFile);
    table_->setCurrentIndex(at);
    table_->selectRow(row);
    const int index = proxy_->mapToSource(at).siblingAtColumn(kFile).data(kGameRole).toInt();
    emit openGame(bytesText(games_[static_cast<std::size_t>(index)].file));
}

void GamesWindow::openNext() { openRow(std::min(currentRow() + 1, proxy_->rowCount() - 1)); }

void GamesWindow::openPrevious() { openRow(std::max(currentRow() - 1, 0)); }

bool GamesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QWidget::eventFilter(watched, event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                openRow(currentRow());
                return true;
            case Qt::Key_N:
                openNext();
                return true;
            case Qt::Key_P:
                openPrevious();
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GamesWindow::closeEvent(QCloseEvent* event) {
    cancelScan();
    event->accept();
}

void GamesWindow::stopWorker() {
    stop_.request_stop();
    if (worker_.joinable()) worker_.join();
    retired_.clear();  // each jthread is asked to stop and joined
}

}  // namespace tessarin
