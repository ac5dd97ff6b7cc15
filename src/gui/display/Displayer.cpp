#include "display/Displayer.h"

#include "files/DroppedFiles.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <cstdio>

#include "display/HintWindow.h"
#include "display/HitTest.h"
#include "display/ObjectDetails.h"
#include "display/OverlaySources.h"
#include "live/MonitorConnection.h"
#include "record/LogPlayer.h"
#include "settings/Profile.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("Displayer");

// The debugging clients' switches: the option each one flips, the text that tells the
// clients its new value (%d: 1 or 0), and whether the field shows it.
struct ClientSwitch {
    bool DisplayOptions::*flag;
    const char* format;
    bool redraw;
};
constexpr std::array<ClientSwitch, kClientOptionCount> kClientSwitches = {{
    {&DisplayOptions::pause, "(disppause %d)", false},
    {&DisplayOptions::debug, "(dispdebug %d)", false},
    {&DisplayOptions::PassInfo, "(disppassinfo %d)", true},
    {&DisplayOptions::ShootInfo, "(dispshootinfo %d)", true},
    {&DisplayOptions::SightInfo, "(dispsightinfo %d)", true},
    {&DisplayOptions::DribbleInfo, "(dispdribble %d)", true},
    {&DisplayOptions::InterceptInfo, "(dispintercept %d)", true},
    {&DisplayOptions::DefenseInfo, "(dispdeffense %d)", true},
    {&DisplayOptions::plan, "(dispplaninfo %d)", true},
    {&DisplayOptions::fullStateLeft, "(dispfullsl %d)", true},
    {&DisplayOptions::fullStateRight, "(dispfullsr %d)", true},
}};
// A stored edge beyond this is not a window position of any real desktop.
constexpr int kMaxCoordinate = 100000;

}  // namespace

CDisplayer::CDisplayer(Profile& profile, QWidget* parent)
    : QWidget(parent), profile_(profile), options_(loadDisplayOptions(profile)) {
    // Every paint covers the whole area from the composition buffer: no erasing, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setMinimumSize(1, 1);
    // Hints and cursors follow the mouse without a button pressed.
    setMouseTracking(true);
    renderer_.addOverlay(OverlayStage::VisualObjects, &debugOverlay_);
    renderer_.addOverlay(OverlayStage::VisualObjects, &visuals_);
}

CDisplayer::~CDisplayer() {
    renderer_.removeOverlay(&visuals_);
    renderer_.removeOverlay(&debugOverlay_);
    if (followed_ && followed_ != this) followed_->removeEventFilter(this);
    saveDisplayOptions(profile_, options_);
    profile_.sync();
}

void CDisplayer::SetCurrentRecord(const std::optional<cycle_info_t>& record) {
    {
        std::lock_guard lock(mutex_);
        scene_.setCurrent(record);
    }
    requestRepaint();
}

void CDisplayer::requestRepaint() {
    // Queued even on the GUI thread, so a producer thread never paints and never waits.
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
}

FieldScene CDisplayer::scene() const {
    std::lock_guard lock(mutex_);
    return scene_;
}

int CDisplayer::selected() const {
    std::lock_guard lock(mutex_);
    return scene_.selected;
}

bool CDisplayer::drawCircle() const {
    std::lock_guard lock(mutex_);
    return scene_.drawCircle;
}

void CDisplayer::toggleOption(bool DisplayOptions::*flag) {
    options_.*flag = !(options_.*flag);
    update();
}

void CDisplayer::toggleClientOption(ClientOption option) {
    const ClientSwitch& which = kClientSwitches[static_cast<std::size_t>(option)];
    bool& flag = options_.*(which.flag);
    flag = !flag;
    char text[64];
    std::snprintf(text, sizeof text, which.format, flag ? 1 : 0);
    send(text);
    if (which.redraw) update();
}

bool CDisplayer::clientOption(ClientOption option) const {
    return options_.*(kClientSwitches[static_cast<std::size_t>(option)].flag);
}

void CDisplayer::send(const std::string& text) {
    if (host_) host_->displaySendText(text);
}

