#include "windows/DebugLogWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "agentlog/Levels.h"
#include "files/PathText.h"
#include "settings/Profile.h"
#include "settings/WindowPlacement.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("DebugLog");
const QString kLevelsKey = QStringLiteral("Levels");
constexpr int kPollMs = 150;
// The topics offered in the list: every bit the library names (the unnamed ones stay on).
constexpr int kListedBits[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 31};

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

CDebugLogWindow::CDebugLogWindow(Profile& profile, QWidget* parent) : ForwardingDialog(parent), profile_(profile) {
    setWindowTitle(QStringLiteral("Debug Log"));
    levels_ = static_cast<std::uint32_t>(profile_.readInt(kSection, kLevelsKey, -1));

    logChoice_ = new QComboBox(this);
    logChoice_->setMinimumContentsLength(16);
    allPlayersBox_ = new QCheckBox(QStringLiteral("Draw every player's log"), this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Log:"), this));
    top->addWidget(logChoice_, 1);
    top->addWidget(allPlayersBox_);

    levelList_ = new QListWidget(this);
    auto* allButton = new QPushButton(QStringLiteral("All"), this);
    auto* noneButton = new QPushButton(QStringLiteral("None"), this);
    auto* levelButtons = new QHBoxLayout;
    levelButtons->addWidget(allButton);
    levelButtons->addWidget(noneButton);
    auto* levelBox = new QWidget(this);
    auto* levelLayout = new QVBoxLayout(levelBox);
    levelLayout->setContentsMargins(0, 0, 0, 0);
    levelLayout->addWidget(levelList_);
    levelLayout->addLayout(levelButtons);

    filter_ = new QLineEdit(this);
    filter_->setPlaceholderText(QStringLiteral("Filter: keep the lines holding this text"));
    filter_->setClearButtonEnabled(true);
    messages_ = new QListWidget(this);
    messages_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    status_ = new QLabel(this);
    auto* messageBox = new QWidget(this);
    auto* messageLayout = new QVBoxLayout(messageBox);
    messageLayout->setContentsMargins(0, 0, 0, 0);
    messageLayout->addWidget(filter_);
    messageLayout->addWidget(messages_, 1);
    messageLayout->addWidget(status_);

    auto* split = new QSplitter(this);
    split->addWidget(levelBox);
    split->addWidget(messageBox);
    split->setStretchFactor(1, 1);

    findText_ = new QLineEdit(this);
    findText_->setPlaceholderText(QStringLiteral("Text to find in all cycles of the log"));
    findButton_ = new QPushButton(QStringLiteral("Find in All Cycles"), this);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setEnabled(false);
    findProgress_ = new QProgressBar(this);
    findProgress_->setRange(0, 1000);
    findProgress_->setTextVisible(false);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(findText_, 1);
    findRow->addWidget(findButton_);
    findRow->addWidget(cancelButton_);
    findRow->addWidget(findProgress_);
    results_ = new QListWidget(this);
    results_->setMaximumHeight(160);

    logChoice_->setObjectName(QStringLiteral("log"));
    levelList_->setObjectName(QStringLiteral("levels"));
    filter_->setObjectName(QStringLiteral("filter"));
    messages_->setObjectName(QStringLiteral("messages"));
    findText_->setObjectName(QStringLiteral("findText"));
    results_->setObjectName(QStringLiteral("findResults"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(findRow);
    layout->addWidget(results_);

    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &CDebugLogWindow::copyShownLines);

    buildLevels();
    connect(levelList_, &QListWidget::itemChanged, this, &CDebugLogWindow::levelsEdited);
    connect(allButton, &QPushButton::clicked, this, [this] { setLevels(agentlog::kAllLevels); });
    connect(noneButton, &QPushButton::clicked, this, [this] { setLevels(0); });
    connect(logChoice_, &QComboBox::currentIndexChanged, this, [this] {
        refreshMessages();
        emit drawingsChanged();
    });
    connect(allPlayersBox_, &QCheckBox::toggled, this, &CDebugLogWindow::setAllPlayers);
    connect(filter_, &QLineEdit::textChanged, this, &CDebugLogWindow::refreshMessages);
    connect(findButton_, &QPushButton::clicked, this, [this] { find(findText_->text()); });
    connect(findText_, &QLineEdit::returnPressed, this, [this] { find(findText_->text()); });
    connect(cancelButton_, &QPushButton::clicked, this, &CDebugLogWindow::cancelFind);
    connect(results_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit cycleRequested(item->data(Qt::UserRole).toInt()); });
    for (QWidget* w : std::initializer_list<QWidget*>{messages_, results_, levelList_, logChoice_, allPlayersBox_})
        w->installEventFilter(this);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &CDebugLogWindow::poll);

    resize(720, 520);
    restorePlacement(*this, profile_, kSection);
    refreshStatus();
}

CDebugLogWindow::~CDebugLogWindow() {
    if (isVisible()) savePlacement(*this, profile_, kSection);
}

