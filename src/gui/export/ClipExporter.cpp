#include "export/ClipExporter.h"

#include <QWidget>

#include "display/Displayer.h"
#include "record/LogPlayer.h"
#include "windows/ClipExportDialog.h"

namespace tessarin {

ClipExporter::ClipExporter(const LogPlayer& player, const BehaviorAnalyzer* analyzer,
                           std::function<const CDisplayer*()> display, QWidget* parent)
    : player_(player), analyzer_(analyzer), display_(std::move(display)), parent_(parent) {
    connect(&job_, &ClipExportJob::progressed, this, [this](int done, int total) {
        if (dialog_) dialog_->setProgress(done, total);
    });
    connect(&job_, &ClipExportJob::finished, this, [this](bool written, const QString& message) {
        if (dialog_) dialog_->setFinished(written, message);
    });
}

ClipExporter::~ClipExporter() {
    job_.cancel();
    delete dialog_.data();
}

QString ClipExporter::lookText(const CDisplayer& display) const {
    ClipLook look = displayLook(display, 0, 0);
    if (debugLogs_) look.debugLogs = debugLogs_();
    return describeClipLook(look);
}

bool ClipExporter::show() {
    const CDisplayer* display = display_();
    if (!display || player_.size() == 0) return false;
    if (!dialog_ || !dialog_->running()) {
        // A new dialog each time: its range follows the game and the cycle shown now.
        delete dialog_.data();
        const FieldScene scene = display->scene();
        const int shown = scene.current ? recordCycle(*scene.current) : player_.current_cycle();
        dialog_ = new ClipExportDialog(player_.first_cycle(), player_.last_cycle(), shown, lookText(*display), parent_);
        connect(dialog_, &ClipExportDialog::exportRequested, this, &ClipExporter::startExport);
        connect(dialog_, &ClipExportDialog::cancelRequested, &job_, &ClipExportJob::cancel);
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
    return true;
}

void ClipExporter::startExport(const ClipChoice& choice) {
    const CDisplayer* display = display_();
    QString error;
    if (!display) {
        error = tr("There is no display to draw the clip as it shows the game");
    } else {
        if (dialog_) dialog_->setLook(lookText(*display));
        if (job_.start(player_, analyzer_, *display, choice, error, debugLogs_ ? debugLogs_() : ClipDebugLogs{})) {
            return;
        }
    }
    if (dialog_) dialog_->setFinished(false, error);
}

}  // namespace tessarin
