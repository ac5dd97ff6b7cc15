#pragma once

// The modeless "Export Clip" dialog: it asks for the cycles, the speed, the frame size
// and the file of a clip, says which of the display's settings the clip is drawn with,
// and shows the progress of the export with a Cancel button. The export itself runs
// elsewhere: the dialog asks for it with exportRequested() and is told how it goes with
// setProgress() and setFinished(), so the viewer stays usable while it runs.

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace tessarin {

// What the user chose.
struct ClipChoice {
    int from = 0;
    int to = 0;
    double speed = 1.0;
    int fps = 30;
    int width = 1280;
    int height = 720;
    QString path;
};

// Cycles each side of the shown cycle that the range takes at first: ten seconds around it.
inline constexpr int kClipDefaultHalfSpan = 50;

class ClipExportDialog final : public QDialog {
    Q_OBJECT
public:
    // `firstCycle` .. `lastCycle` are the game's cycles, `shownCycle` the one on screen;
    // `look` says in a line or two which options, selection and overlays the clip draws.
    ClipExportDialog(int firstCycle, int lastCycle, int shownCycle, const QString& look, QWidget* parent = nullptr);

    ClipChoice choice() const;
    // Says again what the clip is drawn with (the display may have changed since).
    void setLook(const QString& look);
    // True between exportRequested() and setFinished().
    bool running() const { return running_; }

    // The export's progress: `done` of `total` frames.
    void setProgress(int done, int total);
    // The export ended: written, or not with `message` (empty when it was cancelled).
    void setFinished(bool written, const QString& message);
    // Closing the dialog while the clip is written stops it: nothing runs unseen.
    void reject() override;

signals:
    // The user asked for the clip; the dialog shows progress until setFinished().
    void exportRequested(const tessarin::ClipChoice& choice);
    // The user asked to stop the running export.
    void cancelRequested();

private:
    void chooseFile();
    void startExport();
    void updateState();

    QSpinBox* from_ = nullptr;
    QSpinBox* to_ = nullptr;
    QDoubleSpinBox* speed_ = nullptr;
    QSpinBox* fps_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLabel* look_ = nullptr;     // what the clip is drawn with
    QLabel* problem_ = nullptr;  // why Export is not enabled
    QLabel* status_ = nullptr;   // how the last export went
    QProgressBar* progress_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool running_ = false;
};

}  // namespace tessarin