void CDebugLogWindow::buildLevels() {
    updatingLevels_ = true;
    levelList_->clear();
    for (const int bit : kListedBits) {
        auto* item = new QListWidgetItem(text(agentlog::levelName(bit)), levelList_);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setData(Qt::UserRole, bit);
        item->setCheckState((levels_ & (1u << bit)) ? Qt::Checked : Qt::Unchecked);
    }
    updatingLevels_ = false;
}

void CDebugLogWindow::setLevels(std::uint32_t levels) {
    levels_ = levels;
    profile_.writeInt(kSection, kLevelsKey, static_cast<int>(levels_));
    buildLevels();
    refreshMessages();
    emit drawingsChanged();
}

void CDebugLogWindow::levelsEdited() {
    if (updatingLevels_) return;
    std::uint32_t levels = levels_;
    for (int i = 0; i < levelList_->count(); ++i) {
        const QListWidgetItem* item = levelList_->item(i);
        const std::uint32_t bit = 1u << item->data(Qt::UserRole).toInt();
        levels = item->checkState() == Qt::Checked ? (levels | bit) : (levels & ~bit);
    }
    if (levels == levels_) return;
    levels_ = levels;
    profile_.writeInt(kSection, kLevelsKey, static_cast<int>(levels_));
    refreshMessages();
    emit drawingsChanged();
}

int CDebugLogWindow::findLogsOfGame(const QString& gamePath, const QString& leftTeam, const QString& rightTeam) {
    setLogs(agentlog::findGameLogs(pathBytes(gamePath), leftTeam.toStdString(), rightTeam.toStdString()));
    return static_cast<int>(logs().size());
}

int CDebugLogWindow::openFolder(const QString& folder, const QString& leftTeam, const QString& rightTeam) {
    setLogs(agentlog::listLogFolder(pathBytes(folder), leftTeam.toStdString(), rightTeam.toStdString()));
    return static_cast<int>(logs().size());
}

void CDebugLogWindow::setLogs(std::vector<agentlog::LogFileEntry> entries) {
    search_.reset();
    results_->clear();
    shownHits_ = 0;
    set_.setEntries(std::move(entries));
    const QSignalBlocker block(logChoice_);
    logChoice_->clear();
    for (const agentlog::LogFileEntry& entry : set_.entries()) {
        const char* side = entry.side == agentlog::Side::Left    ? " (left)"
                           : entry.side == agentlog::Side::Right ? " (right)"
                                                                 : "";
        logChoice_->addItem(text(entry.label()) + QLatin1StringView(side));
    }
    refreshMessages();
    emit drawingsChanged();
}

void CDebugLogWindow::showGameRecord(const agentlog::GamePlace& place) {
    place_ = place;
    havePlace_ = true;
    refreshMessages();
    emit drawingsChanged();
}

void CDebugLogWindow::setSelection(int selected) {
    const int entry = set_.entryOfSelection(selected);
    if (entry >= 0) setCurrentLog(entry);
}

void CDebugLogWindow::setCurrentLog(int entry) {
    if (entry >= 0 && entry < logChoice_->count()) logChoice_->setCurrentIndex(entry);
}

int CDebugLogWindow::currentLog() const { return logChoice_->currentIndex(); }

void CDebugLogWindow::setAllPlayers(bool all) {
    if (allPlayers_ == all) return;
    allPlayers_ = all;
    const QSignalBlocker block(allPlayersBox_);
    allPlayersBox_->setChecked(all);
    emit drawingsChanged();
}

std::vector<agentlog::Record> CDebugLogWindow::drawings() {
    std::vector<agentlog::Record> all;
    if (!havePlace_) return all;
    const auto add = [&](std::size_t entry) {
        agentlog::CycleView view = set_.view(entry, place_, levels_);
        for (agentlog::Record& r : view.drawings) all.push_back(std::move(r));
    };
    if (allPlayers_) {
        for (std::size_t entry = 0; entry < set_.entries().size(); ++entry) {
            if (set_.entries()[entry].name.unum) add(entry);
        }
    } else if (currentLog() >= 0) {
        add(static_cast<std::size_t>(currentLog()));
    }
    return all;
}

void CDebugLogWindow::refreshMessages() {
    messages_->clear();
    const int entry = currentLog();
    if (havePlace_ && entry >= 0) {
        const agentlog::CycleView view = set_.view(static_cast<std::size_t>(entry), place_, levels_);
        const QString wanted = filter_->text();
        for (const agentlog::Record& r : view.messages) {
            const QString line = text(agentlog::levelNames(r.levels)) + QStringLiteral(": ") + text(r.text);
            if (!wanted.isEmpty() && !line.contains(wanted, Qt::CaseInsensitive)) continue;
            messages_->addItem(line);
        }
    }
    refreshStatus();
}

