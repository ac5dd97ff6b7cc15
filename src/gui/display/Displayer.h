#pragma once

// The field display: draws the current cycle, carries the display's commands, and
// keeps its options and window placement in section "Displayer".

#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "display/DebugTextOverlay.h"
#include "display/DisplayOptions.h"
#include "display/FieldRenderer.h"
#include "display/FieldScene.h"
#include "display/ObjectDetails.h"
#include "display/OverlayPainter.h"
#include "display/VisualObject.h"
#include "record/GameRecords.h"

class QKeyEvent;

namespace tessarin {

class BehaviorAnalyzer;
class CHintWindow;
class LogPlayer;
class Profile;

// What the display needs from the window that owns it.
class DisplayerHost {
public:
    virtual ~DisplayerHost() = default;
    // Files dropped on the display are the main frame's to load.
    virtual void displayDroppedFiles(const QStringList& paths) = 0;
    // Closing the display's own window closes the program.
    virtual void displayCloseRequested() = 0;
    // Replay of the last cycles to the debugging clients.
    virtual void displayStartReplay() = 0;
    // The game whose player types the display reads; may be none.
    virtual const LogPlayer* displayLogPlayer() const = 0;
    // The analysis that the log player feeds, read under its lock; may be none.
    virtual const BehaviorAnalyzer* displayAnalyzer() const { return nullptr; }
    // A debug command for the clients, sent over the monitor connection (dropped without one).
    virtual void displaySendText(const std::string& text) = 0;
    // The Recover operation was chosen: the trainer restores stamina once when connected.
    virtual void displayRecover() = 0;
    // Runs after each paint on the show record drawn (none when another kind is shown);
    // `recover` is the display's Recover flag.
    virtual void displayPaintStep(const std::optional<ShowState>& shown, bool recover) = 0;
    // Two counters that the header shows in place of the scores, or none.
    virtual std::optional<std::array<int, 2>> displayHeaderCounters() const = 0;
    // Shows the context menu of the display's mode at a screen position; the command chosen
    // reaches the host while the menu is open, after the display's menu point was set.
    virtual void displayContextMenu(bool logMode, QPoint globalPosition) = 0;
};

enum ZoomMode : int { kZoomNone = 0, kZoomIn = 1, kZoomOut = 2 };

// The debugging clients' switches, each a flag of the display options that is sent to
// the clients whenever it changes.
enum class ClientOption : int {
    Pause,
    Debug,
    PassInfo,
    ShootInfo,
    SightInfo,
    DribbleInfo,
    InterceptInfo,
    DefenseInfo,
    Plan,
    FullStateLeft,
    FullStateRight,
};
inline constexpr std::size_t kClientOptionCount = 11;

class CDisplayer final : public QWidget {
    Q_OBJECT

public:
    explicit CDisplayer(Profile& profile, QWidget* parent = nullptr);
    // Writes the options to the settings.
    ~CDisplayer() override;

    void setHost(DisplayerHost* host) { host_ = host; }

    // Makes `record` current (none allowed). Safe from any thread: the record is copied
    // under the display's own lock and the repaint is queued to the GUI thread; it never
    // blocks on anything but that lock and never calls into the log player.
    void SetCurrentRecord(const std::optional<cycle_info_t>& record);
    void SetLogMode(bool on) { logMode_ = on; }
    bool logMode() const { return logMode_; }

    // The last "(debug" message from a client, kept whole; drawn while the Debug option is
    // on, so a new one is drawn at once even while the game stands still. Safe from any
    // thread: the repaint is queued to the GUI thread.
    void SetDebugText(std::string text);
    std::string debugText() const;

    // The field point of the last context menu, in sixteenths of a metre (truncated toward zero).
    QPoint menuPoint() const { return menuPoint_; }
    // Opens the context menu for the field point `world` (metres) at a screen position.
    void openContextMenu(QPointF world, QPoint globalPosition);

