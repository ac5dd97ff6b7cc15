#include "app/Tessarin.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

#include "TessarinVersion.h"
#include "app/MainFrm.h"
#include "display/Displayer.h"
#include "settings/Profile.h"

namespace tessarin {

namespace {

constexpr int kDisplayWidth = 600;
constexpr int kDisplayHeight = 400;
constexpr int kFrameWidth = 800;
// Between the bar strip's frame and the display's title bar, in pixels.
constexpr int kStripGap = 4;
// Width a title bar's buttons and icon take beside the title, in pixels.
constexpr int kTitleBarButtonsRoom = 160;
// Room kept for a title bar above the work area's bottom edge, in pixels.
constexpr int kTitleBarRoom = 48;

}  // namespace

CTessarinApp::CTessarinApp(Profile& profile, TrainerOptions trainer)
    : profile_(profile),
      trainerMessages_(*this),
      trainer_(std::make_unique<COfflineCoach>(trainerMessages_, std::move(trainer.directory), trainer.port)) {}

void CTessarinApp::TrainerMessages::showMessage(const std::string& text) {
    if (CMainFrame* frame = app_.mainFrame()) frame->showMessage(text);
}

CTessarinApp::~CTessarinApp() {
    // The frame ends the live connection (and with it the trainer's) while the display
    // exists; the trainer, destroyed last, then finds no frame to report to.
    frame_.reset();
    display_.reset();
}

void CTessarinApp::InitInstance(const QString& path, std::optional<QPoint> at) {
    frame_ = std::make_unique<CMainFrame>(profile_, *trainer_);
    frame_->setWindowIcon(icon());
    frame_->resize(kFrameWidth, frame_->height());
    display_ = std::make_unique<CDisplayer>(profile_);
    display_->setWindowIcon(icon());
    frame_->setOwner(this);
    if (at) frame_->move(*at);

    const bool separated = profile_.readInt(QStringLiteral("Displayer"), QStringLiteral("Separated"), 1) != 0;
    placeDisplay(separated);

    // A hidden frame is only reachable again through the separated display's keys, so
    // "Hide" is honoured only then: otherwise the program would start with no window.
    const bool hide = profile_.readInt(QStringLiteral("MainFrame"), QStringLiteral("Hide"), 0) == 1;
    if (!(hide && separated)) frame_->show();
    frame_->fitToContents();
    // Without a place of its own (the first start, or an instance opened beside another)
    // the display goes under the strip rather than where the window system puts it; on
    // the first start both are sized to the screen and centred on it together.
    const bool firstStart = !at && !profile_.contains(QStringLiteral("Displayer"), QStringLiteral("Left"));
    if (separated && firstStart) placeOnFirstStart();
    if (separated && (at || firstStart)) placeBelowStrip();

    if (!path.isEmpty()) OpenDocumentFile(path);
}

void CTessarinApp::placeDisplay(bool separated) {
    CMainFrame* frame = frame_.get();
    CDisplayer* display = display_.get();
    const bool frameVisible = frame->isVisible();
    if (frame->centralWidget() == display) frame->takeCentralWidget();
    display->hide();

    Qt::WindowFlags flags = Qt::Window;
    if (separated) {
        // A strip of bars: no maximise or minimise box, and no sizing of its height.
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (frame->onTop()) flags |= Qt::WindowStaysOnTopHint;
    frame->setWindowFlags(flags);

    if (separated) {
        display->setParent(nullptr);
        display->setWindowFlags(Qt::Window);
        display->setWindowTitle(QStringLiteral("Displayer Window"));
        display->resize(kDisplayWidth, kDisplayHeight);
        display->restorePlacement();
        frame->setDisplayer(display, true);
        display->show();
    } else {
        frame->setMinimumHeight(0);
        frame->setMaximumHeight(QWIDGETSIZE_MAX);
        display->resize(kDisplayWidth, kDisplayHeight);
        frame->setCentralWidget(display);
        frame->setDisplayer(display, false);
        display->show();
    }
    if (frameVisible) frame->show();

    if (separated) {
        frame->fitToContents();
    } else {
        frame->fitToContents();
        frame->resize(std::max(frame->width(), kDisplayWidth),
                      frame->barsBottom() + kDisplayHeight + frame->statusBar()->sizeHint().height());
    }
}

void CTessarinApp::placeOnFirstStart() {
    const QScreen* screen = frame_->screen();
    if (!screen) return;
    const QRect work = screen->availableGeometry();
    // The display takes two thirds of the screen's height, in the field's proportions,
    // never wider than nine tenths of the screen.
    int height = std::max(kDisplayHeight, work.height() * 2 / 3);
    int width = height * kDisplayWidth / kDisplayHeight;
    if (width > work.width() * 9 / 10) {
        width = std::max(kDisplayWidth, work.width() * 9 / 10);
        height = width * kDisplayHeight / kDisplayWidth;
    }
    display_->resize(width, height);
    const QRect strip = frame_->frameGeometry();
    const int together = strip.height() + kStripGap + kTitleBarRoom + height;
    const int left = work.left() + std::max(0, (work.width() - std::max(width, strip.width())) / 2);
    const int top = work.top() + std::max(0, (work.height() - together) / 2);
    frame_->move(left, top);
}

void CTessarinApp::placeBelowStrip() {
    const QRect strip = frame_->frameGeometry();
    QPoint place(strip.left(), strip.top() + strip.height() + kStripGap);
    if (const QScreen* screen = frame_->screen()) {
        // Keep the title bar on the screen: within the work area, the window's top-left
        // at least a title bar's height above the bottom.
        const QRect work = screen->availableGeometry();
        place.setX(std::clamp(place.x(), work.left(), std::max(work.left(), work.right() - display_->width())));
        place.setY(std::clamp(place.y(), work.top(), std::max(work.top(), work.bottom() - kTitleBarRoom)));
    }
    display_->move(place);
}

void CTessarinApp::OpenDocumentFile(const QString& path) {
    if (frame_) frame_->openDocument(path);
}

QIcon CTessarinApp::icon() {
    // Installed, the program shows the icon of its desktop entry; run from the build
    // tree, it draws a small one of its own.
    const QString installed = QString::fromLatin1(kDesktopId);
    if (QIcon::hasThemeIcon(installed)) return QIcon::fromTheme(installed);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 96, 0));
    p.drawRoundedRect(QRectF(0, 4, 32, 24), 3, 3);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 6.5, 27, 19));
    p.drawLine(QPointF(16, 6.5), QPointF(16, 25.5));
    p.drawEllipse(QPointF(16, 16), 4, 4);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 255, 10));
    p.drawEllipse(QPointF(10, 13), 2.5, 2.5);
    p.setBrush(QColor(200, 0, 0));
    p.drawEllipse(QPointF(22, 19), 2.5, 2.5);
    p.end();
    return QIcon(pixmap);
}

void CTessarinApp::showAbout(QWidget* parent) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("About Tessarin"));
    box.setIconPixmap(icon().pixmap(32, 32));
    box.setText(QString::fromLatin1(kVersionText));
    box.setStandardButtons(QMessageBox::Ok);
    // A message box is as narrow as its text; the window's title needs room of its own,
    // with some to spare for the title bar's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleWidth =
            QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(box.windowTitle());
        grid->addItem(
            new QSpacerItem(titleWidth + kTitleBarButtonsRoom, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
            grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

}  // namespace tessarin
