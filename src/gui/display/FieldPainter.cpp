#include "display/FieldPainter.h"

#include <QPolygon>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/PainterPixels.h"
#include "display/PixelStroke.h"

namespace tessarin {

namespace {

constexpr double kHalfLength = 52.5;
constexpr double kHalfWidth = 34.0;
constexpr double kPenaltyAreaLength = 16.5;  // goal line to x = 36
constexpr double kPenaltyAreaHalfWidth = 20.16;
constexpr double kGoalAreaLength = 5.5;  // goal line to x = 47
constexpr double kGoalAreaHalfWidth = 9.16;
constexpr double kPenaltySpot = 41.5;
constexpr double kPenaltyArcRadialY = 7.1;
constexpr double kCircleRadius = 9.15;
constexpr double kGoalHalfWidth = 7.01;
constexpr double kBallRadius = 0.085;

// Degrees of Qt's arc angles (counter-clockwise on screen) for a screen angle in radians
// that turns clockwise, as world angles do with y downward.
double qtDegrees(double radians) { return -radians * 180.0 / kDisplayPi; }

// An arc drawn counter-clockwise on screen from screen angle `from` to `to`.
void drawArcCcw(QPainter& painter, const QRect& box, double from, double to) {
    double span = from - to;
    while (span <= 0) span += 2 * kDisplayPi;
    while (span > 2 * kDisplayPi) span -= 2 * kDisplayPi;
    painter.drawArc(box, static_cast<int>(std::lround(qtDegrees(from) * 16)),
                    static_cast<int>(std::lround(span * 180.0 / kDisplayPi * 16)));
}

// The points of an arc of radius r about (cx, cy) from screen angle `from`, turning by
// `span` radians (positive: clockwise on screen, as angles grow with y downward), close
// enough to the circle that no point of the chords is half a pixel off it. The paint's
// larger arcs are drawn as these polylines: a cosmetic polyline is several times cheaper
// to rasterise than a curve of the same length.
QPolygon arcPoints(int cx, int cy, int r, double from, double span) {
    const double rr = std::max(1, r);
    const double step = 2.0 * std::sqrt(1.0 / rr);  // chord whose sagitta is half a pixel
    const int n = std::clamp(static_cast<int>(std::ceil(std::abs(span) / step)), 2, 720);
    QPolygon points(n + 1);
    for (int i = 0; i <= n; ++i) {
        const double a = from + span * i / n;
        points[i] = QPoint(static_cast<int>(std::lround(cx + rr * std::cos(a))),
                           static_cast<int>(std::lround(cy + rr * std::sin(a))));
    }
    return points;
}

QPoint toScreen(const FieldView& view, double x, double y) { return QPoint(view.pixelX(x), view.pixelY(y)); }

// A polyline of the pen's colour, one pixel wide, the end pixel of each segment left to
// the next one (the last not drawn), as a cosmetic pen with flat caps draws it. Level and
// upright segments, all of the markings but the arcs, are filled as one-pixel rectangles:
// a span fill instead of the stroker's walk along the line, pixel by pixel.
void drawMarkingPolyline(QPainter& painter, const PainterPixels& direct, const QPoint* points, int count) {
    const QColor colour = painter.pen().color();
    for (int i = 0; i + 1 < count; ++i) {
        const QPoint a = points[i];
        const QPoint b = points[i + 1];
        if (a.y() == b.y() && a.x() != b.x()) {
            const int from = a.x() < b.x() ? a.x() : b.x() + 1;
            directFill(painter, &direct, QRect(from, a.y(), std::abs(b.x() - a.x()), 1), colour);
        } else if (a.x() == b.x() && a.y() != b.y()) {
            const int from = a.y() < b.y() ? a.y() : b.y() + 1;
            directFill(painter, &direct, QRect(a.x(), from, 1, std::abs(b.y() - a.y())), colour);
        } else {
            directLine(painter, &direct, a, b);
        }
    }
}

// Header rectangles, in world x from, to; all span y -44 to -34.
QRect headerRect(const FieldView& view, double x1, double x2) {
    const int left = view.pixelX(x1);
    const int right = view.pixelX(x2);
    const int top = view.pixelY(-44.0);
    const int bottom = view.pixelY(-34.0);
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

void drawHeaderText(QPainter& painter, const QRect& rect, const QFont& font, Qt::Alignment align,
                    const std::string& text) {
    painter.setFont(font);
    painter.drawText(rect, static_cast<int>(align | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip),
                     QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

// A short label printed with the C library: QString::asprintf parses the format itself
// and costs several times as much, on every player of every paint.
template <typename... Args>
QString printed(const char* format, Args... args) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, format, args...);
    return QString::fromLatin1(text, std::clamp(n, 0, static_cast<int>(sizeof text) - 1));
}

// Mode bits of a player.
constexpr int kModeGoalie = 0x0008;
constexpr int kModeCollision = 0x0040 | 0x0080;

}  // namespace

QRect circleBox(int x, int y, int r) { return QRect(x - r, y - r, std::max(0, 2 * r - 1), std::max(0, 2 * r - 1)); }

void drawLabel(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QRect(x, y, 0, 0), static_cast<int>(Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip), text);
}

void drawViewCone(QPainter& painter, const FieldView& view, const DisplayPalette& palette, int sx, int sy, double face,
                  double width, const PainterPixels* direct) {
    painter.setPen(palette.blackPen);
    painter.setBrush(Qt::NoBrush);
    const double half = width / 2;
    const double r60 = view.ToPixels(60.0);
    const QPoint centre(sx, sy);
    const QPoint sides[] = {
        QPoint(static_cast<int>(sx + r60 * std::cos(face + half)), static_cast<int>(sy + r60 * std::sin(face + half))),
        QPoint(static_cast<int>(sx + r60 * std::cos(face - half)), static_cast<int>(sy + r60 * std::sin(face - half)))};
    for (const double radius : {60.0, 40.0, 20.0}) {
        const QPolygon arc = arcPoints(sx, sy, view.pixels(radius), face - half, width);
        directPolyline(painter, direct, arc.constData(), static_cast<int>(arc.size()));
    }
    for (const QPoint& side : sides) directLine(painter, direct, centre, side);
    directEllipse(painter, direct, circleBox(sx, sy, view.pixels(3.0)));
}

int staminaGrey(double stamina) {
    const double level = std::isfinite(stamina) ? std::clamp(255.0 - stamina * 0.031875, -1.0e9, 1.0e9) : 0.0;
    return static_cast<int>(level) & 0xFF;
}

void drawBackHalf(QPainter& painter, int sx, int sy, int r, double body, const QColor& colour,
                  const PainterPixels* direct) {
    painter.setBrush(colour);
    // The half away from the body's direction, from a quarter turn clockwise of it to a
    // quarter turn anticlockwise, closed through the centre.
    const double from = normalizeAngle(body) + kDisplayPi / 2;
    QPolygon pie = arcPoints(sx, sy, r, from, kDisplayPi);
    pie.append(QPoint(sx, sy));
    if (direct) {
        // The engine fills the polygon, then strokes its outline: the fill without a pen,
        // and the outline written directly, set the same pixels.
        PixelStroke stroke(painter, *direct);
        if (stroke.usable() && direct->device().contains(pie.boundingRect())) {
            const QPen pen = painter.pen();
            painter.setPen(Qt::NoPen);
            painter.drawPolygon(pie);
            painter.setPen(pen);
            stroke.polygon(pie.constData(), static_cast<int>(pie.size()));
            return;
        }
    }
    painter.drawPolygon(pie);
}

int drawBallAt(QPainter& painter, const FieldView& view, int sx, int sy, const QPen& pen, const PainterPixels* direct) {
    const int rb = std::max(3, view.pixels(kBallRadius));
    painter.setPen(pen);
    painter.setBrush(QColor(255, 255, 255));
    directEllipse(painter, direct, circleBox(sx, sy, rb));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(0, 0, 0));
    painter.drawPoint(sx, sy);
    painter.setPen(pen);
    return rb;
}

