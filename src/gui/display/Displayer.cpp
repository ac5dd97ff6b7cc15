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
#include "windows/DrawingBox.h"
#include "windows/ObjectDetailDialog.h"
#include "windows/PresentDialog.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("Displayer");
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
    // The details window writes its settings when destroyed: before they are synced.
    delete details_;
    delete drawingBox_;
    delete present_;
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

void CDisplayer::toggleAndRepaint(bool& flag) {
    flag = !flag;
    update();
}

void CDisplayer::toggleAndSend(bool& flag, const char* format, bool redraw) {
    flag = !flag;
    char text[64];
    std::snprintf(text, sizeof text, format, flag ? 1 : 0);
    send(text);
    if (redraw) update();
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

void CDisplayer::DisplayCommand(int n, int argument) {
    switch (n) {
        case kOpStamina:
            toggleAndRepaint(options_.Stamina);
            break;
        case kOpKickmargin:
            toggleAndRepaint(options_.Kickmargin);
            break;
        case kOpViewarea:
            toggleAndRepaint(options_.Viewarea);
            break;
        case kOpEnlarge:
            if (options_.PlayerScale < kPlayerScaleMax) {
                options_.PlayerScale += kPlayerScaleStep;
                update();
            }
            break;
        case kOpReduce:
            if (options_.PlayerScale > kPlayerScaleMin) {
                options_.PlayerScale -= kPlayerScaleStep;
                update();
            }
            break;
        case kOpNumber:
            toggleAndRepaint(options_.Number);
            break;
        case kOpVelocity:
            toggleAndRepaint(options_.Velocity);
            break;
        case kOpSelect:
            select(argument);
            break;
        case kOpUnselect:
            select(kSelectNothing);
            break;
        case kOpFullScreen:
            toggleFullScreen();
            break;
        case kOpOffsideLine:
            toggleAndRepaint(options_.OffsideLine);
            break;
        case kOpBallDetail:
            toggleAndRepaint(options_.BallDetail);
            break;
        case kOpControlCourse:
            toggleAndRepaint(options_.ControlCourse);
            break;
        case kOpZoomIn:
            zoomMode_ = zoomMode_ == kZoomIn ? kZoomNone : kZoomIn;
            break;
        case kOpZoomOut:
            zoomMode_ = zoomMode_ == kZoomOut ? kZoomNone : kZoomOut;
            break;
        case kOpDrawCircle: {
            std::lock_guard lock(mutex_);
            scene_.drawCircle = !scene_.drawCircle;
        }
            update();
            break;
        case kOpControlArea:
            toggleAndRepaint(options_.ControlArea);
            break;
        case kOpPause:
            toggleAndSend(options_.pause, "(disppause %d)", false);
            break;
        case kOpBackWard:
            if (options_.pause && !options_.debug && host_) host_->displayStartReplay();
            break;
        case kOpDebug:
            toggleAndSend(options_.debug, "(dispdebug %d)", false);
            break;
        case kOpPassInfo:
            toggleAndSend(options_.PassInfo, "(disppassinfo %d)", true);
            break;
        case kOpShootInfo:
            toggleAndSend(options_.ShootInfo, "(dispshootinfo %d)", true);
            break;
        case kOpSightInfo:
            toggleAndSend(options_.SightInfo, "(dispsightinfo %d)", true);
            break;
        case kOpDribbleInfo:
            toggleAndSend(options_.DribbleInfo, "(dispdribble %d)", true);
            break;
        case kOpInterceptInfo:
            toggleAndSend(options_.InterceptInfo, "(dispintercept %d)", true);
            break;
        case kOpDefenseInfo:
            toggleAndSend(options_.DefenseInfo, "(dispdeffense %d)", true);
            break;
        case kOpPlan:
            toggleAndSend(options_.plan, "(dispplaninfo %d)", true);
            break;
        case kOpFullStateLeft:
            toggleAndSend(options_.fullStateLeft, "(dispfullsl %d)", true);
            break;
        case kOpFullStateRight:
            toggleAndSend(options_.fullStateRight, "(dispfullsr %d)", true);
            break;
        case kOpRecover:
            options_.Recover = !options_.Recover;
            if (host_) host_->displayRecover();
            update();
            break;
        case kOpOpponentModel:
            toggleAndRepaint(options_.opponentModel);
            break;
        default:
            break;
    }
}

bool CDisplayer::QueryCommand(int n) const {
    switch (n) {
        case kOpStamina:
            return options_.Stamina;
        case kOpKickmargin:
            return options_.Kickmargin;
        case kOpViewarea:
            return options_.Viewarea;
        case kOpEnlarge:
            return options_.PlayerScale < kPlayerScaleMax;
        case kOpReduce:
            return options_.PlayerScale > kPlayerScaleMin;
        case kOpNumber:
            return options_.Number;
        case kOpVelocity:
            return options_.Velocity;
        case kOpUnselect:
            return selected() < kSelectNothing;
        case kOpFullScreen:
            return isWindow() && isMaximized();
        case kOpOffsideLine:
            return options_.OffsideLine;
        case kOpBallDetail:
            return options_.BallDetail;
        case kOpControlCourse:
            return options_.ControlCourse;
        case kOpZoomIn:
            return zoomMode_ == kZoomIn;
        case kOpZoomOut:
            return zoomMode_ == kZoomOut;
        case kOpDrawCircle:
            return drawCircle();
        case kOpControlArea:
            return options_.ControlArea;
        case kOpPause:
            return options_.pause;
        case kOpDebug:
            return options_.debug;
        case kOpPassInfo:
            return options_.PassInfo;
        case kOpShootInfo:
            return options_.ShootInfo;
        case kOpSightInfo:
            return options_.SightInfo;
        case kOpDribbleInfo:
            return options_.DribbleInfo;
        case kOpInterceptInfo:
            return options_.InterceptInfo;
        case kOpDefenseInfo:
            return options_.DefenseInfo;
        case kOpPlan:
            return options_.plan;
        case kOpFullStateLeft:
            return options_.fullStateLeft;
        case kOpFullStateRight:
            return options_.fullStateRight;
        case kOpRecover:
            return options_.Recover;
        case kOpOpponentModel:
            return options_.opponentModel;
        default:  // 7 select, 18 replay
            return false;
    }
}

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
    if (isWindow() && isMaximized()) toggleFullScreen();
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
    ensureDetails();
    details_->refresh(detailTexts(snapshot));
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
    bool hit = hitTest(point, true) >= 0;
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

void CDisplayer::ensureDetails() {
    if (!details_) {
        details_ = new CObjectDetailDialog(profile_, this);
        details_->setKeyHandler([this](QKeyEvent* event) {
            if (host_) host_->displayKey(event);
        });
        details_->setDropHandler([this](const QStringList& paths) {
            if (host_) host_->displayDroppedFiles(paths);
        });
    }
    // The details window moves with the main frame while the display sits inside it,
    // with the display's own window otherwise.
    QWidget* reference = window();
    if (reference != followed_) {
        if (followed_ && followed_ != this) followed_->removeEventFilter(this);
        followed_ = reference;
        if (reference != this) reference->installEventFilter(this);
        details_->resetReference();
    }
}

bool CDisplayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == followed_ && followed_ != this && event->type() == QEvent::Move && details_) {
        details_->followReference(followed_->frameGeometry());
    }
    return QWidget::eventFilter(watched, event);
}

