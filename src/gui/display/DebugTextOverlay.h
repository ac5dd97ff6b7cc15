#pragma once

// Draws the last "(debug" message of a client while the Debug option is on: its target
// points as small markers labelled with their value, each marking pair as a line from
// the own player to the marked opponent with its label, and its named point.

#include "display/DisplayPalette.h"
#include "display/FieldRenderer.h"

namespace tessarin {

class DebugTextOverlay final : public FieldOverlay {
public:
    // Draws with the renderer's palette and fonts (not owned).
    explicit DebugTextOverlay(const FieldRenderer& renderer) : renderer_(renderer) {}
    void draw(QPainter& painter, const FieldView& view, const FieldScene& scene,
              const DisplayOptions& options) override;

private:
    const FieldRenderer& renderer_;
};

}  // namespace tessarin
