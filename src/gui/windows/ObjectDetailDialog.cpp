#include "windows/ObjectDetailDialog.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

#if TESSARIN_HAVE_XCB
#include <xcb/xcb.h>
#endif

#include "settings/Profile.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("Displayer");
const QString kTransparencyKey = QStringLiteral("ODWindow");
const QString kLeftKey = QStringLiteral("ODLeft");
const QString kTopKey = QStringLiteral("ODTop");

// The window's layout is given in dialog units of the system's dialog font; these are
// the pixels of one unit across and down.
constexpr double kUnitX = 1.5;
constexpr double kUnitY = 1.625;
int ux(int units) { return static_cast<int>(units * kUnitX); }
int uy(int units) { return static_cast<int>(units * kUnitY); }

QString fromText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CObjectDetailDialog::CObjectDetailDialog(Profile& profile, QWidget* display)
    : ForwardingDialog(display, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      profile_(profile),
      display_(*display) {
    setWindowTitle(tr("Object Details"));
    setAcceptDrops(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(ux(4), uy(5), ux(4), uy(5));
    grid->setHorizontalSpacing(ux(2));
    grid->setVerticalSpacing(uy(6));
    // The window is as large as its texts need, never smaller than its dialog-unit layout.
    grid->setSizeConstraint(QLayout::SetFixedSize);
    const int columnWidth = std::max(ux(70), fontMetrics().horizontalAdvance(QStringLiteral("HeadAngle:-180.00  ")));
    for (int row = 0; row < kDetailRows; ++row) {
        for (int column = 0; column < 2; ++column) {
            auto* label = new QLabel(QString::fromLatin1(kNotAvailable), this);
            const int id = column == 0 ? kDetailLeftIds[static_cast<std::size_t>(row)]
                                       : kDetailRightIds[static_cast<std::size_t>(row)];
            label->setObjectName(QString::number(id));
            label->setFixedSize(columnWidth, std::max(uy(14), label->sizeHint().height()));
            grid->addWidget(label, row, column);
            labels_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = label;
        }
    }
    messageBox_ = new QPlainTextEdit(this);
    messageBox_->setObjectName(QString::number(kDetailMessageId));
    messageBox_->setReadOnly(true);
    messageBox_->setPlainText(QString::fromLatin1(kNotAvailable));
    messageBox_->setFixedHeight(uy(60));
    // Keys are the main frame's, so the box never keeps the focus.
    messageBox_->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(messageBox_, kDetailRows, 0, 1, 2);

    const int mode = profile_.readInt(kSection, kTransparencyKey, kTransparent);
    transparency_ = mode >= kTransparent && mode <= kAlpha ? mode : kTransparent;
    const int left = profile_.readInt(kSection, kLeftKey, std::numeric_limits<int>::min());
    const int top = profile_.readInt(kSection, kTopKey, std::numeric_limits<int>::min());
    // A stored position off every screen would hide the window for good.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(QPoint(left, top))) {
            move(left, top);
            placed_ = true;
            break;
        }
    }
    applyTransparency();
}

CObjectDetailDialog::~CObjectDetailDialog() {
    profile_.writeInt(kSection, kTransparencyKey, transparency_);
    profile_.writeInt(kSection, kLeftKey, x());
    profile_.writeInt(kSection, kTopKey, y());
}

void CObjectDetailDialog::refresh(const std::optional<DetailTexts>& texts) {
    if (!texts) return;
    for (int row = 0; row < kDetailRows; ++row) {
        for (int column = 0; column < 2; ++column) {
            QLabel& label = *labels_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            label.setText(fromText(texts->lines[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
            fitLabel(label);
        }
    }
    QString box = fromText(texts->messages);
    box.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (box != messageBox_->toPlainText()) messageBox_->setPlainText(box);
}

QString CObjectDetailDialog::line(int row, int column) const {
    return labels_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)]->text();
}

QString CObjectDetailDialog::messages() const { return messageBox_->toPlainText(); }

void CObjectDetailDialog::fitLabel(QLabel& label) {
    const int needed = label.fontMetrics().horizontalAdvance(label.text()) + 2 * label.margin() + 2;
    if (needed > label.width()) label.setFixedWidth(needed);
}

bool CObjectDetailDialog::layeredWindowsAvailable() {
    const QString platform = QGuiApplication::platformName();
    // A Wayland compositor composes every window.
    if (platform.startsWith(QStringLiteral("wayland"))) return true;
    if (platform != QStringLiteral("xcb")) return false;
#if TESSARIN_HAVE_XCB
    // On X11 a compositing manager owns the selection _NET_WM_CM_S<screen>; without one a
    // translucent window is drawn black.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;
    // The screen is the one the connection was opened for, named by DISPLAY.
    int display = 0;
    int screen = 0;
    if (char* host = nullptr; xcb_parse_display(nullptr, &host, &display, &screen) != 0) std::free(host);
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.constData()),
                              nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
#else
    return false;
#endif
}

