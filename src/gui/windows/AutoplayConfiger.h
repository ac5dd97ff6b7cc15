#pragma once

// The modal "Config autoplay" dialog: the server, the client program and its parameters,
// and the Run button that starts the launch loop.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "live/AutoplayThread.h"

class QLineEdit;

namespace tessarin {

class Profile;

// Writes a client that cannot be started to stderr; the dialog itself says nothing.
class StderrAutoplayObserver final : public AutoplayObserver {
public:
    void clientFailed(const std::string& commandLine, int error) override;
    void roundStarted(int, int) override {}
    void roundEnded(int, bool) override {}
};

// Opens with the "Socket" values "ServerHost" and "ServerPort" and the "Autoplay" values
// "ClientPath", "ClientParam", "GoalieParam" and "GoalieNum", and writes its fields back
// when it is destroyed, whether it was confirmed or cancelled. Enter confirms it: the
// boxes go into the fields and the dialog closes. "Run" starts the loop with the fields
// as they are (those it opened with, and a client chosen with "..."); typed values reach
// the fields only through Enter. Run again replaces the loop; closing the dialog stops it.
class CAutoplayConfiger final : public QDialog {
    Q_OBJECT

public:
    explicit CAutoplayConfiger(Profile& profile, QWidget* parent = nullptr);
    ~CAutoplayConfiger() override;

    const AutoplaySettings& fields() const { return fields_; }
    // The running or ended loop of the last Run, or none.
    const CAutoplayThread* thread() const { return thread_.get(); }

    // "Run": replaces the loop by one with copies of the fields.
    void run();
    // "...": asks for the client program.
    void browse();
    void accept() override;

    // Replaces the file dialog of "..." (tests); an empty answer keeps the path.
    void setClientChooser(std::function<QString()> choose) { chooseClient_ = std::move(choose); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Profile& profile_;
    AutoplaySettings fields_;
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* clientPath_ = nullptr;
    QLineEdit* clientParam_ = nullptr;
    QLineEdit* goalieParam_ = nullptr;
    QLineEdit* goalieNum_ = nullptr;
    QLineEdit* timeout_ = nullptr;  // shown, bound to nothing
    std::function<QString()> chooseClient_;
    StderrAutoplayObserver observer_;          // outlives the loop that reports to it
    std::unique_ptr<CAutoplayThread> thread_;  // stopped and joined before the dialog goes
};

// Command "&Autoplayer": opens the dialog and waits until it closes.
void runAutoplayConfiger(Profile& profile, QWidget* parent);

}  // namespace tessarin
