#include "Tessarin.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>

#include "MainFrm.h"
#include "Profile.h"
#include "display/Displayer.h"

namespace tessarin {

namespace {

constexpr int kDisplayWidth = 600;
constexpr int kDisplayHeight = 400;
constexpr int kFrameWidth = 800;

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

void CTessarinApp::InitInstance(const QString& path) {
    frame_ = std::make_unique<CMainFrame>(profile_, *trainer_);
    frame_->setWindowIcon(icon());
    frame_->resize(kFrameWidth, frame_->height());
    display_ = std::make_unique<CDisplayer>(profile_);
    display_->setWindowIcon(icon());
    frame_->setOwner(this);

    const bool separated = profile_.readInt(QStringLiteral("Displayer"), QStringLiteral("Separated"), 1) != 0;
    placeDisplay(separated);

    // A hidden frame is only reachable again through the separated display's keys, so
    // "Hide" is honoured only then: otherwise the program would start with no window.
    const bool hide = profile_.readInt(QStringLiteral("MainFrame"), QStringLiteral("Hide"), 0) == 1;
    if (!(hide && separated)) frame_->show();
    frame_->fitToContents();

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
        frame->resize(std::max(frame->width(), kDisplayWidth), frame->barsBottom() + kDisplayHeight);
    }
}

void CTessarinApp::OpenDocumentFile(const QString& path) {
    if (frame_) frame_->openDocument(path);
}

QIcon CTessarinApp::icon() {
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
    box.setText(QStringLiteral("Tessarin Version 2.0"));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace tessarin