    // The display's commands. Each repaints what it changes; those that change what the
    // main frame's menus show (selection, zoom, full screen) also emit stateChanged.
    // Switches a drawing option (Number, Stamina, ControlArea, ...).
    void toggleOption(bool DisplayOptions::*flag);
    void toggleClientOption(ClientOption option);
    bool clientOption(ClientOption option) const;
    bool canEnlargePlayers() const;
    bool canReducePlayers() const;
    void enlargePlayers();
    void reducePlayers();
    // Selects object `index` (0..21 players, 22 the ball, anything else nothing) and names
    // it to the debugging clients.
    void select(int index);
    // kZoomIn or kZoomOut: chosen for the next click, or dropped when chosen already.
    void toggleZoom(int mode);
    void toggleDrawCircle();
    // Replays the last cycles to the clients while they are paused with Debug off.
    void startBackWard();
    void toggleRecover();
    // Anti-aliased drawing, kept with the options ("SmoothDrawing"); off by default.
    void setSmoothDrawing(bool on);
    bool smoothDrawing() const { return options_.SmoothDrawing; }
    // Full screen of the display's own window; nothing while it sits in the main frame.
    void toggleFullScreen();
    bool fullScreen() const;

    // Window placement in section "Displayer": read when the display becomes a window of
    // its own (a rectangle off every screen, or not a rectangle, is ignored); written
    // when the main frame closes.
    void restorePlacement();
    void savePlacement();

    const DisplayOptions& options() const { return options_; }
    int selected() const;
    int zoomMode() const { return zoomMode_; }
    bool drawCircle() const;
    const FieldView& view() const { return renderer_.view(); }
    // Copies of what the next paint draws.
    FieldScene scene() const;
    // Selection index of the object under a client point, or -1; selects it (without
    // telling the clients) when asked to.
    int hitTest(QPoint point, bool select);

    // What the present overlay draws (the present dialog's mode, 0 for nothing).
    void setPresentMode(int mode);
    int presentMode() const { return presentMode_; }
    const FieldOverlays& overlays() const { return overlays_; }
    // Another game took the place of the one shown (a file loaded, a live game begun):
    // the pass course of the old one goes with it. GUI thread only.
    void gameReplaced();
    // The Delete key: destroys the selected drawings.
    void DeleteSelected();
    // The hint window, once the first hint was shown.
    CHintWindow* hint() const;
    const VisualObjectList& visualObjects() const { return visuals_; }
    // What a click on the field draws (the drawing tools' choice, kToolSelect for nothing).
    void setDrawingTool(int tool);
    int drawingTool() const { return drawingTool_; }
    // Leaves full screen when the display is in it.
    void leaveFullScreen();

    FieldRenderer& renderer() { return renderer_; }

signals:
    // The selected object's texts of the cycle just painted, for the details window.
    void detailsChanged(const std::optional<DetailTexts>& texts);
    // The window the display lives in (its own, or the main frame) changed, or moved to
    // this frame rectangle: the details window follows it.
    void referenceWindowChanged();
    void referenceWindowMoved(const QRect& frame);
    // The selection, the zoom choice or full screen changed by mouse or window system.
    void stateChanged();
    void smoothDrawingChanged(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void requestRepaint();
    void send(const std::string& text);
    void showHint(QPoint point, const QString& text);
    // Watches the window the details window moves with.
    void trackReferenceWindow();
    // Hints of the decisions under a mouse point, if any.
    std::optional<QString> decisionHint(QPoint point) const;

    Profile& profile_;
    DisplayerHost* host_ = nullptr;
    DisplayOptions options_;
    FieldRenderer renderer_;  // GUI thread only
    bool logMode_ = true;
    int zoomMode_ = kZoomNone;
    QPoint menuPoint_;  // GUI thread only
    // Where the last step of a middle-button drag ended; none while no drag pans.
    std::optional<QPoint> panFrom_;
    // Child windows and drawings: GUI thread only. The drawings use renderer_'s mapping.
    VisualObjectList visuals_;
    DebugTextOverlay debugOverlay_{renderer_};
    FieldOverlays overlays_{renderer_};
    QPointer<CHintWindow> hint_;
    int presentMode_ = 0;
    int drawingTool_ = kToolSelect;
    // The window whose moves the details window follows: the display's own or the main frame.
    QPointer<QWidget> followed_;

    // Guards scene_: SetCurrentRecord writes it from producer threads.
    mutable std::mutex mutex_;
    FieldScene scene_;
    // Guards debugText_: the monitor connection's receiver writes it while the GUI reads it.
    mutable std::mutex debugMutex_;
    std::string debugText_;
};

}  // namespace tessarin
