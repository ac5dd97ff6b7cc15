#pragma once

// The jump dialog: a slider over the game's cycles that previews each cycle on the
// field while it moves, and a number box that takes a typed cycle; "OK" or Enter accepts
// the chosen cycle.

#include <QDialog>
#include <cstdint>

class QLabel;
class QSpinBox;
class QSlider;

namespace tessarin {

class LogPlayer;

class CCycleSlider final : public QDialog {
    Q_OBJECT

public:
    CCycleSlider(LogPlayer& player, int firstCycle, int lastCycle, int currentCycle, QWidget* parent = nullptr);

    std::int16_t chosenCycle() const { return chosen_; }
    QSlider* slider() const { return slider_; }
    QSpinBox* cycleBox() const { return cycleBox_; }

private:
    void choose(int cycle);

    LogPlayer& player_;
    std::int16_t first_;
    std::int16_t last_;
    std::int16_t chosen_;
    QSlider* slider_ = nullptr;
    QLabel* firstText_ = nullptr;
    QLabel* lastText_ = nullptr;
    QSpinBox* cycleBox_ = nullptr;
};

}  // namespace tessarin
