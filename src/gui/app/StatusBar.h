#pragma once

// The main frame's status bar and window titles: which file is open, where playback
// stands, the live connection, and for a few seconds what just went wrong or was done.
// It is refreshed from the frame's UI timer, a few times a second, never per paint.

#include <QString>
#include <QStringList>
#include <cstdint>

class QLabel;
class QMainWindow;
class QWidget;

namespace tessarin {

// How long a transient message stays in the status bar, in milliseconds.
inline constexpr int kStatusMessageMs = 6000;

// What the status bar and the titles show, gathered by the frame.
struct StatusFacts {
    QString fileName;  // the open file's name without its folder; empty for none
    bool hasGame = false;
    int cycle = 0;
    int lastCycle = 0;
    int playmode = -1;        // of the record shown; -1 while none is shown
    double periodMs = 100.0;  // of one playback step
    bool running = false;
    bool reverse = false;
    bool live = false;    // a monitor connection is open
    QString liveAddress;  // "host:port" while live
    std::uint64_t received = 0;
};

// The permanent sections, left to right.
QStringList statusSections(const StatusFacts& facts);
// The frame's and the separated display's titles.
QString frameTitle(const StatusFacts& facts);
QString displayTitle(const StatusFacts& facts);

class StatusBar final {
public:
    // Adds the bar to the frame; the frame owns its widgets.
    explicit StatusBar(QMainWindow& frame);

    // Shows the facts and the titles; widgets are touched only when a text changed.
    void show(const StatusFacts& facts, QWidget* separatedDisplay);
    // A message shown for kStatusMessageMs left of the permanent sections.
    void flash(const QString& message);
    // The permanent sections as shown, joined by " | ".
    QString text() const;
    QString message() const;

private:
    QMainWindow& frame_;
    QLabel* sections_ = nullptr;
};

}  // namespace tessarin
