#include "record/SightLogV2Parser.h"

#include <array>
#include <cmath>
#include <limits>

#include "record/ByteOrder.h"
#include "record/LogFile.h"
#include "record/LogPlayer.h"

namespace tessarin {

namespace {

// A single-precision value as a fixed-point integer in network order, truncated
// towards zero; values outside the int32 range (or NaN) saturate instead of
// overflowing.
std::int32_t toFixed(float value) {
    const double scaled = std::trunc(static_cast<double>(value) * FIXED_SCALE);
    std::int32_t host = 0;
    if (std::isnan(scaled)) {
        host = 0;
    } else if (scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        host = std::numeric_limits<std::int32_t>::max();
    } else if (scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        host = std::numeric_limits<std::int32_t>::min();
    } else {
        host = static_cast<std::int32_t>(scaled);
    }
    return hostToNet32(host);
}

player_type_t typeFromSightEntry(int id, const std::uint8_t* entry) {
    player_type_t t{};
    t.id = hostToNet16(static_cast<std::int16_t>(id));
    std::int32_t* const fields[] = {&t.player_speed_max, &t.stamina_inc_max, &t.player_decay,    &t.inertia_moment,
                                    &t.dash_power_rate,  &t.player_size,     &t.kickable_margin, &t.kick_rand,
                                    &t.extra_stamina,    &t.effort_max,      &t.effort_min};
    for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = toFixed(lef32(entry + 4 * i));
    return t;
}

// Reads one decision block: a little-endian count, then that many entries. A count
// above kMaxDecisionCount in magnitude marks the file corrupt (readable = false). A
// negative count holds no entries. A block cut short by the end of the file is
// dropped whole, so every stored block is complete.
template <typename Info, typename Decode>
void readDecisionBlock(LogFile& file, bool& readable, Info& info, std::size_t entrySize, Decode decode) {
    if (!readable) return;
    std::uint8_t countBytes[4];
    if (file.read(countBytes, 4) != 4) return;
    const auto count = static_cast<std::int32_t>(le32(countBytes));
    if (count > kMaxDecisionCount || count < -kMaxDecisionCount) {
        readable = false;
        return;
    }
    std::array<std::uint8_t, 32> entry{};
    for (std::int32_t i = 0; i < count; ++i) {
        if (file.read(entry.data(), entrySize) != entrySize) {
            info.list.clear();
            info.count = 0;
            return;
        }
        info.list.push_back(decode(entry.data()));
    }
    info.count = static_cast<std::int32_t>(info.list.size());
}

}  // namespace

bool CSightLogV2Parser::parse(LogFile& file, std::stop_token stop) {
    if (!file.atEnd()) {
        std::array<std::uint8_t, kSightTypeBlockSize> block;
        if (file.read(block.data(), block.size()) != block.size()) {
            noteTornRecord();
            return true;
        }
        for (int p = 0; p < kSightTypeCount; ++p) {
            player_.addPlayerType(
                typeFromSightEntry(p, block.data() + static_cast<std::size_t>(p) * kSightTypeEntrySize));
        }
    }

    cycle_info_t work;
    work.kind = kSightRecordV2;
    work.valid = 1;
    bool passReadable = true;
    bool interceptReadable = true;
    bool defenseReadable = true;
    const std::size_t entryBudget = player_.budget().decisionEntries;
    std::size_t entries = 0;
    while (!stop.stop_requested() && !player_.overBudget()) {
        cycle_pass_info pass;
        cycle_intercept_info intercept;
        cycle_defense_info defense;
        const std::size_t got = file.read(work.data.data(), kSightRecordV2Size);
        if (got != kSightRecordV2Size) {
            if (got != 0) noteTornRecord();
            return true;
        }
        work.cycle = static_cast<std::int16_t>(recordCycle(work));
        if (LogFile* f = player_.decisionFile(DecisionFile::Pass)) {
            readDecisionBlock(*f, passReadable, pass, kPassDecisionSize, decodePassDecision);
        }
        if (LogFile* f = player_.decisionFile(DecisionFile::Intercept)) {
            readDecisionBlock(*f, interceptReadable, intercept, kInterceptDecisionSize, decodeInterceptDecision);
        }
        if (LogFile* f = player_.decisionFile(DecisionFile::Behave)) {
            readDecisionBlock(*f, defenseReadable, defense, kDefenseDecisionSize, decodeDefenseDecision);
        }
        // Each block holds at most kMaxDecisionCount entries, so a cycle's blocks are small;
        // the files together are bounded here.
        entries += pass.list.size() + intercept.list.size() + defense.list.size();
        if (entries > entryBudget) {
            player_.noteDecisionBudgetExceeded();
            return false;
        }
        player_.add_with_decisions(work, pass, intercept, defense);
    }
    return false;
}

}  // namespace tessarin
