#include "windows/PresentDialog.h"

#include <QFontMetrics>
#include <QPushButton>

#include "display/OverlayGeometry.h"
#include "settings/WindowPlacement.h"

namespace tessarin {

namespace {

const QString kSection = QStringLiteral("Present");

// The window's size and its buttons' places in dialog units: a quarter of the average
// character width across, an eighth of the line height down.
constexpr int kWidthUnits = 158;
constexpr int kHeightUnits = 34;
constexpr int kButtonWidthUnits = 50;
constexpr int kButtonHeightUnits = 14;

struct ButtonPlace {
    int id;
    const char* text;
    int mode;
    int x, y;  // dialog units
};
constexpr ButtonPlace kButtons[] = {
    {1062, "Dribble", kPresentDribble, 2, 2},       {1064, "Shot", kPresentShot, 54, 2},
    {1063, "Pass", kPresentPass, 106, 2},           {1066, "Position", kPresentPosition, 2, 17},
    {1065, "Intercept", kPresentIntercept, 54, 17}, {1067, "Clear", kPresentClear, 106, 17},
};

}  // namespace

CPresentDialog::CPresentDialog(QWidget* display, Profile& profile)
    : ForwardingDialog(display, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), profile_(profile) {
    setWindowTitle(tr("Present"));
    setAcceptDrops(true);
    const QFontMetrics metrics(font());
    const auto across = [&](int units) { return units * metrics.averageCharWidth() / 4; };
    const auto down = [&](int units) { return units * metrics.height() / 8; };
    for (const ButtonPlace& place : kButtons) {
        auto* button = new QPushButton(tr(place.text), this);
        button->setObjectName(QString::number(place.id));
        button->setAutoDefault(false);
        // Keys are the program's commands, not the buttons'.
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(across(place.x), down(place.y), across(kButtonWidthUnits), down(kButtonHeightUnits));
        const int mode = place.mode;
        connect(button, &QPushButton::clicked, this, [this, mode] { setMode(mode); });
    }
    setFixedSize(across(kWidthUnits), down(kHeightUnits));
    restorePlacement(*this, profile_, kSection);
}

CPresentDialog::~CPresentDialog() {
    // Destroyed with its owner while still shown: no hide event reaches this class then.
    if (isVisible()) savePlacement(*this, profile_, kSection);
}

void CPresentDialog::setMode(int mode) {
    mode_ = mode;
    emit modeChanged(mode);
}

void CPresentDialog::hideEvent(QHideEvent* event) {
    savePlacement(*this, profile_, kSection);
    ForwardingDialog::hideEvent(event);
}

void CPresentDialog::reject() {
    setMode(kPresentClear);
    hide();
}

}  // namespace tessarin
