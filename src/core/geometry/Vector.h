#pragma once

namespace tessarin {

// A point or displacement on the field, in metres, single precision.
struct Vector {
    float x = 0.0f;
    float y = 0.0f;

    // The vector of length r in direction d (degrees).
    static Vector FromPolar(float r, float d);

    float squaredLength() const { return x * x + y * y; }
    float length() const;
    float squaredDistanceTo(Vector other) const;
    float distanceTo(Vector other) const;
    // Direction in degrees, in (-180, 180]; 0 for the zero vector.
    float direction() const;
};

inline Vector operator+(Vector u, Vector v) { return {u.x + v.x, u.y + v.y}; }
inline Vector operator-(Vector u, Vector v) { return {u.x - v.x, u.y - v.y}; }
inline Vector operator*(Vector v, float s) { return {v.x * s, v.y * s}; }
inline Vector operator/(Vector v, float s) { return {v.x / s, v.y / s}; }

}  // namespace tessarin
