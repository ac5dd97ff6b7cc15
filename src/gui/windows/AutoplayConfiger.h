#pragma once

// The "Config autoplay" dialog: the server, the client program and its parameters, and
// the Run button that starts the launch loop, which runs on without the dialog.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "live/AutoplayThread.h"

class QLineEdit;

namespace tessarin {

class Profile;

// The launch loop of the windowed program: it outlives the dialog that started it and
// runs until it is stopped, its rounds are done, or the program ends. What the loop
// reports on its own thread reaches the signals on this object's thread.
class AutoplayRunner final : public QObject, private AutoplayObserver {
    Q_OBJECT

public:
    explicit AutoplayRunner(QObject* parent = nullptr);
    // Stops the loop: its clients end and it is joined.
    ~AutoplayRunner() override;

    // Replaces a running loop by one with a copy of `settings`.
    void start(const AutoplaySettings& settings);
    void stop();
    bool running() const;
    // The loop of the last start, running or ended; none before the first.
    const CAutoplayThread* thread() const { return thread_.get(); }

signals:
    void roundBegan(int round, int clients);
    void roundOver(int round, bool stopped);
    void clientNotStarted(const QString& text);
    // Started or stopped by a call; a loop that ends by itself says so with roundOver.
    void runningChanged(bool running);

private:
    // AutoplayObserver, called on the loop's thread: each is posted to this object's thread.
    void clientFailed(const std::string& commandLine, int error) override;
    void roundStarted(int round, int clients) override;
    void roundEnded(int round, bool stopped) override;

    std::unique_ptr<CAutoplayThread> thread_;  // owned by this object's thread; joined before it goes
};

// Opens with the "Socket" values "ServerHost" and "ServerPort" and the "Autoplay" values
// "ClientPath", "ClientParam", "GoalieParam" and "GoalieNum", and writes its fields back
// when it is destroyed, whether it was confirmed or cancelled. Enter confirms it: the
// boxes go into the fields and the dialog closes. "Run" starts the loop with the fields
// as they are (those it opened with, and a client chosen with "..."); typed values reach
// the fields only through Enter. Run again replaces the loop. The dialog is modeless and
// the loop outlives it: closing it stops nothing.
class CAutoplayConfiger final : public QDialog {
    Q_OBJECT

public:
    CAutoplayConfiger(Profile& profile, AutoplayRunner& runner, QWidget* parent = nullptr);
    ~CAutoplayConfiger() override;

    const AutoplaySettings& fields() const { return fields_; }

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
    AutoplayRunner& runner_;
    AutoplaySettings fields_;
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* clientPath_ = nullptr;
    QLineEdit* clientParam_ = nullptr;
    QLineEdit* goalieParam_ = nullptr;
    QLineEdit* goalieNum_ = nullptr;
    QLineEdit* timeout_ = nullptr;  // shown, bound to nothing
    std::function<QString()> chooseClient_;
};

}  // namespace tessarin