void drawBallCircle(QPainter& painter, const FieldView& view, int sx, int sy, const QPen& pen,
                    const PainterPixels* direct) {
    const int r9 = static_cast<int>(kCircleRadius * view.scale() + 1);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    directEllipse(painter, direct, circleBox(sx, sy, r9));
}

double normalizeAngle(double radians) {
    if (!std::isfinite(radians)) return 0.0;
    double a = std::fmod(radians, 2 * kDisplayPi);
    if (a > kDisplayPi) a -= 2 * kDisplayPi;
    if (a <= -kDisplayPi) a += 2 * kDisplayPi;
    return a;
}

void drawFieldMarkings(QPainter& painter, const FieldView& view, const DisplayPalette& palette, int width, int height) {
    painter.fillRect(QRect(0, 0, width, height), kFieldColour);
    painter.setPen(palette.whitePen);
    painter.setBrush(Qt::NoBrush);
    const PainterPixels direct(painter);
    const int r1 = static_cast<int>(1.0 * view.scale() + 1);
    const int r9 = static_cast<int>(kCircleRadius * view.scale() + 1);

    const QPoint boundary[] = {toScreen(view, -kHalfLength, -kHalfWidth), toScreen(view, kHalfLength, -kHalfWidth),
                               toScreen(view, kHalfLength, kHalfWidth), toScreen(view, -kHalfLength, kHalfWidth),
                               toScreen(view, -kHalfLength, -kHalfWidth)};
    drawMarkingPolyline(painter, direct, boundary, 5);

    // Corner quarter circles, each the quarter inside the field.
    struct Corner {
        double x, y, from;
    };
    const Corner corners[] = {{-kHalfLength, -kHalfWidth, kDisplayPi / 2},
                              {kHalfLength, -kHalfWidth, kDisplayPi},
                              {kHalfLength, kHalfWidth, -kDisplayPi / 2},
                              {-kHalfLength, kHalfWidth, 0.0}};
    for (const auto& c : corners) {
        const QPoint p = toScreen(view, c.x, c.y);
        drawArcCcw(painter, circleBox(p.x(), p.y(), r1), c.from, c.from - kDisplayPi / 2);
    }

    const QPoint halfway[] = {toScreen(view, 0, -kHalfWidth), toScreen(view, 0, kHalfWidth)};
    drawMarkingPolyline(painter, direct, halfway, 2);
    const QPoint centre = toScreen(view, 0, 0);
    directEllipse(painter, &direct, circleBox(centre.x(), centre.y(), r9));

    for (const double side : {-1.0, 1.0}) {
        const double goalLine = side * kHalfLength;
        const double penaltyLine = side * (kHalfLength - kPenaltyAreaLength);
        const QPoint area[] = {
            toScreen(view, goalLine, -kPenaltyAreaHalfWidth), toScreen(view, penaltyLine, -kPenaltyAreaHalfWidth),
            toScreen(view, penaltyLine, kPenaltyAreaHalfWidth), toScreen(view, goalLine, kPenaltyAreaHalfWidth)};
        drawMarkingPolyline(painter, direct, area, 4);

        // The spot: a line from one pixel above to one below, the end pixel not drawn.
        const QPoint spot = toScreen(view, side * kPenaltySpot, 0);
        directLine(painter, &direct, QPoint(spot.x(), spot.y() - 1), spot);

        // The arc outside the penalty area, between the radials through (±36, ±7.1).
        const double dx = penaltyLine - side * kPenaltySpot;
        const double upper = std::atan2(-kPenaltyArcRadialY, dx);
        const double lower = std::atan2(kPenaltyArcRadialY, dx);
        if (side < 0) {
            drawArcCcw(painter, circleBox(spot.x(), spot.y(), r9), lower, upper);
        } else {
            drawArcCcw(painter, circleBox(spot.x(), spot.y(), r9), upper, lower);
        }

        const double goalAreaLine = side * (kHalfLength - kGoalAreaLength);
        const QPoint goalArea[] = {
            toScreen(view, goalLine, -kGoalAreaHalfWidth), toScreen(view, goalAreaLine, -kGoalAreaHalfWidth),
            toScreen(view, goalAreaLine, kGoalAreaHalfWidth), toScreen(view, goalLine, kGoalAreaHalfWidth)};
        drawMarkingPolyline(painter, direct, goalArea, 4);
    }

    painter.setPen(palette.blackPen);
    for (const double side : {-1.0, 1.0}) {
        const QPoint top = toScreen(view, side * kHalfLength, -kGoalHalfWidth);
        const QPoint bottom = toScreen(view, side * kHalfLength, kGoalHalfWidth);
        if (bottom.y() - 1 >= top.y()) directLine(painter, &direct, top, QPoint(bottom.x(), bottom.y() - 1));
    }
}

