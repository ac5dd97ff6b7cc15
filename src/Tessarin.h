#pragma once

// The application: creates the main frame and the display, places the display inside
// the frame or in a window of its own, and opens the game named on the command line.

#include <QIcon>
#include <QString>
#include <memory>

class QWidget;

namespace tessarin {

class CDisplayer;
class CMainFrame;
class Profile;

class CTessarinApp final {
public:
    explicit CTessarinApp(Profile& profile);
    ~CTessarinApp();
    CTessarinApp(const CTessarinApp&) = delete;
    CTessarinApp& operator=(const CTessarinApp&) = delete;

    // Creates and shows the windows and opens `path` when it is not empty.
    void InitInstance(const QString& path = {});
    // Makes the display a window of its own or puts it inside the main frame.
    void placeDisplay(bool separated);
    // Loads a game file (from the command line or dropped) and draws it at once.
    void OpenDocumentFile(const QString& path);

    CMainFrame* mainFrame() const { return frame_.get(); }
    CDisplayer* displayer() const { return display_.get(); }

    static QIcon icon();
    static void showAbout(QWidget* parent);

private:
    Profile& profile_;
    // Destroyed in reverse order: the frame lets go of the display before the display
    // writes its options.
    std::unique_ptr<CDisplayer> display_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tessarin
