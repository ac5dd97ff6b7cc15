#pragma once

// The display's option flags and player scale, and their settings in section "Displayer".

namespace tessarin {

class Profile;

struct DisplayOptions {
    bool Number = true;
    bool Kickmargin = true;
    bool Viewarea = true;
    bool Velocity = false;
    bool Stamina = true;
    bool OffsideLine = true;
    bool BallDetail = true;
    bool ControlArea = false;
    bool ControlCourse = false;
    // Body radius as a multiple of a fifth of the kickable distance; 1..5 in steps of 0.4.
    double PlayerScale = 3.0;
    bool pause = false;
    bool debug = false;
    bool PassInfo = true;
    bool ShootInfo = true;
    bool SightInfo = true;
    bool DribbleInfo = true;
    bool InterceptInfo = true;
    bool DefenseInfo = true;
    bool plan = false;
    bool fullStateLeft = false;
    bool fullStateRight = false;
    bool Recover = false;
    bool opponentModel = false;
    // Anti-aliased lines, circles and text; off, the aliased one-pixel drawing.
    bool SmoothDrawing = false;
};

inline constexpr double kDefaultPlayerScale = 3.0;
inline constexpr double kPlayerScaleMin = 1.0;
inline constexpr double kPlayerScaleMax = 5.0;
inline constexpr double kPlayerScaleStep = 0.4;

// The options a display starts with: only PlayerScale, Velocity, ControlArea,
// ControlCourse and SmoothDrawing come from the settings; every other option starts at
// its default.
DisplayOptions loadDisplayOptions(const Profile& profile);
// Writes PlayerScale (as text, three decimals), the fifteen stored flags and SmoothDrawing.
void saveDisplayOptions(Profile& profile, const DisplayOptions& options);

}  // namespace tessarin
