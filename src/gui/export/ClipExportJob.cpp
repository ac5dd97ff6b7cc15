#include "export/ClipExportJob.h"

#include <QMetaObject>
#include <QPointer>

#include "export/VideoExport.h"

namespace tessarin {

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

void ClipExportJob::cancel() { stop_.store(true); }

}  // namespace tessarin
