#pragma once

// "System > Export Clip…": the dialog that asks for a clip and the job that writes it on
// a worker, made on first use and kept while their owner lives. The clip is drawn with
// the display's options, selection and overlays as they are when Export is pressed; the
// dialog says which they are.

#include <QObject>
#include <QPointer>
#include <functional>

#include "export/ClipExportJob.h"
#include "windows/ClipExportDialog.h"

class QWidget;

namespace tessarin {

class BehaviorAnalyzer;
class CDisplayer;
class LogPlayer;

class ClipExporter final : public QObject {
    Q_OBJECT
public:
    // `analyzer` is the analysis `player` feeds (may be null); `display` answers the
    // display of the moment (none allowed). The dialog is a child of `parent`, which
    // must outlive this object.
    ClipExporter(const LogPlayer& player, const BehaviorAnalyzer* analyzer, std::function<const CDisplayer*()> display,
                 QWidget* parent);
    // Stops a running export and waits for its worker.
    ~ClipExporter() override;

    // Shows the dialog: the running export's, or a new one for the game and the cycle
    // shown now. False when there is no game or no display to draw a clip of.
    bool show();
    ClipExportDialog* dialog() const { return dialog_; }
    // Answers the players' debug logs drawn on the display now, which a clip draws too.
    void setDebugLogs(std::function<ClipDebugLogs()> shown) { debugLogs_ = std::move(shown); }
    const ClipExportJob& job() const { return job_; }

private:
    void startExport(const ClipChoice& choice);
    QString lookText(const CDisplayer& display) const;

    const LogPlayer& player_;
    const BehaviorAnalyzer* analyzer_;
    std::function<const CDisplayer*()> display_;
    std::function<ClipDebugLogs()> debugLogs_;
    QWidget* parent_;
    QPointer<ClipExportDialog> dialog_;  // GUI thread only
    ClipExportJob job_;
};

}  // namespace tessarin
