#pragma once

// The display's analytic overlays, each at its stage of the paint: the offside lines,
// the pass course, the decisions of a version-2 sight record, the control area under
// each player and the present overlays. What they draw is copied in before each paint
// (see OverlaySources.h), so the paint never reads the analysis or the log player.

#include <QBrush>
#include <QPolygon>
#include <array>
#include <vector>

#include "analysis/BasicBehaviorEvent.h"
#include "display/FieldRenderer.h"
#include "display/OverlayGeometry.h"
#include "record/LogPlayer.h"

namespace tessarin {

// The decisions of the current cycle and which decision files were loaded.
struct DecisionInputs {
    CurrentDecisions decisions;
    std::array<bool, 3> loaded{};
};

// The present dialog's mode and what it picked from the analysis.
struct PresentInputs {
    int mode = kPresentClear;
    std::vector<BasicBehaviorEvent> events;  // modes 1..4
    std::vector<Vector> track;               // mode 5
};

class FieldOverlays final {
public:
    // Registers the overlays with `renderer`, which must outlive this object; they are
    // removed again on destruction.
    explicit FieldOverlays(FieldRenderer& renderer);
    ~FieldOverlays();
    FieldOverlays(const FieldOverlays&) = delete;
    FieldOverlays& operator=(const FieldOverlays&) = delete;

    // Inputs of the next paints; GUI thread only, like the paint.
    void setDecisions(DecisionInputs inputs) { decisions_ = std::move(inputs); }
    void setPresent(PresentInputs inputs) { present_ = std::move(inputs); }
    PassCourse& passCourse() { return course_; }
    const PassCourse& passCourse() const { return course_; }
    const PresentInputs& present() const { return present_; }

private:
    // Adapts one member drawing to a stage of the renderer.
    class Stage final : public FieldOverlay {
    public:
        using Draw = void (FieldOverlays::*)(QPainter&, const FieldView&, const FieldScene&, const DisplayOptions&);
        Stage(FieldOverlays& owner, Draw drawer) : owner_(owner), draw_(drawer) {}
        void draw(QPainter& painter, const FieldView& view, const FieldScene& scene,
                  const DisplayOptions& options) override {
            (owner_.*draw_)(painter, view, scene, options);
        }

    private:
        FieldOverlays& owner_;
        Draw draw_;
    };
    // Each drawn player's control cell, hatched just before its body. The cells of a paint
    // are worked out together before the first player.
    class ControlAreas final : public PlayerOverlay {
    public:
        // `renderer` gives the size of the area painted.
        explicit ControlAreas(const FieldRenderer& renderer) : renderer_(renderer) {}
        void beginPlayers(QPainter& painter, const FieldView& view, const FieldScene& scene) override;
        void drawBeforeBody(QPainter& painter, const FieldView& view, const FieldScene& scene, int index) override;

    private:
        // Makes the sides' hatch brushes for a target of `pixels` device pixels at `ratio`.
        void makeHatch(QSize pixels, qreal ratio);

        const FieldRenderer& renderer_;
        std::array<QPolygon, kPlayerCount> cells_;  // on the screen; empty for a player without one
        std::array<QBrush, 2> hatch_;               // left, right
        QSize hatchPixels_;                         // what the brushes were made for
        qreal hatchRatio_ = 0.0;
    };

    void drawOffside(QPainter& painter, const FieldView& view, const FieldScene& scene, const DisplayOptions& options);
    void drawCourse(QPainter& painter, const FieldView& view, const FieldScene& scene, const DisplayOptions& options);
    void drawDecisions(QPainter& painter, const FieldView& view, const FieldScene& scene,
                       const DisplayOptions& options);
    void drawPresent(QPainter& painter, const FieldView& view, const FieldScene& scene, const DisplayOptions& options);

    FieldRenderer& renderer_;
    PassCourse course_;
    DecisionInputs decisions_;
    PresentInputs present_;
    Stage offside_{*this, &FieldOverlays::drawOffside};
    Stage courseStage_{*this, &FieldOverlays::drawCourse};
    Stage decisionsStage_{*this, &FieldOverlays::drawDecisions};
    Stage presentStage_{*this, &FieldOverlays::drawPresent};
    ControlAreas areas_{renderer_};
};

}  // namespace tessarin