void CDebugLogWindow::refreshStatus() {
    const int entry = currentLog();
    QString state;
    bool busy = search_ && !search_->finished();
    if (set_.entries().empty()) {
        state = QStringLiteral("No debug logs.");
    } else if (entry >= 0) {
        std::string error;
        const agentlog::AgentLog* log = set_.log(static_cast<std::size_t>(entry), &error);
        if (!log) {
            state = text(error);
        } else {
            const agentlog::IndexProgress p = log->progress();
            if (!p.finished) {
                busy = true;
                const double share = p.total ? 100.0 * static_cast<double>(p.done) / static_cast<double>(p.total) : 0;
                state = QStringLiteral("Indexing %1 %").arg(share, 0, 'f', 0);
            } else if (!p.error.empty()) {
                state = QStringLiteral("Read up to a damaged part: %1").arg(text(p.error));
            }
            if (havePlace_) {
                const agentlog::CycleRecords& cycle = set_.records(static_cast<std::size_t>(entry), place_);
                if (cycle.records.empty() && p.finished) state = QStringLiteral("No records for this cycle.");
                if (cycle.badLines > 0) state += QStringLiteral(" %1 unreadable lines skipped.").arg(cycle.badLines);
            }
        }
    }
    status_->setText(state);
    for (std::size_t e = 0; e < set_.entries().size(); ++e) busy = busy || set_.stale(e);
    if (busy && !poll_.isActive()) poll_.start();
}

void CDebugLogWindow::poll() {
    bool busy = false;
    bool stale = false;
    const int entry = currentLog();
    if (entry >= 0) {
        const agentlog::AgentLog* log = set_.log(static_cast<std::size_t>(entry));
        if (log && !log->progress().finished) busy = true;
    }
    for (std::size_t e = 0; e < set_.entries().size(); ++e) stale = stale || set_.stale(e);
    // While an index grows, the shown cycle may gain records: read it again until it was
    // read from a complete index.
    if (busy || stale) {
        refreshMessages();
        emit drawingsChanged();
    } else {
        refreshStatus();
    }
    if (search_) {
        const std::vector<agentlog::SearchHit> hits = search_->hits();
        for (; shownHits_ < hits.size(); ++shownHits_) {
            const agentlog::SearchHit& hit = hits[shownHits_];
            auto* item = new QListWidgetItem(QStringLiteral("%1,%2  (%3)  %4")
                                                 .arg(hit.key.cycle)
                                                 .arg(hit.key.stopped)
                                                 .arg(hit.count)
                                                 .arg(text(hit.firstText)),
                                             results_);
            item->setData(Qt::UserRole, hit.key.cycle);
        }
        findProgress_->setValue(static_cast<int>(search_->progress() * 1000));
        if (search_->finished()) {
            cancelButton_->setEnabled(false);
            findProgress_->setValue(1000);
        } else {
            busy = true;
        }
    }
    if (!busy) poll_.stop();
}

void CDebugLogWindow::find(const QString& needle) {
    search_.reset();
    results_->clear();
    shownHits_ = 0;
    const int entry = currentLog();
    if (needle.isEmpty() || entry < 0) return;
    const agentlog::AgentLog* log = set_.log(static_cast<std::size_t>(entry));
    if (!log) return;
    search_ = std::make_unique<agentlog::LogSearch>(log->sharedSource(), needle.toStdString(), levels_);
    cancelButton_->setEnabled(true);
    findProgress_->setValue(0);
    poll_.start();
}

void CDebugLogWindow::cancelFind() {
    if (search_) search_->cancel();
}

bool CDebugLogWindow::findRunning() const { return search_ && !search_->finished(); }

std::vector<agentlog::SearchHit> CDebugLogWindow::findHits() const {
    return search_ ? search_->hits() : std::vector<agentlog::SearchHit>{};
}

QStringList CDebugLogWindow::shownLines() const {
    QStringList lines;
    for (int i = 0; i < messages_->count(); ++i) lines << messages_->item(i)->text();
    return lines;
}

void CDebugLogWindow::copyShownLines() const {
    QApplication::clipboard()->setText(shownLines().join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void CDebugLogWindow::keyPressEvent(QKeyEvent* event) { ForwardingDialog::keyPressEvent(event); }

bool CDebugLogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return ForwardingDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // The message list's own copy would take only its current line.
    if (key->matches(QKeySequence::Copy)) {
        copyShownLines();
        return true;
    }
    // The lists keep the keys that move through them and tick a topic; every other key
    // steps the game as it does in the main frame.
    switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Space:
            return false;
        default:
            break;
    }
    if (key->modifiers() & Qt::ControlModifier) return false;
    keyPressEvent(key);
    return true;
}

void CDebugLogWindow::reject() { hide(); }

void CDebugLogWindow::hideEvent(QHideEvent* event) {
    savePlacement(*this, profile_, kSection);
    ForwardingDialog::hideEvent(event);
}

}  // namespace tessarin
