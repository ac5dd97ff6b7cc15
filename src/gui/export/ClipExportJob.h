#pragma once

// One clip written on a worker thread for the viewer, which stays usable meanwhile.
//
// Threads: the worker touches only what it was given — its own copy of the clip's
// records and overlays (a ClipSnapshot, taken on the GUI thread), the output path and the
// stop flag — and draws with QPainter into QImages of its own, which Qt allows off the GUI
// thread. Progress and the end are delivered to this object's thread as queued calls.

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "export/ClipSource.h"

namespace tessarin {

class BehaviorAnalyzer;
class CDisplayer;
class LogPlayer;
struct ClipChoice;

// The display's options, selection and overlays as they are now, at this size.
ClipLook displayLook(const CDisplayer& display, int width, int height);

class ClipExportJob final : public QObject {
    Q_OBJECT
public:
    explicit ClipExportJob(QObject* parent = nullptr);
    // Stops a running export and waits for the worker (the temporary file is removed).
    ~ClipExportJob() override;

    // Starts writing; false when an export is still running.
    bool start(ClipSnapshot snapshot, const QString& output, double speed, int fps);
    // Copies the chosen cycles of `player` (with what `analyzer`, the analysis it feeds,
    // found; may be null) on the calling thread and starts writing them as `display`
    // draws now. False with a message in `error` when the game holds no record in the
    // range or an export is still running.
    bool start(const LogPlayer& player, const BehaviorAnalyzer* analyzer, const CDisplayer& display,
               const ClipChoice& choice, QString& error, ClipDebugLogs debugLogs = {});
    // Asks the worker to stop after the frame it is on; finished() follows.
    void cancel();
    bool running() const { return running_; }

signals:
    void progressed(int done, int total);
    // `written` or not; `message` says why not, empty when cancelled.
    void finished(bool written, const QString& message);

private:
    void joinWorker();

    std::shared_ptr<const ClipSnapshot> snapshot_;  // read by the worker only while it runs
    std::atomic<bool> stop_{false};                 // set on the GUI thread, read by the worker
    // Set while a progress update is queued and not yet delivered: the worker posts one
    // at a time, so that a busy GUI thread is not flooded with queued calls.
    std::atomic<bool> progressPending_{false};
    bool running_ = false;  // GUI thread only
    std::jthread worker_;
};

}  // namespace tessarin
