#pragma once

// The display's paint pipeline: the field markings, kept drawn in a pixmap of the
// target's device-pixel ratio and copied in, then the current cycle drawn over them in a
// fixed order. The markings are drawn again only when the size, the scale or the view's
// position (zoom, pan), the device-pixel ratio or smooth drawing change. On screen the
// target is the window's backing store, which Qt composes off screen and flushes in one
// go, so it serves as the composition buffer and the picture never flickers.

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <array>
#include <vector>

#include "display/CompanionPainter.h"
#include "display/DisplayOptions.h"
#include "display/DisplayPalette.h"
#include "display/FieldScene.h"
#include "display/FieldView.h"
#include "display/HeaderLayout.h"

namespace tessarin {

// Where an overlay is drawn in the paint order.
enum class OverlayStage : int {
    OffsideLine,  // after the header, when OffsideLine is on
    PassCourse,   // when ControlCourse is on
    Decisions,
    DebugLog,  // the players' own debug drawings, above the players and the ball
    VisualObjects,
    Present,
};
inline constexpr std::size_t kOverlayStageCount = 6;

// A drawing that sits in the paint order beside the field's own painters.
class FieldOverlay {
public:
    virtual ~FieldOverlay() = default;
    virtual void draw(QPainter& painter, const FieldView& view, const FieldScene& scene,
                      const DisplayOptions& options) = 0;
};

// A drawing under each player of a show record, made just before that player's body
// while the ControlArea option is on, so that later players cover earlier ones' drawings.
class PlayerOverlay {
public:
    virtual ~PlayerOverlay() = default;
    // Called once per paint before the first player, with the painter as the players get it.
    virtual void beginPlayers(QPainter& painter, const FieldView& view, const FieldScene& scene) = 0;
    virtual void drawBeforeBody(QPainter& painter, const FieldView& view, const FieldScene& scene, int index) = 0;
};

class FieldRenderer final {
public:
    // Fits the view to a client area of this size when the size changed. False when the
    // area is too small to paint (nothing is painted then).
    bool prepare(int width, int height);
    // Draws one frame with `painter`, whose device has the prepared size (in device-
    // independent pixels); prepare() must have succeeded.
    void paint(QPainter& painter, const FieldScene& scene, const DisplayOptions& options);
    // Draws one frame into an image of its own and returns it, `ratio` device pixels to
    // each pixel of the prepared size.
    QImage compose(const FieldScene& scene, const DisplayOptions& options, qreal ratio = 1.0);

    // Zooms about a client point; the fonts are made again for the new scale.
    void zoom(int px, int py, bool zoomIn);
    // Moves a zoomed-in view by screen pixels; a view that fits the field stays put.
    void pan(int dx, int dy);
    const FieldView& view() const { return view_; }
    QSize size() const { return size_; }
    const DisplayPalette& palette() const { return palette_; }
    const DisplayFonts& fonts() const { return fonts_; }
    // A renderer that draws one frame only (an export) draws the markings straight into
    // it: a cached copy would double the memory of a picture of up to 8192 x 8192.
    void setCacheMarkings(bool on) { cacheMarkings_ = on; }
    // How many times the markings were drawn: once per change of what they depend on.
    int markingsDrawn() const { return markingsDrawn_; }

    // Overlays are not owned and must outlive the renderer or be removed first.
    void addOverlay(OverlayStage stage, FieldOverlay* overlay);
    void removeOverlay(FieldOverlay* overlay);
    // The one overlay under the players (not owned); none removes it.
    void setPlayerOverlay(PlayerOverlay* overlay) { playerOverlay_ = overlay; }

private:
    void drawStage(OverlayStage stage, QPainter& painter, const FieldScene& scene, const DisplayOptions& options);
    // The markings for this ratio and smoothing, drawn again when they changed.
    const QPixmap& markings(qreal ratio, bool smooth);

    // What the cached markings were drawn for.
    struct MarkingsKey {
        QSize size;
        double scale = 0.0;
        int cx = 0;
        int cy = 0;
        qreal ratio = 0.0;
        bool smooth = false;
        bool operator==(const MarkingsKey&) const = default;
    };

    FieldView view_;
    DisplayPalette palette_;
    DisplayFonts fonts_;
    QSize size_;
    std::array<std::vector<FieldOverlay*>, kOverlayStageCount> overlays_;
    PlayerOverlay* playerOverlay_ = nullptr;
    HeaderCache header_;
    TeamLogoCache logos_;
    bool cacheMarkings_ = true;
    QPixmap markings_;
    MarkingsKey markingsKey_;
    int markingsDrawn_ = 0;
};

// Renders one frame of `scene` into a new image of this size (the field colour only
// when the size is too small to paint), as the display would draw it.
QImage renderField(const FieldScene& scene, const DisplayOptions& options, int width, int height);

// Sets up a fresh painter for smooth drawing or not: anti-aliased lines, circles and text
// (shifted half a pixel, so that lines along whole coordinates stay sharp), or the
// aliased pixels of a one-pixel pen, which the picture is made of by default.
void setSmoothDrawing(QPainter& painter, bool smooth);

}  // namespace tessarin