void CObjectDetailDialog::setTransparency(int mode) {
    if (mode < kTransparent || mode > kAlpha) return;
    transparency_ = mode;
    applyTransparency();
    if (isVisible()) sayWhenOpaqueInstead();
}

int CObjectDetailDialog::appliedTransparency() const { return layeredWindowsAvailable() ? transparency_ : kOpaque; }

void CObjectDetailDialog::applyTransparency() {
    const int mode = appliedTransparency();
    const bool textsOnly = mode == kTransparent;
    // A window's translucency is chosen when its native window is made: change it on a
    // window that exists by making that anew.
    if (testAttribute(Qt::WA_TranslucentBackground) != textsOnly) {
        const bool shown = isVisible();
        const QPoint at = pos();
        const bool made = testAttribute(Qt::WA_WState_Created);
        if (made) {
            hide();
            destroy();
        }
        setAttribute(Qt::WA_TranslucentBackground, textsOnly);
        if (made) {
            move(at);
            if (shown) show();
        }
    }
    setAutoFillBackground(!textsOnly);
    messageBox_->viewport()->setAutoFillBackground(!textsOnly);
    messageBox_->setFrameShape(textsOnly ? QFrame::NoFrame : QFrame::StyledPanel);
    setWindowOpacity(mode == kAlpha ? 128.0 / 255.0 : 1.0);
    update();
}

void CObjectDetailDialog::sayWhenOpaqueInstead() {
    if (fallbackSaid_ || appliedTransparency() == transparency_) return;
    fallbackSaid_ = true;
    emit notice(tr("This desktop shows no translucent windows: the object details are shown opaque"));
}

void CObjectDetailDialog::showEvent(QShowEvent* event) {
    ForwardingDialog::showEvent(event);
    if (!placed_) placeBesideDisplay();
    placed_ = true;
    sayWhenOpaqueInstead();
}

void CObjectDetailDialog::placeBesideDisplay() {
    const QRect beside = display_.window()->frameGeometry();
    const QScreen* screen = display_.screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    // Right of the display's window where there is room, else left of it, else inside it
    // at its right edge; always on the screen.
    int left = beside.right() + 1;
    if (left + size.width() > area.right() + 1) left = beside.left() - size.width();
    if (left < area.left()) left = std::min(beside.right(), area.right() + 1) - size.width();
    move(std::clamp(left, area.left(), std::max(area.left(), area.right() + 1 - size.width())),
         std::clamp(beside.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
}

void CObjectDetailDialog::keepOnScreen() {
    const QScreen* screen = display_.screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(std::clamp(x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())),
         std::clamp(y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
}

void CObjectDetailDialog::followReference(const QRect& reference) {
    if (reference_) {
        move(pos() + reference.topLeft() - reference_->topLeft());
        keepOnScreen();
    }
    reference_ = reference;
}

void CObjectDetailDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const std::pair<int, QString> items[] = {
        {kTransparent, tr("&Transparent")}, {kOpaque, tr("&Opaque")}, {kAlpha, tr("&Alpha")}};
    for (const auto& [mode, text] : items) {
        QAction* action = menu.addAction(text);
        action->setCheckable(true);
        action->setChecked(mode == transparency_);
        action->setData(mode);
    }
    if (QAction* chosen = menu.exec(event->globalPos())) setTransparency(chosen->data().toInt());
    event->accept();
}

}  // namespace tessarin
