#include "export/ClipExportJob.h"

#include <QMetaObject>
#include <QPointer>

#include "display/Displayer.h"
#include "export/VideoExport.h"
#include "record/LogPlayer.h"
#include "windows/ClipExportDialog.h"

namespace tessarin {

ClipLook displayLook(const CDisplayer& display, int width, int height) {
    ClipLook look;
    look.options = display.options();
    look.selected = display.selected();
    look.drawCircle = display.drawCircle();
    look.present = display.presentMode();
    look.width = width;
    look.height = height;
    return look;
}

ClipExportJob::ClipExportJob(QObject* parent) : QObject(parent) {}

ClipExportJob::~ClipExportJob() {
    stop_.store(true);
    joinWorker();
}

void ClipExportJob::joinWorker() {
    if (worker_.joinable()) worker_.join();
}

bool ClipExportJob::start(ClipSnapshot snapshot, const QString& output, double speed, int fps) {
    if (running_) return false;
    joinWorker();  // a worker that finished has posted its end; only the join is left
    running_ = true;
    stop_.store(false);
    progressPending_.store(false);
    snapshot_ = std::make_shared<const ClipSnapshot>(std::move(snapshot));
    worker_ = std::jthread([this, snapshot = snapshot_, output, speed, fps] {
        const ClipProgress progress = [this](int done, int total) {
            if (done < total && progressPending_.exchange(true)) return;
            QMetaObject::invokeMethod(
                this,
                [this, done, total] {
                    progressPending_.store(false);
                    emit progressed(done, total);
                },
                Qt::QueuedConnection);
        };
        const ClipOutcome outcome = writeClip(*snapshot, output, speed, fps, progress, stop_);
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                running_ = false;
                emit finished(outcome.status == ClipStatus::Written,
                              outcome.status == ClipStatus::Failed ? outcome.message : QString());
            },
            Qt::QueuedConnection);
    });
    return true;
}

bool ClipExportJob::start(const LogPlayer& player, const BehaviorAnalyzer* analyzer, const CDisplayer& display,
                          const ClipChoice& choice, QString& error, ClipDebugLogs debugLogs) {
    if (running_) {
        error = tr("A clip is being written");
        return false;
    }
    const auto range = player.withStore(
        [&](const std::vector<cycle_info_t>& frames) { return clipRange(frames, choice.from, choice.to); });
    if (!range) {
        error = tr("The game holds no record from cycle %1 to %2").arg(choice.from).arg(choice.to);
        return false;
    }
    ClipLook look = displayLook(display, choice.width, choice.height);
    look.debugLogs = std::move(debugLogs);
    return start(takeClipSnapshot(player, analyzer, *range, look), choice.path, choice.speed, choice.fps);
}

void ClipExportJob::cancel() { stop_.store(true); }

}  // namespace tessarin