void CDisplayer::select(int index) {
    if (index < 0 || index > kSelectBall) index = kSelectNothing;
    {
        std::lock_guard lock(mutex_);
        scene_.selected = index;
    }
    // The debugging clients follow the object chosen by command (a click selects silently).
    send("(dispndebug " + std::to_string(index) + ")");
    update();
    emit stateChanged();
}

void CDisplayer::SetDebugText(std::string text) {
    {
        std::lock_guard lock(debugMutex_);
        debugText_ = std::move(text);
    }
    requestRepaint();
}

void CDisplayer::setSmoothDrawing(bool on) {
    if (options_.SmoothDrawing == on) return;
    options_.SmoothDrawing = on;
    update();
    emit smoothDrawingChanged(on);
}

std::string CDisplayer::debugText() const {
    std::lock_guard lock(debugMutex_);
    return debugText_;
}

bool CDisplayer::canEnlargePlayers() const { return options_.PlayerScale < kPlayerScaleMax; }

bool CDisplayer::canReducePlayers() const { return options_.PlayerScale > kPlayerScaleMin; }

void CDisplayer::enlargePlayers() {
    if (!canEnlargePlayers()) return;
    options_.PlayerScale += kPlayerScaleStep;
    update();
}

void CDisplayer::reducePlayers() {
    if (!canReducePlayers()) return;
    options_.PlayerScale -= kPlayerScaleStep;
    update();
}

void CDisplayer::toggleZoom(int mode) {
    zoomMode_ = zoomMode_ == mode ? kZoomNone : mode;
    emit stateChanged();
}

void CDisplayer::toggleDrawCircle() {
    {
        std::lock_guard lock(mutex_);
        scene_.drawCircle = !scene_.drawCircle;
    }
    update();
}

void CDisplayer::startBackWard() {
    // Replay is for paused clients whose debug output is off.
    if (options_.pause && !options_.debug && host_) host_->displayStartReplay();
}

void CDisplayer::toggleRecover() {
    options_.Recover = !options_.Recover;
    if (host_) host_->displayRecover();
    update();
}

bool CDisplayer::fullScreen() const { return isWindow() && isMaximized(); }

void CDisplayer::toggleFullScreen() {
    if (!isWindow()) return;
    if (isMaximized()) {
        setWindowFlags(Qt::Window);
        showNormal();
    } else {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        showMaximized();
    }
}

void CDisplayer::leaveFullScreen() {
    if (fullScreen()) toggleFullScreen();
}

void CDisplayer::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) emit stateChanged();
}

void CDisplayer::restorePlacement() {
    const QRect present = geometry();
    const int left = profile_.readInt(kSection, QStringLiteral("Left"), present.left());
    const int top = profile_.readInt(kSection, QStringLiteral("Top"), present.top());
    const int right = profile_.readInt(kSection, QStringLiteral("Right"), present.left() + present.width());
    const int bottom = profile_.readInt(kSection, QStringLiteral("Bottom"), present.top() + present.height());
    profile_.readInt(kSection, QStringLiteral("FullScreen"), 0);  // kept for other versions; not used
    // Edges are stored as Left <= x < Right; anything else is not a window rectangle.
    const bool sane = right > left && bottom > top && std::abs(left) < kMaxCoordinate &&
                      std::abs(top) < kMaxCoordinate && std::abs(right) < kMaxCoordinate &&
                      std::abs(bottom) < kMaxCoordinate;
    if (!sane) return;
    const QRect stored(left, top, right - left, bottom - top);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect work = screen->availableGeometry();
        const bool overlaps = work.left() < right && work.top() < bottom && left < work.left() + work.width() &&
                              top < work.top() + work.height();
        if (overlaps) {
            setGeometry(stored);
            return;
        }
    }
}

void CDisplayer::savePlacement() {
    // The rectangle the display has now, in screen coordinates: the maximised one while it
    // is maximised, its place inside the main frame while it is embedded.
    const QRect rect = isWindow() ? geometry() : QRect(mapToGlobal(QPoint(0, 0)), size());
    profile_.writeInt(kSection, QStringLiteral("Left"), rect.left());
    profile_.writeInt(kSection, QStringLiteral("Top"), rect.top());
    profile_.writeInt(kSection, QStringLiteral("Right"), rect.left() + rect.width());
    profile_.writeInt(kSection, QStringLiteral("Bottom"), rect.top() + rect.height());
    profile_.writeInt(kSection, QStringLiteral("FullScreen"), isMaximized() ? 1 : 0);
}

