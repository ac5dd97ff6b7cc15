#include "windows/ClipExportDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "display/FieldView.h"

namespace tessarin {

namespace {

// The clip writer's limits: speeds from a tenth to 64 times real time, up to 120 frames
// a second, sides up to 8192 pixels.
constexpr double kMinSpeed = 0.1;
constexpr double kMaxSpeed = 64.0;
constexpr int kMaxFps = 120;
constexpr int kMaxSide = 8192;

bool knownExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QStringLiteral("mp4") || suffix == QStringLiteral("webm") || suffix == QStringLiteral("gif");
}

QSpinBox* spinBox(int low, int high, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

}  // namespace

ClipExportDialog::ClipExportDialog(int firstCycle, int lastCycle, int shownCycle, const QString& look, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Export Clip"));
    lastCycle = std::max(firstCycle, lastCycle);
    shownCycle = std::clamp(shownCycle, firstCycle, lastCycle);
    from_ = spinBox(firstCycle, lastCycle, std::max(firstCycle, shownCycle - kClipDefaultHalfSpan), this);
    to_ = spinBox(firstCycle, lastCycle, std::min(lastCycle, shownCycle + kClipDefaultHalfSpan), this);
    speed_ = new QDoubleSpinBox(this);
    speed_->setRange(kMinSpeed, kMaxSpeed);
    speed_->setDecimals(2);
    speed_->setSingleStep(0.5);
    speed_->setValue(1.0);
    speed_->setSuffix(tr(" × real time"));
    fps_ = spinBox(1, kMaxFps, 30, this);
    // Video pictures need even sides (their colour is stored at half resolution).
    width_ = spinBox(kMinPaintWidth, kMaxSide, 1280, this);
    height_ = spinBox(kMinPaintHeight, kMaxSide, 720, this);
    width_->setSingleStep(2);
    height_->setSingleStep(2);
    path_ = new QLineEdit(QDir::home().filePath(QStringLiteral("clip-%1.mp4").arg(shownCycle)), this);
    auto* browse = new QPushButton(tr("&Browse…"), this);

    auto* form = new QFormLayout;
    auto* range = new QHBoxLayout;
    range->addWidget(from_);
    range->addWidget(new QLabel(tr("to"), this));
    range->addWidget(to_);
    form->addRow(tr("&Cycles from"), range);
    form->addRow(tr("&Speed"), speed_);
    form->addRow(tr("&Frames a second"), fps_);
    auto* size = new QHBoxLayout;
    size->addWidget(width_);
    size->addWidget(new QLabel(QStringLiteral("×"), this));
    size->addWidget(height_);
    form->addRow(tr("Si&ze"), size);
    auto* file = new QHBoxLayout;
    file->addWidget(path_);
    file->addWidget(browse);
    form->addRow(tr("F&ile (.mp4, .webm, .gif)"), file);
    look_ = new QLabel(this);
    look_->setWordWrap(true);
    setLook(look);

    problem_ = new QLabel(this);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1);
    progress_->setValue(0);
    auto* buttons = new QDialogButtonBox(this);
    export_ = buttons->addButton(tr("&Export"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    auto* close = buttons->addButton(QDialogButtonBox::Close);
    export_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(look_);
    layout->addWidget(problem_);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, &ClipExportDialog::chooseFile);
    connect(export_, &QPushButton::clicked, this, &ClipExportDialog::startExport);
    connect(cancel_, &QPushButton::clicked, this, &ClipExportDialog::cancelRequested);
    connect(close, &QPushButton::clicked, this, &ClipExportDialog::reject);
    connect(from_, &QSpinBox::valueChanged, this, &ClipExportDialog::updateState);
    connect(to_, &QSpinBox::valueChanged, this, &ClipExportDialog::updateState);
    connect(path_, &QLineEdit::textChanged, this, &ClipExportDialog::updateState);
    updateState();
}

ClipChoice ClipExportDialog::choice() const {
    ClipChoice choice;
    choice.from = from_->value();
    choice.to = to_->value();
    choice.speed = speed_->value();
    choice.fps = fps_->value();
    // Rounded down to even sides, which every format takes.
    choice.width = width_->value() & ~1;
    choice.height = height_->value() & ~1;
    choice.path = path_->text();
    return choice;
}

void ClipExportDialog::setLook(const QString& look) {
    look_->setText(tr("Drawn as the display shows it: %1").arg(look));
}

void ClipExportDialog::chooseFile() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export Clip"), path_->text(), tr("MP4 video (*.mp4);;WebM video (*.webm);;Animated GIF (*.gif)"));
    if (!path.isEmpty()) path_->setText(path);
}

void ClipExportDialog::startExport() {
    if (running_ || !export_->isEnabled()) return;
    running_ = true;
    progress_->setRange(0, 0);  // busy until the first frame is counted
    status_->setText(tr("Exporting…"));
    updateState();
    emit exportRequested(choice());
}

void ClipExportDialog::setProgress(int done, int total) {
    if (!running_) return;
    progress_->setRange(0, std::max(1, total));
    progress_->setValue(std::clamp(done, 0, std::max(1, total)));
    status_->setText(tr("Frame %1 of %2").arg(done).arg(total));
}

void ClipExportDialog::setFinished(bool written, const QString& message) {
    running_ = false;
    progress_->setRange(0, 1);
    progress_->setValue(written ? 1 : 0);
    if (written) {
        status_->setText(tr("Written to %1").arg(path_->text()));
    } else if (message.isEmpty()) {
        status_->setText(tr("Cancelled; nothing was written"));
    } else {
        status_->setText(tr("Not written: %1").arg(message));
    }
    updateState();
}

void ClipExportDialog::reject() {
    if (running_) emit cancelRequested();
    QDialog::reject();
}

void ClipExportDialog::updateState() {
    const bool valid = from_->value() <= to_->value() && knownExtension(path_->text());
    export_->setEnabled(!running_ && valid);
    cancel_->setEnabled(running_);
    for (QWidget* field : std::initializer_list<QWidget*>{from_, to_, speed_, fps_, width_, height_, path_}) {
        field->setEnabled(!running_);
    }
    if (valid) {
        problem_->clear();
    } else {
        problem_->setText(from_->value() > to_->value() ? tr("The range ends before it starts")
                                                        : tr("The file name must end in .mp4, .webm or .gif"));
    }
}

}  // namespace tessarin