void CDisplayer::moveEvent(QMoveEvent* event) {
    if (isWindow() && followed_ == this && details_) details_->followReference(frameGeometry());
    QWidget::moveEvent(event);
}

void CDisplayer::ensureDrawingBox() {
    if (drawingBox_) return;
    drawingBox_ = new CDrawingBox(this);
    drawingBox_->setKeyHandler([this](QKeyEvent* event) {
        if (host_) host_->displayKey(event);
    });
    drawingBox_->setDropHandler([this](const QStringList& paths) {
        if (host_) host_->displayDroppedFiles(paths);
    });
}

void CDisplayer::TogglePresent() {
    if (!present_) {
        present_ = new CPresentDialog(this, profile_, [this] { update(); });
        present_->setKeyHandler([this](QKeyEvent* event) {
            if (host_) host_->displayKey(event);
        });
        present_->setDropHandler([this](const QStringList& paths) {
            if (host_) host_->displayDroppedFiles(paths);
        });
    }
    present_->setVisible(!present_->isVisible());
}

void CDisplayer::gameReplaced() {
    overlays_.passCourse().clear();
    update();
}

CPresentDialog* CDisplayer::presentDialog() const { return present_; }
int CDisplayer::presentMode() const { return present_ ? present_->Mode() : 0; }

CObjectDetailDialog* CDisplayer::details() const { return details_; }
CDrawingBox* CDisplayer::drawingBox() const { return drawingBox_; }
CHintWindow* CDisplayer::hint() const { return hint_; }

int CDisplayer::drawingTool() const { return drawingBox_ ? drawingBox_->tool() : kToolSelect; }

void CDisplayer::ToggleDetails() {
    ensureDetails();
    details_->setVisible(!details_->isVisible());
}

void CDisplayer::ToggleDrawingBox() {
    ensureDrawingBox();
    drawingBox_->setVisible(!drawingBox_->isVisible());
}

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
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) toggleFullScreen();
}

void CDisplayer::keyPressEvent(QKeyEvent* event) {
    if (host_) {
        host_->displayKey(event);
    } else {
        QWidget::keyPressEvent(event);
    }
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
