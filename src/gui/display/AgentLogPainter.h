#pragma once

// The drawings of players' debug logs (circles, lines, arcs, sectors, texts...) on the
// field, through the display's world-to-screen mapping. The painter keeps the drawings
// it was given, already on the field's coordinates (a right-side player's mirrored), and
// draws them on every paint until it is given others: reading and parsing happen once
// per shown cycle, never per paint.

#include <QColor>
#include <QFont>
#include <QStaticText>
#include <vector>

#include "agentlog/Record.h"
#include "display/FieldRenderer.h"

namespace tessarin {

class AgentLogPainter final : public FieldOverlay {
public:
    // Takes the drawings of a cycle; their colours and texts are prepared here, once.
    void setDrawings(std::vector<agentlog::Record> drawings);
    const std::vector<agentlog::Record>& drawings() const { return drawings_; }
    void clear() { setDrawings({}); }

    void draw(QPainter& painter, const FieldView& view, const FieldScene& scene,
              const DisplayOptions& options) override;

private:
    std::vector<agentlog::Record> drawings_;
    std::vector<QColor> colours_;     // one per drawing
    std::vector<QStaticText> texts_;  // one per drawing; laid out text for 'm', empty otherwise
    QFont font_;
    double fontScale_ = 0;  // the view scale font_ was made for
    int ascent_ = 0;        // of font_
};

}  // namespace tessarin
