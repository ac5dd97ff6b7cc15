#include "windows/ObjectDetailDialog.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>

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
      profile_(profile) {
    setWindowTitle(tr("Object Details"));
    setAcceptDrops(true);
    for (int row = 0; row < kDetailRows; ++row) {
        for (int column = 0; column < 2; ++column) {
            auto* label = new QLabel(QString::fromLatin1(kNotAvailable), this);
            const int id = column == 0 ? kDetailLeftIds[static_cast<std::size_t>(row)]
                                       : kDetailRightIds[static_cast<std::size_t>(row)];
            label->setObjectName(QString::number(id));
            label->setGeometry(ux(column == 0 ? 4 : 76), uy(5 + 20 * row), ux(70), uy(14));
            labels_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = label;
        }
    }
    messageBox_ = new QPlainTextEdit(this);
    messageBox_->setObjectName(QString::number(kDetailMessageId));
    messageBox_->setReadOnly(true);
    messageBox_->setPlainText(QString::fromLatin1(kNotAvailable));
    messageBox_->setGeometry(ux(4), uy(5 + 20 * kDetailRows), ux(142), uy(60));
    // Keys are the main frame's, so the box never keeps the focus.
    messageBox_->setFocusPolicy(Qt::NoFocus);
    setFixedSize(ux(150), uy(70 + 20 * kDetailRows));

    const int mode = profile_.readInt(kSection, kTransparencyKey, kTransparent);
    transparency_ = mode >= kTransparent && mode <= kAlpha ? mode : kTransparent;
    const int left = profile_.readInt(kSection, kLeftKey, x());
    const int top = profile_.readInt(kSection, kTopKey, y());
    // A stored position off every screen would hide the window for good.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(QPoint(left, top))) {
            move(left, top);
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
            labels_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]->setText(
                fromText(texts->lines[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
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

bool CObjectDetailDialog::layeredWindowsAvailable() {
    const QString platform = QGuiApplication::platformName();
    return platform != QStringLiteral("offscreen") && platform != QStringLiteral("minimal") &&
           platform != QStringLiteral("linuxfb") && platform != QStringLiteral("vnc") &&
           platform != QStringLiteral("eglfs");
}

void CObjectDetailDialog::setTransparency(int mode) {
    if (mode < kTransparent || mode > kAlpha) return;
    transparency_ = mode;
    applyTransparency();
}

void CObjectDetailDialog::applyTransparency() {
    // Without a window system that composes translucent windows only the mode is kept.
    if (!layeredWindowsAvailable()) return;
    const bool textsOnly = transparency_ == kTransparent;
    setAttribute(Qt::WA_TranslucentBackground, textsOnly);
    setAutoFillBackground(!textsOnly);
    messageBox_->viewport()->setAutoFillBackground(!textsOnly);
    messageBox_->setFrameShape(textsOnly ? QFrame::NoFrame : QFrame::StyledPanel);
    setWindowOpacity(transparency_ == kAlpha ? 128.0 / 255.0 : 1.0);
    update();
}

void CObjectDetailDialog::followReference(const QRect& reference) {
    if (reference_) move(pos() + reference.topLeft() - reference_->topLeft());
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
