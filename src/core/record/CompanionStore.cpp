#include "record/CompanionStore.h"

#include <bit>
#include <limits>

namespace tessarin {

namespace {

// Per player, one byte says what differs from the record before; the values follow in
// this order. Counters and the state word are stored as their change (a difference,
// or the changed bits), the capacity as the difference of its bit pattern (a dash's
// cost is one or two bytes), the rest as they are.
enum Changed : std::uint8_t {
    kStateChanged = 0x01,
    kCounterChanged = 0x02,  // four bits from here, one per counter
    kCapacityChanged = 0x20,
    kFocusChanged = 0x40,
    kOtherChanged = 0x80,  // parts, counter count, attention target, pointing target
};

constexpr std::uint8_t kNoCompanion = 0;
constexpr std::uint8_t kHasCompanion = 1;

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

void putVarint(std::vector<std::uint8_t>& out, std::uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(value));
}

void putRaw(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t zigzag(std::uint32_t difference) {
    const auto signedDifference = static_cast<std::int32_t>(difference);
    return (difference << 1) ^ static_cast<std::uint32_t>(signedDifference >> 31);
}

std::uint32_t unzigzag(std::uint32_t value) { return (value >> 1) ^ (0u - (value & 1)); }

std::uint8_t sideCode(char side) { return side == 'l' ? 1 : side == 'r' ? 2 : 0; }
char sideOfCode(std::uint8_t code) { return code == 1 ? 'l' : code == 2 ? 'r' : 0; }

bool otherDiffers(const PlayerCompanion& a, const PlayerCompanion& b) {
    return a.parts != b.parts || a.counterCount != b.counterCount || a.attentionSide != b.attentionSide ||
           a.attentionUnum != b.attentionUnum || bits(a.pointX) != bits(b.pointX) || bits(a.pointY) != bits(b.pointY);
}

void encodePlayer(std::vector<std::uint8_t>& out, const PlayerCompanion& now, const PlayerCompanion& before) {
    std::uint8_t changed = 0;
    if (now.state != before.state) changed |= kStateChanged;
    for (std::size_t i = 0; i < kCompanionCounterCount; ++i) {
        if (now.counters[i] != before.counters[i]) changed |= static_cast<std::uint8_t>(kCounterChanged << i);
    }
    if (bits(now.capacity) != bits(before.capacity)) changed |= kCapacityChanged;
    if (bits(now.focusDist) != bits(before.focusDist) || bits(now.focusDir) != bits(before.focusDir)) {
        changed |= kFocusChanged;
    }
    if (otherDiffers(now, before)) changed |= kOtherChanged;
    out.push_back(changed);
    if ((changed & kStateChanged) != 0) putVarint(out, now.state ^ before.state);
    for (std::size_t i = 0; i < kCompanionCounterCount; ++i) {
        if ((changed & (kCounterChanged << i)) != 0) putVarint(out, now.counters[i] - before.counters[i]);
    }
    if ((changed & kCapacityChanged) != 0) putVarint(out, zigzag(bits(now.capacity) - bits(before.capacity)));
    if ((changed & kFocusChanged) != 0) {
        putRaw(out, bits(now.focusDist));
        putRaw(out, bits(now.focusDir));
    }
    if ((changed & kOtherChanged) != 0) {
        out.push_back(static_cast<std::uint8_t>(now.parts | (now.counterCount << 4)));
        out.push_back(static_cast<std::uint8_t>(sideCode(now.attentionSide) | ((now.attentionUnum & 0x3f) << 2)));
        if (now.has(PlayerCompanion::kPointing)) {
            putRaw(out, bits(now.pointX));
            putRaw(out, bits(now.pointY));
        }
    }
}

// Reads what encodePlayer wrote; false when the bytes end early.
class Decoder {
public:
    Decoder(const std::vector<std::uint8_t>& bytes, std::size_t& offset) : bytes_(bytes), offset_(offset) {}

    bool byte(std::uint8_t& out) {
        if (offset_ >= bytes_.size()) return false;
        out = bytes_[offset_++];
        return true;
    }
    bool varint(std::uint32_t& out) {
        out = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            std::uint8_t b = 0;
            if (!byte(b)) return false;
            out |= static_cast<std::uint32_t>(b & 0x7f) << shift;
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }
    bool raw(float& out) {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!byte(b)) return false;
            value |= static_cast<std::uint32_t>(b) << (8 * i);
        }
        out = std::bit_cast<float>(value);
        return true;
    }
    bool player(PlayerCompanion& p) {
        std::uint8_t changed = 0;
        if (!byte(changed)) return false;
        std::uint32_t v = 0;
        if ((changed & kStateChanged) != 0) {
            if (!varint(v)) return false;
            p.state ^= v;
        }
        for (std::size_t i = 0; i < kCompanionCounterCount; ++i) {
            if ((changed & (kCounterChanged << i)) == 0) continue;
            if (!varint(v)) return false;
            p.counters[i] += v;
        }
        if ((changed & kCapacityChanged) != 0) {
            if (!varint(v)) return false;
            p.capacity = std::bit_cast<float>(bits(p.capacity) + unzigzag(v));
        }
        if ((changed & kFocusChanged) != 0 && !(raw(p.focusDist) && raw(p.focusDir))) return false;
        if ((changed & kOtherChanged) != 0) {
            std::uint8_t parts = 0;
            std::uint8_t attention = 0;
            if (!byte(parts) || !byte(attention)) return false;
            p.parts = parts & 0x0f;
            p.pointX = 0;
            p.pointY = 0;
            if (p.has(PlayerCompanion::kPointing) && !(raw(p.pointX) && raw(p.pointY))) return false;
            p.counterCount = static_cast<std::uint8_t>(parts >> 4);
            p.attentionSide = sideOfCode(attention & 3);
            p.attentionUnum = static_cast<std::uint8_t>(attention >> 2);
        }
        return true;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t& offset_;
};

}  // namespace