void CDisplayer::paintEvent(QPaintEvent*) {
    if (!renderer_.prepare(width(), height())) return;
    // The player types are read before the display's lock is taken: a producer thread
    // holds the log player's lock while it hands a record over under the display's lock.
    std::vector<player_type_t> types;
    double ballSize = kDefaultBallSize;
    std::optional<std::array<int, 2>> counters;
    if (host_) {
        if (const LogPlayer* player = host_->displayLogPlayer()) {
            types = player->player_types();
            ballSize = player->ball_size();
        }
        counters = host_->displayHeaderCounters();
    }
    FieldScene snapshot;
    {
        std::lock_guard lock(mutex_);
        scene_.setPlayerTypes(types, ballSize);
        snapshot = scene_;
    }
    snapshot.scoreCounters = counters;
    gatherOverlayInputs(overlays_, host_ ? host_->displayLogPlayer() : nullptr,
                        host_ ? host_->displayAnalyzer() : nullptr, snapshot, options_, presentMode());
    if (options_.debug) snapshot.debugText = debugText();
    {
        QPainter painter(this);
        renderer_.paint(painter, snapshot, options_);
    }
    trackReferenceWindow();
    emit detailsChanged(detailTexts(snapshot));
    // The trainer's per-frame step sees the record just drawn.
    if (host_) {
        std::optional<ShowState> shown;
        if (snapshot.showCurrent()) shown = snapshot.state;
        host_->displayPaintStep(shown, options_.Recover);
    }
}

int CDisplayer::hitTest(QPoint point, bool selecting) {
    std::lock_guard lock(mutex_);
    const int index = hitTestScene(scene_, renderer_.view(), options_.PlayerScale, point);
    if (index >= 0 && selecting) scene_.selected = index;
    return index;
}

void CDisplayer::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && renderer_.view().zoomedIn()) {
        panFrom_ = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    const int before = selected();
    bool hit = hitTest(point, true) >= 0;
    if (selected() != before) emit stateChanged();
    // A click on no player may finish a drawing, or select or deselect drawings.
    if (!hit) hit = visuals_.track(event->modifiers(), point);
    if (hit) {
        update();
    } else if (auto object = makeVisualObject(drawingTool(), renderer_, point)) {
        visuals_.append(std::move(object));
        update();
    }
    QWidget::mousePressEvent(event);
    if (hit) return;
    if (zoomMode_ != kZoomNone) {
        renderer_.zoom(point.x(), point.y(), zoomMode_ == kZoomIn);
        zoomMode_ = kZoomNone;
        update();
        emit stateChanged();
        return;
    }
    const FieldView& v = renderer_.view();
    showHint(point, QString::asprintf("(%.2f,%.2f)", v.ToWorldX(point.x()), v.ToWorldY(point.y())));
}

void CDisplayer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && panFrom_) {
        panFrom_.reset();
        setCursor(Qt::ArrowCursor);
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CDisplayer::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (panFrom_ && (event->buttons() & Qt::MiddleButton)) {
        renderer_.pan(point.x() - panFrom_->x(), point.y() - panFrom_->y());
        panFrom_ = point;
        update();
        return;
    }
    panFrom_.reset();
    if (hint_) hint_->hide();
    if (zoomMode_ == kZoomIn) {
        setCursor(zoomInCursor());
    } else if (zoomMode_ == kZoomOut) {
        setCursor(zoomOutCursor());
    } else {
        setCursor(Qt::ArrowCursor);
    }
    std::optional<QString> objectHint;
    if (hitTest(point, false) >= 0) {
        setCursor(Qt::PointingHandCursor);
    } else if (const CVisualObject* object = visuals_.hit(event->modifiers(), point)) {
        setCursor(Qt::PointingHandCursor);
        objectHint = object->Describe();
    }
    QWidget::mouseMoveEvent(event);
    if (objectHint) showHint(point, *objectHint);
    // A decision under the mouse replaces the drawing's hint.
    if (const auto decision = decisionHint(point)) showHint(point, *decision);
}

