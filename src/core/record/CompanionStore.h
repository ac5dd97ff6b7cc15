#pragma once

// The companions of a game's records, kept compact beside the frame store. Most of a
// companion changes little from one cycle to the next (the counters step by one, the
// capacity by a dash's cost), so each record is held as its difference from the one
// before, in a few bytes per player; every kChunk-th record is held whole, so that any
// record is decoded from at most kChunk of them. Records without a companion (a
// version-3 game) cost nothing.
//
// Not synchronised: the log player guards it with its store's lock.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "record/Companion.h"

namespace tessarin {

class CompanionStore final {
public:
    static constexpr std::size_t kChunk = 32;

    // Appends the companion of record `index` (the next record, or a later one when
    // the records between have none); null for a record without. Returns the bytes it
    // took.
    std::size_t append(std::size_t index, const CycleCompanion* companion);
    // The companion of record `index`, or none (its logos are not set).
    std::optional<CycleCompanion> at(std::size_t index) const;
    // Whether any record has one.
    bool any() const { return any_; }
    // Records covered (those after are without).
    std::size_t size() const { return count_; }
    void clear();
    // Makes room for this many records without moving what is stored.
    void reserve(std::size_t records);
    // Bytes held (encoded records and chunk offsets).
    std::size_t bytes() const { return bytes_.size() + chunkOffsets_.size() * sizeof(std::uint32_t); }

    // Decodes the records front to back, each in turn, as a writer or a count needs them.
    class Reader final {
    public:
        explicit Reader(const CompanionStore& store) : store_(store) {}
        // The companion of the next record, or none; call once per record in order.
        std::optional<CycleCompanion> next();

    private:
        const CompanionStore& store_;
        std::size_t index_ = 0;
        std::size_t offset_ = 0;
        CycleCompanion last_;
        bool lastPresent_ = false;
    };

private:
    // Decodes the record at `offset` against `base` (the record before, or an empty
    // companion); moves `offset` past it. False when it has none.
    bool decode(std::size_t& offset, CycleCompanion& base) const;

    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint32_t> chunkOffsets_;  // offset in bytes_ of the first record of each chunk
    std::size_t count_ = 0;
    bool any_ = false;
    CycleCompanion last_;  // the record last appended, the base of the next one
    bool lastPresent_ = false;
};

}  // namespace tessarin
