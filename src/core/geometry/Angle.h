#pragma once

// Angle helpers in degrees. Arguments and results are single precision; the conversions
// themselves are done in double precision.

namespace tessarin {

// Value of π used by every conversion in the program (it differs from the exact value
// in the tenth decimal place, so conversions must all go through these helpers).
inline constexpr double kPi = 3.1415926538;

float Deg2Rad(float d);
float Rad2Deg(float r);
float SinDeg(float d);
float CosDeg(float d);
float AtanDeg(float t);
// Direction of (x, y) in degrees, in (-180, 180]; 0 when both are 0.
float Atan2Deg(float y, float x);
// Arcsine in degrees; 90 for s >= 1 and -90 for s <= -1 instead of NaN.
float AsinDeg(float s);

}  // namespace tessarin