std::optional<QString> CDisplayer::decisionHint(QPoint point) const {
    const LogPlayer* player = host_ ? host_->displayLogPlayer() : nullptr;
    if (!player) return std::nullopt;
    const bool passes = player->decisionsLoaded(DecisionFile::Pass);
    const bool intercepts = player->decisionsLoaded(DecisionFile::Intercept);
    if (!passes && !intercepts) return std::nullopt;
    const CurrentDecisions decisions = player->currentDecisions();
    const FieldView& v = renderer_.view();
    if (options_.PassInfo || (options_.DribbleInfo && passes)) {
        if (auto hint = passDecisionHint(decisions.pass, v, point)) return hint;
    }
    if (options_.InterceptInfo && intercepts) return interceptDecisionHint(decisions.intercept, v, point);
    return std::nullopt;
}

void CDisplayer::leaveEvent(QEvent* event) {
    if (hint_) hint_->hide();
    QWidget::leaveEvent(event);
}

void CDisplayer::showHint(QPoint point, const QString& text) {
    if (!hint_) hint_ = new CHintWindow(this);
    hint_->ShowHint(point, text);
}

void CDisplayer::trackReferenceWindow() {
    // The details window moves with the main frame while the display sits inside it,
    // with the display's own window otherwise.
    QWidget* reference = window();
    if (reference == followed_) return;
    if (followed_ && followed_ != this) followed_->removeEventFilter(this);
    followed_ = reference;
    if (reference != this) reference->installEventFilter(this);
    emit referenceWindowChanged();
}

bool CDisplayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == followed_ && followed_ != this && event->type() == QEvent::Move) {
        emit referenceWindowMoved(followed_->frameGeometry());
    }
    return QWidget::eventFilter(watched, event);
}

void CDisplayer::moveEvent(QMoveEvent* event) {
    if (isWindow() && followed_ == this) emit referenceWindowMoved(frameGeometry());
    QWidget::moveEvent(event);
}

void CDisplayer::setPresentMode(int mode) {
    presentMode_ = mode;
    update();
}

void CDisplayer::setDrawingTool(int tool) { drawingTool_ = tool; }

void CDisplayer::gameReplaced() {
    overlays_.passCourse().clear();
    update();
}

CHintWindow* CDisplayer::hint() const { return hint_; }

void CDisplayer::DeleteSelected() {
    if (visuals_.deleteSelected()) update();
}

void CDisplayer::contextMenuEvent(QContextMenuEvent* event) {
    const FieldView& v = renderer_.view();
    openContextMenu(QPointF(v.ToWorldX(event->pos().x()), v.ToWorldY(event->pos().y())), event->globalPos());
    event->accept();
}

void CDisplayer::openContextMenu(QPointF world, QPoint globalPosition) {
    // Set before the menu opens: the command chosen from it runs while it is still open.
    menuPoint_ = QPoint(toSixteenths(world.x()), toSixteenths(world.y()));
    if (host_) host_->displayContextMenu(logMode_, globalPosition);
}

void CDisplayer::mouseDoubleClickEvent(QMouseEvent* event) {
    // QWidget's own handler takes the second press for a click: it would draw or select again.
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    toggleFullScreen();
}

void CDisplayer::keyPressEvent(QKeyEvent* event) {
    // Every other key is a shortcut of the program's actions.
    if (event->key() == Qt::Key_Escape && fullScreen()) {
        leaveFullScreen();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CDisplayer::focusNextPrevChild(bool) { return false; }  // Tab is a command key

void CDisplayer::closeEvent(QCloseEvent* event) {
    if (host_ && isWindow()) {
        event->ignore();
        host_->displayCloseRequested();
        return;
    }
    QWidget::closeEvent(event);
}

void CDisplayer::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CDisplayer::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty() || !host_) return;
    event->acceptProposedAction();
    host_->displayDroppedFiles(paths);
}

}  // namespace tessarin
