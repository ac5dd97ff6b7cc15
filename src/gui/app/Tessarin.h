#pragma once

// The application: creates the main frame and the display, places the display inside
// the frame or in a window of its own, and opens the game named on the command line.

#include <QIcon>
#include <QPoint>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/FrameOwner.h"
#include "live/OfflineCoach.h"

class QWidget;

namespace tessarin {

class CDisplayer;
class CMainFrame;
class Profile;

// Where the trainer writes its files (empty: the working directory) and which port of the
// monitor's host it sends to.
struct TrainerOptions {
    std::string directory;
    int port = kTrainerPort;
};

class CTessarinApp final : public FrameOwner {
public:
    explicit CTessarinApp(Profile& profile, TrainerOptions trainer = {});
    ~CTessarinApp();
    CTessarinApp(const CTessarinApp&) = delete;
    CTessarinApp& operator=(const CTessarinApp&) = delete;

    // Creates and shows the windows and opens `path` when it is not empty. The frame
    // opens at `at` when given, and the separated display then just below it.
    void InitInstance(const QString& path = {}, std::optional<QPoint> at = {});
    // Makes the display a window of its own or puts it inside the main frame.
    void placeDisplay(bool separated) override;
    // Loads a game file (from the command line or dropped) and draws it at once.
    void OpenDocumentFile(const QString& path);

    CMainFrame* mainFrame() const { return frame_.get(); }
    CDisplayer* displayer() const { return display_.get(); }
    COfflineCoach& trainer() { return *trainer_; }

    static QIcon icon();
    void showAbout(QWidget* parent) override;

private:
    // Puts the separated display just below the bar strip, its title bar on screen.
    void placeBelowStrip();
    // The strip and the display on a screen that has never shown them.
    void placeOnFirstStart();

    // The trainer's messages go to the main frame's message box, captioned with the
    // application's title.
    class TrainerMessages final : public TrainerHost {
    public:
        explicit TrainerMessages(CTessarinApp& app) : app_(app) {}
        void showMessage(const std::string& text) override;

    private:
        CTessarinApp& app_;
    };

    Profile& profile_;
    TrainerMessages trainerMessages_;
    // The program's one trainer: it outlives the frame, whose connection disconnects it.
    std::unique_ptr<COfflineCoach> trainer_;
    // Destroyed in reverse order: the frame lets go of the display before the display
    // writes its options.
    std::unique_ptr<CDisplayer> display_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tessarin
