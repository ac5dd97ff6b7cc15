#pragma once

// The display's paint pipeline: the field markings drawn into the target surface, and
// the current cycle drawn over them in a fixed order. On screen the target is the
// window's backing store, which Qt composes off screen and flushes in one go, so it
// serves as the composition buffer and the picture never flickers.

#include <QImage>
#include <QPainter>
#include <array>
#include <vector>

#include "display/DisplayOptions.h"
#include "display/DisplayPalette.h"
#include "display/FieldScene.h"
#include "display/FieldView.h"

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
    // Draws one frame with `painter`, whose device has the prepared size; prepare()
    // must have succeeded.
    void paint(QPainter& painter, const FieldScene& scene, const DisplayOptions& options);
    // Draws one frame into an image of its own and returns it.
    QImage compose(const FieldScene& scene, const DisplayOptions& options);

    // Zooms about a client point; the fonts are made again for the new scale.
    void zoom(int px, int py, bool zoomIn);
    // Moves a zoomed-in view by screen pixels; a view that fits the field stays put.
    void pan(int dx, int dy);
    const FieldView& view() const { return view_; }
    QSize size() const { return size_; }
    const DisplayPalette& palette() const { return palette_; }
    const DisplayFonts& fonts() const { return fonts_; }

    // Overlays are not owned and must outlive the renderer or be removed first.
    void addOverlay(OverlayStage stage, FieldOverlay* overlay);
    void removeOverlay(FieldOverlay* overlay);
    // The one overlay under the players (not owned); none removes it.
    void setPlayerOverlay(PlayerOverlay* overlay) { playerOverlay_ = overlay; }

private:
    void drawStage(OverlayStage stage, QPainter& painter, const FieldScene& scene, const DisplayOptions& options);

    FieldView view_;
    DisplayPalette palette_;
    DisplayFonts fonts_;
    QSize size_;
    std::array<std::vector<FieldOverlay*>, kOverlayStageCount> overlays_;
    PlayerOverlay* playerOverlay_ = nullptr;
};

// Renders one frame of `scene` into a new image of this size (the field colour only
// when the size is too small to paint), as the display would draw it.
QImage renderField(const FieldScene& scene, const DisplayOptions& options, int width, int height);

}  // namespace tessarin
