#include "display/SightPainter.h"

#include <QString>
#include <algorithm>
#include <cmath>

#include "display/FieldPainter.h"
#include "record/SightRecords.h"

namespace tessarin {

namespace {

const QColor kWhite(255, 255, 255);

// Fill of a seen player by its side character.
QBrush sideBrush(const DisplayPalette& palette, char side) {
    if (side == 'l') return palette.yellowBrush;
    if (side == 'r') return palette.redBrush;
    return palette.whiteBrush;
}

// Records hold floats that may be anything; a pixel far off screen is clamped so that
// integer screen coordinates never overflow.
int screen(double pixel) { return static_cast<int>(std::isfinite(pixel) ? std::clamp(pixel, -1.0e6, 1.0e6) : -1.0e6); }

double degrees(double value) { return value * kDisplayPi / 180.0; }

void drawBody(QPainter& painter, int sx, int sy, int r, const QBrush& fill) {
    painter.setBrush(fill);
    painter.drawEllipse(circleBox(sx, sy, r));
}

// A label in the painter's font.
void text(QPainter& painter, StaticTextCache& texts, const QColor& colour, int x, int y, const QString& label) {
    painter.setPen(colour);
    texts.draw(painter, x, y, label);
}

void drawKind1(QPainter& painter, const FieldView& view, const DisplayPalette& palette, const DisplayFonts& fonts,
               const FieldScene& scene, const DisplayOptions& options, const QPen& pen, int r) {
    const SightView v = decodeSightRecord(*scene.current);
    const int sx = screen(view.ToScreenX(v.x));
    const int sy = screen(view.ToScreenY(v.y));
    if (options.Viewarea) {
        drawViewCone(painter, view, palette, sx, sy, normalizeAngle(v.body + v.neck), v.viewWidth);
    }
    painter.setPen(pen);
    drawBody(painter, sx, sy, r, palette.highlightBrush);
    if (options.Stamina && r > 2) drawBackHalf(painter, sx, sy, r, v.body, QColor(0, 0, 0));
    painter.setFont(fonts.label);
    if (options.Velocity && v.velocityConfidence != 0) {
        text(painter, fonts.texts, kBallLabelColour, sx + r, sy - r, QString::asprintf("(%.2f)", v.speed));
    }
    for (const SightSeenPlayer& p : v.seen) {
        if (p.confidence == 0 || std::isnan(p.confidence)) continue;
        const int px = screen(view.ToScreenX(p.x));
        const int py = screen(view.ToScreenY(p.y));
        painter.setPen(pen);
        drawBody(painter, px, py, r, sideBrush(palette, p.side));
        if (p.number > 0) {
            const QColor colour = p.side == 'l' ? QColor(0, 0, 0) : kWhite;
            const int x = p.number < 10 ? px - r / 2 : px - r;
            text(painter, fonts.texts, colour, x, py - r, QString::number(p.number));
        }
        if (options.Stamina)
            text(painter, fonts.texts, kBallLabelColour, px + r, py - r, QString::asprintf("(%.2f)", p.confidence));
    }
    if (v.ballConfidence != 0 && !std::isnan(v.ballConfidence)) {
        const int bx = screen(view.ToScreenX(v.ballX));
        const int by = screen(view.ToScreenY(v.ballY));
        const int rb = drawBallAt(painter, view, bx, by, pen);
        const QString label = v.ballVelocityConfidence != 0 && options.Velocity
                                  ? QString::asprintf("(%.2f,%.2f)", v.ballConfidence, v.ballSpeed)
                                  : QString::asprintf("(%.2f)", v.ballConfidence);
        painter.setFont(fonts.label);
        text(painter, fonts.texts, kBallLabelColour, bx + rb, by - rb, label);
        if (scene.drawCircle) drawBallCircle(painter, view, bx, by, pen);
    }
}

void drawKind2(QPainter& painter, const FieldView& view, const DisplayPalette& palette, const DisplayFonts& fonts,
               const FieldScene& scene, const DisplayOptions& options, const QPen& pen, int r) {
    const SightV2View v = decodeSightRecordV2(*scene.current);
    const int sx = screen(view.ToScreenX(v.x));
    const int sy = screen(view.ToScreenY(v.y));
    const double body = degrees(v.body);
    if (options.Viewarea) {
        drawViewCone(painter, view, palette, sx, sy, normalizeAngle(body + degrees(v.neck)),
                     v.viewWidthClass * kDisplayPi / 3);
    }
    painter.setPen(pen);
    drawBody(painter, sx, sy, r, v.side == 'l' ? palette.yellowBrush : palette.redBrush);
    // The observer's number is written in the header's mode font, still selected here.
    painter.setFont(fonts.mode);
    text(painter, fonts.texts, kBallLabelColour, sx + r, sy - r, QString::number(v.number));
    painter.setPen(pen);
    if (options.Stamina && r > 2) {
        const int grey = staminaGrey(v.stamina);
        drawBackHalf(painter, sx, sy, r, body, QColor(grey, grey, grey));
    }
    painter.setFont(fonts.label);
    for (std::size_t i = 0; i < v.seen.size(); ++i) {
        const SightV2SeenPlayer& p = v.seen[i];
        const int px = screen(view.ToScreenX(p.x));
        const int py = screen(view.ToScreenY(p.y));
        const bool selected = static_cast<int>(i) == scene.selected;
        painter.setPen(pen);
        drawBody(painter, px, py, r, selected ? palette.highlightBrush : sideBrush(palette, p.side));
        if (options.Stamina && r > 2) {
            const int grey = staminaGrey(std::clamp(p.stamina, 0, 8000));
            drawBackHalf(painter, px, py, r, degrees(p.body), QColor(grey, grey, grey));
        }
        text(painter, fonts.texts, p.side == 'l' ? kBallLabelColour : kWhite, px + r, py - r,
             QString::number(p.number));
    }
    if (v.ballConfidence != 0 && !std::isnan(v.ballConfidence)) {
        const int bx = screen(view.ToScreenX(v.ballX));
        const int by = screen(view.ToScreenY(v.ballY));
        const int rb = drawBallAt(painter, view, bx, by, pen);
        if (options.Velocity || options.BallDetail) {
            painter.setFont(fonts.label);
            text(painter, fonts.texts, kBallLabelColour, bx + rb, by - rb,
                 QString::asprintf("(%.2f)", v.ballConfidence));
        }
        if (scene.drawCircle) drawBallCircle(painter, view, bx, by, pen);
    }
}

}  // namespace

void drawSightRecord(QPainter& painter, const FieldView& view, const DisplayPalette& palette, const DisplayFonts& fonts,
                     const FieldScene& scene, const DisplayOptions& options, const QPen& pen) {
    if (!scene.current) return;
    const int r = view.pixels(options.PlayerScale * kDefaultPlayerSize);
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    if (scene.current->kind == kSightRecord) {
        drawKind1(painter, view, palette, fonts, scene, options, pen, r);
    } else if (scene.current->kind == kSightRecordV2) {
        drawKind2(painter, view, palette, fonts, scene, options, pen, r);
    }
    painter.restore();
}

}  // namespace tessarin
