#include "display/FieldPainter.h"

#include <QPolygon>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/CompanionPainter.h"
#include "display/HeaderLayout.h"

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
                  double width) {
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
        painter.drawPolyline(arc);
    }
    for (const QPoint& side : sides) painter.drawLine(centre, side);
    painter.drawEllipse(circleBox(sx, sy, view.pixels(3.0)));
}

int staminaGrey(double stamina) {
    const double level = std::isfinite(stamina) ? std::clamp(255.0 - stamina * 0.031875, -1.0e9, 1.0e9) : 0.0;
    return static_cast<int>(level) & 0xFF;
}

void drawBackHalf(QPainter& painter, int sx, int sy, int r, double body, const QColor& colour) {
    painter.setBrush(colour);
    // The half away from the body's direction, from a quarter turn clockwise of it to a
    // quarter turn anticlockwise, closed through the centre.
    const double from = normalizeAngle(body) + kDisplayPi / 2;
    QPolygon pie = arcPoints(sx, sy, r, from, kDisplayPi);
    pie.append(QPoint(sx, sy));
    painter.drawPolygon(pie);
}

int drawBallAt(QPainter& painter, const FieldView& view, int sx, int sy, const QPen& pen) {
    const int rb = std::max(3, view.pixels(kBallRadius));
    painter.setPen(pen);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawEllipse(circleBox(sx, sy, rb));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(0, 0, 0));
    painter.drawPoint(sx, sy);
    painter.setPen(pen);
    return rb;
}

void drawBallCircle(QPainter& painter, const FieldView& view, int sx, int sy, const QPen& pen) {
    const int r9 = static_cast<int>(kCircleRadius * view.scale() + 1);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circleBox(sx, sy, r9));
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
    const int r1 = static_cast<int>(1.0 * view.scale() + 1);
    const int r9 = static_cast<int>(kCircleRadius * view.scale() + 1);

    const QPoint boundary[] = {toScreen(view, -kHalfLength, -kHalfWidth), toScreen(view, kHalfLength, -kHalfWidth),
                               toScreen(view, kHalfLength, kHalfWidth), toScreen(view, -kHalfLength, kHalfWidth),
                               toScreen(view, -kHalfLength, -kHalfWidth)};
    painter.drawPolyline(boundary, 5);

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
    painter.drawPolyline(halfway, 2);
    const QPoint centre = toScreen(view, 0, 0);
    painter.drawEllipse(circleBox(centre.x(), centre.y(), r9));

    for (const double side : {-1.0, 1.0}) {
        const double goalLine = side * kHalfLength;
        const double penaltyLine = side * (kHalfLength - kPenaltyAreaLength);
        const QPoint area[] = {
            toScreen(view, goalLine, -kPenaltyAreaHalfWidth), toScreen(view, penaltyLine, -kPenaltyAreaHalfWidth),
            toScreen(view, penaltyLine, kPenaltyAreaHalfWidth), toScreen(view, goalLine, kPenaltyAreaHalfWidth)};
        painter.drawPolyline(area, 4);

        // The spot: a line from one pixel above to one below, the end pixel not drawn.
        const QPoint spot = toScreen(view, side * kPenaltySpot, 0);
        painter.drawLine(QPoint(spot.x(), spot.y() - 1), spot);

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
        painter.drawPolyline(goalArea, 4);
    }

    painter.setPen(palette.blackPen);
    for (const double side : {-1.0, 1.0}) {
        const QPoint top = toScreen(view, side * kHalfLength, -kGoalHalfWidth);
        const QPoint bottom = toScreen(view, side * kHalfLength, kGoalHalfWidth);
        if (bottom.y() - 1 >= top.y()) painter.drawLine(top, QPoint(bottom.x(), bottom.y() - 1));
    }
}

void drawHeader(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const FieldScene& scene,
                HeaderCache& cache) {
    painter.setBackgroundMode(Qt::TransparentMode);
    cache.draw(painter, view, fonts, headerTexts(scene));
    // The mode font stays selected: the drawings after the header write in it.
    painter.setFont(fonts.mode);
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
    for (int a = 0; a < kPlayerCount; ++a) {
        const PlayerState& p = scene.state.player[static_cast<std::size_t>(a)];
        if (p.mode == 0) continue;
        const int sx = view.pixelX(p.x);
        const int sy = view.pixelY(p.y);
        const double body = normalizeAngle(p.body_angle);
        const double face = normalizeAngle(p.body_angle + p.neck_angle);

        if (beforeBody) beforeBody(a);
        if (options.Viewarea && a == scene.selected) {
            drawViewCone(painter, view, palette, sx, sy, face, p.view_width);
            drawAttention(painter, view, scene, a);
        }

        const double kickRange = scene.kickRange[static_cast<std::size_t>(a)];
        const int R = bodyRadius(view, kickRange, options.PlayerScale);
        const PlayerLook look = playerLook(palette, a, p.mode, scene.selected);
        painter.setPen(look.outline);
        painter.setBrush(look.fill);
        painter.drawEllipse(circleBox(sx, sy, R));
        const QPoint facing(static_cast<int>(sx + R * std::cos(face)), static_cast<int>(sy + R * std::sin(face)));
        painter.drawLine(QPoint(sx, sy), facing);

        if (options.Stamina && R > 2) {
            // Full stamina (8000) is black, none white.
            const int grey = staminaGrey(p.stamina);
            drawBackHalf(painter, sx, sy, R, body, QColor(grey, grey, grey));
        }

        if (options.Kickmargin) {
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(circleBox(sx, sy, view.pixels(kickRange)));
        }
        // On top of the kick margin. A card stays marked for as long as the state says
        // so: a sent-off player too.
        if (const CycleCompanion* extra = scene.companion()) {
            drawCardMark(painter, sx, sy, R, extra->players[static_cast<std::size_t>(a)].card());
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
            fonts.texts.draw(painter, sx + R, sy - R, label);
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
    const int rb = drawBallAt(painter, view, sx, sy, pen);
    if (options.Velocity || options.BallDetail) {
        const double speed = std::sqrt(ball.vx * ball.vx + ball.vy * ball.vy);
        painter.setFont(fonts.label);
        painter.setPen(kBallLabelColour);
        painter.setBackgroundMode(Qt::TransparentMode);
        fonts.texts.draw(painter, sx + rb, sy - rb, printed("%.2f", speed));
    }
    painter.setPen(pen);
    if (scene.drawCircle) drawBallCircle(painter, view, sx, sy, pen);
}

}  // namespace tessarin
