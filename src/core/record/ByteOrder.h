#pragma once

// Byte-order helpers. Stored records keep the byte order in which they arrived:
// the server's records are big-endian (network order), the clients' sight records
// little-endian. Every value is read and written through these helpers, which copy
// bytes with memcpy and never alias a byte buffer as another type.

#include <bit>
#include <cstdint>
#include <cstring>

namespace tessarin {

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big,
              "mixed-endian machines are not supported");

// Fixed-point scale of every real value in the server's records.
inline constexpr double FIXED_SCALE = 65536.0;

constexpr std::uint16_t byteswap16(std::uint16_t v) { return static_cast<std::uint16_t>((v >> 8) | (v << 8)); }

constexpr std::uint32_t byteswap32(std::uint32_t v) {
    return ((v & 0x000000FFu) << 24) | ((v & 0x0000FF00u) << 8) | ((v & 0x00FF0000u) >> 8) | ((v & 0xFF000000u) >> 24);
}

// Network-order <-> host-order for values already held in an integer member
// (the stored bit pattern of a big-endian field).
constexpr std::int16_t netToHost16(std::int16_t stored) {
    if constexpr (std::endian::native == std::endian::big) return stored;
    return static_cast<std::int16_t>(byteswap16(static_cast<std::uint16_t>(stored)));
}
constexpr std::int32_t netToHost32(std::int32_t stored) {
    if constexpr (std::endian::native == std::endian::big) return stored;
    return static_cast<std::int32_t>(byteswap32(static_cast<std::uint32_t>(stored)));
}
constexpr std::int16_t hostToNet16(std::int16_t host) { return netToHost16(host); }
constexpr std::int32_t hostToNet32(std::int32_t host) { return netToHost32(host); }

// A stored network-order fixed-point value as a real: signed, divided by 65536.
constexpr double fixed_to_double(std::int32_t stored) { return netToHost32(stored) / FIXED_SCALE; }

// Readers from raw bytes.
inline std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
inline std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}
inline std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
// A little-endian IEEE single-precision value, as the clients write their sight records.
inline float lef32(const std::uint8_t* p) { return std::bit_cast<float>(le32(p)); }

// Writers into raw bytes.
inline void putBe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
inline void putBe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}
inline void putLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}
inline void putLef32(std::uint8_t* p, float v) { putLe32(p, std::bit_cast<std::uint32_t>(v)); }

}  // namespace tessarin
