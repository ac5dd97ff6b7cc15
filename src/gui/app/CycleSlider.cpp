#include "app/CycleSlider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

#include "record/LogPlayer.h"

namespace tessarin {

namespace {

// Cycles are 16-bit signed in the records.
std::int16_t toCycle(int value) { return static_cast<std::int16_t>(std::clamp(value, -32768, 32767)); }

constexpr int kPageFraction = 20;

}  // namespace

CCycleSlider::CCycleSlider(LogPlayer& player, int firstCycle, int lastCycle, int currentCycle, QWidget* parent)
    : QDialog(parent),
      player_(player),
      first_(toCycle(firstCycle)),
      last_(toCycle(std::max(firstCycle, lastCycle))),
      chosen_(toCycle(std::clamp(currentCycle, firstCycle, std::max(firstCycle, lastCycle)))) {
    setWindowTitle(tr("Jump to ..."));
    auto* layout = new QHBoxLayout(this);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    firstText_ = new QLabel(QString::number(first_), this);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(first_, last_);
    slider_->setValue(chosen_);
    slider_->setTracking(true);
    // A click on the track moves a twentieth of the game, keys a cycle.
    slider_->setPageStep(std::max(1, (last_ - first_) / kPageFraction));
    slider_->setSingleStep(1);
    slider_->setMinimumWidth(400);
    lastText_ = new QLabel(QString::number(last_), this);
    // A typed cycle counts once it is complete: Enter (which also presses OK) or leaving the box.
    cycleBox_ = new QSpinBox(this);
    cycleBox_->setRange(first_, last_);
    cycleBox_->setValue(chosen_);
    cycleBox_->setKeyboardTracking(false);
    cycleBox_->setAlignment(Qt::AlignCenter);
    layout->addWidget(ok);
    layout->addWidget(firstText_);
    layout->addWidget(slider_, 1);
    layout->addWidget(lastText_);
    layout->addWidget(cycleBox_);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Every change of the slider, by dragging, clicking or keys, chooses and previews
    // its cycle, so "OK" always jumps to the cycle the slider shows.
    connect(slider_, &QSlider::valueChanged, this, &CCycleSlider::choose);
    connect(cycleBox_, &QSpinBox::valueChanged, slider_, &QSlider::setValue);
    // Typing replaces the shown cycle.
    cycleBox_->setFocus();
    cycleBox_->selectAll();
}

void CCycleSlider::choose(int cycle) {
    chosen_ = toCycle(cycle);
    cycleBox_->setValue(chosen_);
    player_.preview(chosen_);
}

}  // namespace tessarin