void drawHeader(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const FieldScene& scene) {
    const HeaderTexts texts = headerTexts(scene);
    painter.setPen(QColor(0, 0, 0));
    painter.setBackgroundMode(Qt::TransparentMode);
    drawHeaderText(painter, headerRect(view, -52.5, -37.5), fonts.score, Qt::AlignLeft, texts.leftScore);
    drawHeaderText(painter, headerRect(view, 37.5, 52.5), fonts.score, Qt::AlignRight, texts.rightScore);
    drawHeaderText(painter, headerRect(view, -44.5, 32.5), fonts.name, Qt::AlignLeft, texts.leftName);
    drawHeaderText(painter, headerRect(view, 17.5, 44.5), fonts.name, Qt::AlignRight, texts.rightName);
    drawHeaderText(painter, headerRect(view, -20.0, -2.0), fonts.mode, Qt::AlignRight, texts.playMode);
    drawHeaderText(painter, headerRect(view, 2.0, 25.0), fonts.mode, Qt::AlignLeft, texts.time);
}

PlayerLook playerLook(const DisplayPalette& palette, int index, int mode, int selected) {
    const bool left = index < kPlayersPerSide;
    const bool goalie = (mode & kModeGoalie) != 0;
    PlayerLook look;
    if (left) {
        look.fill = goalie ? palette.cyanBrush : palette.yellowBrush;
        look.text = goalie ? QColor(128, 255, 255) : QColor(255, 255, 10);
    } else {
        look.fill = goalie ? palette.magentaBrush : palette.redBrush;
        look.text = goalie ? QColor(255, 0, 255) : QColor(200, 0, 0);
    }
    if (index == selected) look.fill = palette.highlightBrush;
    if ((mode & kModeCollision) != 0) look.fill = palette.whiteBrush;

    if ((mode & 0x2020) != 0) {
        look.outline = palette.pinkPen;
    } else if ((mode & 0x0004) != 0) {
        look.outline = palette.redPen;
    } else if ((mode & 0x1010) != 0) {
        look.outline = palette.yellowPen;
    } else if ((mode & 0x0002) != 0) {
        look.outline = palette.whitePen;
    } else if ((mode & 0x0C00) != 0) {
        look.outline = palette.highlightPen;
    } else {
        look.outline = palette.blackPen;
    }
    return look;
}