std::size_t CompanionStore::append(std::size_t index, const CycleCompanion* companion) {
    // A game whose records have none keeps the store empty.
    if (companion == nullptr && !any_) return 0;
    if (index < count_) return 0;
    const std::size_t before = bytes();
    const PlayerCompanion empty;
    while (count_ <= index) {
        if (count_ % kChunk == 0) {
            // The offsets are 32-bit; a store of 4 GiB is past any budget, so a record
            // that would need more is kept without its companion.
            if (bytes_.size() > std::numeric_limits<std::uint32_t>::max()) return bytes() - before;
            chunkOffsets_.push_back(static_cast<std::uint32_t>(bytes_.size()));
            lastPresent_ = false;
        }
        const CycleCompanion* now = count_ == index ? companion : nullptr;
        if (now == nullptr) {
            bytes_.push_back(kNoCompanion);
            lastPresent_ = false;
        } else {
            bytes_.push_back(kHasCompanion);
            for (std::size_t p = 0; p < now->players.size(); ++p) {
                encodePlayer(bytes_, now->players[p], lastPresent_ ? last_.players[p] : empty);
            }
            last_.players = now->players;
            lastPresent_ = true;
            any_ = true;
        }
        ++count_;
    }
    return bytes() - before;
}

bool CompanionStore::decode(std::size_t& offset, CycleCompanion& base) const {
    Decoder in(bytes_, offset);
    std::uint8_t tag = kNoCompanion;
    if (!in.byte(tag) || tag != kHasCompanion) {
        base.players = {};
        return false;
    }
    for (PlayerCompanion& p : base.players) {
        if (!in.player(p)) {
            base.players = {};
            return false;
        }
    }
    return true;
}

std::optional<CycleCompanion> CompanionStore::at(std::size_t index) const {
    if (index >= count_) return std::nullopt;
    // The record just appended, which a live game hands out at once, is kept whole.
    if (index + 1 == count_) {
        if (!lastPresent_) return std::nullopt;
        CycleCompanion companion;
        companion.players = last_.players;
        return companion;
    }
    const std::size_t chunk = index / kChunk;
    std::size_t offset = chunkOffsets_[chunk];
    CycleCompanion companion;
    bool present = false;
    for (std::size_t i = chunk * kChunk; i <= index; ++i) present = decode(offset, companion);
    if (!present) return std::nullopt;
    return companion;
}

void CompanionStore::clear() {
    bytes_.clear();
    chunkOffsets_.clear();
    count_ = 0;
    any_ = false;
    last_ = CycleCompanion{};
    lastPresent_ = false;
}

void CompanionStore::reserve(std::size_t records) {
    // About a hundred bytes a record in a real game (see bytes()).
    constexpr std::size_t kTypicalRecordBytes = 112;
    bytes_.reserve(records * kTypicalRecordBytes);
    chunkOffsets_.reserve(records / kChunk + 1);
}

std::optional<CycleCompanion> CompanionStore::Reader::next() {
    if (index_ >= store_.count_) return std::nullopt;
    if (index_ % kChunk == 0) {
        offset_ = store_.chunkOffsets_[index_ / kChunk];
        last_.players = {};
    }
    ++index_;
    if (!store_.decode(offset_, last_)) return std::nullopt;
    return last_;
}

}  // namespace tessarin
