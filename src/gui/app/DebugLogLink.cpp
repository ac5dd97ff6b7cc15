#include "app/DebugLogLink.h"

#include <QEvent>
#include <algorithm>

#include "display/Displayer.h"
#include "record/LogPlayer.h"
#include "windows/DebugLogWindow.h"

namespace tessarin {

namespace {

// How often a look-up waiting for the game's team names tries again while the game is read.
constexpr int kLookupRetryMs = 100;
// How far back from the newest record the team names are looked for: a game log has a
// show record every cycle, a sight log none at all.
constexpr std::size_t kTeamNameSearchDepth = 64;

bool samePlace(const agentlog::GamePlace& a, const agentlog::GamePlace& b) {
    return a.cycle == b.cycle && a.occurrence == b.occurrence && a.recordsInCycle == b.recordsInCycle;
}

}  // namespace

DebugLogLink::DebugLogLink(LogPlayer& player, Profile& profile, QWidget* windowParent)
    : player_(player), window_(new CDebugLogWindow(profile, windowParent)) {
    window_->installEventFilter(this);
    connect(window_, &CDebugLogWindow::drawingsChanged, this, &DebugLogLink::refreshPainter);
    connect(window_, &CDebugLogWindow::cycleRequested, this, &DebugLogLink::cycleRequested);
    lookupTimer_.setInterval(kLookupRetryMs);
    connect(&lookupTimer_, &QTimer::timeout, this, &DebugLogLink::tryLookup);
}

DebugLogLink::~DebugLogLink() {
    setDisplayer(nullptr);
    delete window_;
}

void DebugLogLink::setDisplayer(CDisplayer* display) {
    if (display_ == display) return;
    if (display_) {
        display_->renderer().removeOverlay(&painter_);
        disconnect(display_, nullptr, this, nullptr);
        display_->update();
    }
    display_ = display;
    if (display) {
        display->renderer().addOverlay(OverlayStage::DebugLog, &painter_);
        connect(display, &CDisplayer::stateChanged, this, [this] {
            if (windowShown()) syncSelection();
        });
        selection_ = -1;
        if (windowShown()) syncSelection();
    }
}

void DebugLogLink::recordDrawn(const std::optional<cycle_info_t>& record) {
    drawnCycle_.store(record ? int{record->cycle} : kNoRecord);
    if (followPending_.exchange(true)) return;
    QMetaObject::invokeMethod(this, &DebugLogLink::follow, Qt::QueuedConnection);
}

void DebugLogLink::follow() {
    // Cleared before the cycle is read: a record drawn from now on queues another follow.
    followPending_.store(false);
    const int cycle = drawnCycle_.load();
    if (cycle == kNoRecord) return;
    const agentlog::GamePlace place = placeOf(cycle);
    if (place_ && samePlace(*place_, place)) return;
    place_ = place;
    if (windowShown()) window_->showGameRecord(place);
}

agentlog::GamePlace DebugLogLink::placeOf(int cycle) const {
    // The record drawn is almost always the one at the playback position, or the newest
    // (a live game); a preview of the jump dialog draws one elsewhere.
    const std::size_t index = player_.index();
    const auto atKnownPlace = [&](const std::vector<cycle_info_t>& frames) -> std::optional<agentlog::GamePlace> {
        if (index < frames.size() && frames[index].cycle == cycle) return agentlog::gamePlace(frames, index);
        if (!frames.empty() && frames.back().cycle == cycle) return agentlog::gamePlace(frames, frames.size() - 1);
        return std::nullopt;
    };
    if (auto place = player_.withStore(atKnownPlace)) return *place;
    const std::size_t found = player_.find(cycle);
    const auto atFound = [&](const std::vector<cycle_info_t>& frames) -> std::optional<agentlog::GamePlace> {
        if (found < frames.size() && frames[found].cycle == cycle) return agentlog::gamePlace(frames, found);
        return std::nullopt;
    };
    return player_.withStore(atFound).value_or(agentlog::GamePlace{cycle, 0, 1});
}

std::array<QString, 2> DebugLogLink::teamNames() const {
    return player_.withStore([](const std::vector<cycle_info_t>& frames) {
        std::array<QString, 2> names;
        const std::size_t depth = std::min(frames.size(), kTeamNameSearchDepth);
        for (std::size_t back = 1; back <= depth; ++back) {
            const cycle_info_t& record = frames[frames.size() - back];
            if (record.kind != kShowRecord) continue;
            const show_info_t show = record.show();
            for (std::size_t side = 0; side < 2; ++side)
                names[side] = QString::fromStdString(teamName(show.team[side]));
            break;
        }
        return names;
    });
}

void DebugLogLink::gameLoaded(const QString& path) {
    pendingGame_ = path;
    place_.reset();
    window_->setLogs({});
    tryLookup();
    if (lookupPending()) lookupTimer_.start();
}

void DebugLogLink::tryLookup() {
    if (!lookupPending()) {
        lookupTimer_.stop();
        return;
    }
    const std::array<QString, 2> names = teamNames();
    // A game's first records may come before both teams are named; the look-up waits for
    // both names, or for the end of the file.
    if ((names[0].isEmpty() || names[1].isEmpty()) && player_.parsing()) return;
    lookupTimer_.stop();
    const QString path = std::exchange(pendingGame_, QString());
    const int found = window_->findLogsOfGame(path, names[0], names[1]);
    if (found == 0 && !chosenFolder_.isEmpty()) window_->openFolder(chosenFolder_, names[0], names[1]);
    selection_ = -1;
    if (windowShown()) syncSelection();
    if (found > 0) emit notice(tr("%n debug log(s) found beside the game; ToolBox > Debug Log shows them", "", found));
}

int DebugLogLink::openFolder(const QString& folder) {
    // A folder chosen by hand wins over a look-up still waiting.
    pendingGame_.clear();
    lookupTimer_.stop();
    chosenFolder_ = folder;
    const std::array<QString, 2> names = teamNames();
    const int found = window_->openFolder(folder, names[0], names[1]);
    selection_ = -1;
    window_->show();
    window_->raise();
    emit notice(tr("%n debug log(s) in the folder", "", found));
    return found;
}

void DebugLogLink::toggleWindow() {
    if (windowShown()) {
        window_->hide();
        return;
    }
    window_->show();
    window_->raise();
}

bool DebugLogLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Show) {
            // A hidden window read nothing: it catches up with the record and the selection.
            selection_ = -1;
            syncSelection();
            if (place_) window_->showGameRecord(*place_);
            refreshPainter();
        } else if (event->type() == QEvent::Hide) {
            refreshPainter();
        }
    }
    return QObject::eventFilter(watched, event);
}

void DebugLogLink::syncSelection() {
    if (!display_) return;
    const int selected = display_->selected();
    if (selected == selection_) return;
    selection_ = selected;
    window_->setSelection(selected);
}

void DebugLogLink::refreshPainter() {
    std::vector<agentlog::Record> drawings;
    if (windowShown()) drawings = window_->drawings();
    if (drawings.empty() && painter_.drawings().empty()) return;
    painter_.setDrawings(std::move(drawings));
    if (display_) display_->update();
}

CDebugLogWindow& DebugLogLink::window() const { return *window_; }

bool DebugLogLink::windowShown() const { return window_ && window_->isVisible(); }

}  // namespace tessarin