int bodyRadius(const FieldView& view, double kickRange, double playerScale) {
    return view.pixels(kickRange * playerScale / 5.0);
}

QPen drawPlayers(QPainter& painter, const FieldView& view, const DisplayPalette& palette, const DisplayFonts& fonts,
                 const FieldScene& scene, const DisplayOptions& options, const std::function<void(int)>& beforeBody) {
    QPen lastPen = palette.blackPen;
    if (!scene.showCurrent()) return lastPen;
    painter.setFont(fonts.label);
    painter.setBackgroundMode(Qt::TransparentMode);
    const PainterPixels direct(painter);
    for (int a = 0; a < kPlayerCount; ++a) {
        const PlayerState& p = scene.state.player[static_cast<std::size_t>(a)];
        if (p.mode == 0) continue;
        const int sx = view.pixelX(p.x);
        const int sy = view.pixelY(p.y);
        const double body = normalizeAngle(p.body_angle);
        const double face = normalizeAngle(p.body_angle + p.neck_angle);

        if (beforeBody) beforeBody(a);
        if (options.Viewarea && a == scene.selected) {
            drawViewCone(painter, view, palette, sx, sy, face, p.view_width, &direct);
        }

        const double kickRange = scene.kickRange[static_cast<std::size_t>(a)];
        const int R = bodyRadius(view, kickRange, options.PlayerScale);
        const PlayerLook look = playerLook(palette, a, p.mode, scene.selected);
        painter.setPen(look.outline);
        painter.setBrush(look.fill);
        directEllipse(painter, &direct, circleBox(sx, sy, R));
        const QPoint facing(static_cast<int>(sx + R * std::cos(face)), static_cast<int>(sy + R * std::sin(face)));
        directLine(painter, &direct, QPoint(sx, sy), facing);

        if (options.Stamina && R > 2) {
            // Full stamina (8000) is black, none white.
            const int grey = staminaGrey(p.stamina);
            drawBackHalf(painter, sx, sy, R, body, QColor(grey, grey, grey), &direct);
        }

        if (options.Kickmargin) {
            painter.setBrush(Qt::NoBrush);
            directEllipse(painter, &direct, circleBox(sx, sy, view.pixels(kickRange)));
        }

        const int number = a < kPlayersPerSide ? a + 1 : a - 10;
        QString label;
        if (options.Velocity) {
            const double speed = std::sqrt(p.vx * p.vx + p.vy * p.vy);
            label = options.Number ? printed("%d,%.2f", number, speed) : printed("%.2f", speed);
        } else if (options.Number) {
            label = QString::number(number);
        }
        if (!label.isEmpty()) {
            painter.setPen(look.text);
            fonts.labelGlyphs.draw(painter, sx + R, sy - R, label, &direct);
            painter.setPen(look.outline);
        }
        lastPen = look.outline;
    }
    painter.setBrush(Qt::NoBrush);
    return lastPen;
}

void drawBall(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const FieldScene& scene,
              const DisplayOptions& options, const QPen& pen) {
    if (!scene.showCurrent()) return;
    const BallState& ball = scene.state.ball;
    const int sx = view.pixelX(ball.x);
    const int sy = view.pixelY(ball.y);
    const PainterPixels direct(painter);
    const int rb = drawBallAt(painter, view, sx, sy, pen, &direct);
    if (options.Velocity || options.BallDetail) {
        const double speed = std::sqrt(ball.vx * ball.vx + ball.vy * ball.vy);
        painter.setFont(fonts.label);
        painter.setPen(kBallLabelColour);
        painter.setBackgroundMode(Qt::TransparentMode);
        fonts.labelGlyphs.draw(painter, sx + rb, sy - rb, printed("%.2f", speed), &direct);
    }
    painter.setPen(pen);
    if (scene.drawCircle) drawBallCircle(painter, view, sx, sy, pen, &direct);
}

}  // namespace tessarin
