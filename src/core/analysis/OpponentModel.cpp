#include "analysis/OpponentModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "record/AtomicFile.h"
#include "record/ByteOrder.h"

namespace tessarin {

namespace {

void putI32(std::uint8_t* out, std::size_t offset, std::int32_t v) {
    putLe32(out + offset, static_cast<std::uint32_t>(v));
}
void putF32(std::uint8_t* out, std::size_t offset, float v) { putLef32(out + offset, v); }
std::int32_t getI32(const std::uint8_t* in, std::size_t offset) { return static_cast<std::int32_t>(le32(in + offset)); }
float getF32(const std::uint8_t* in, std::size_t offset) { return lef32(in + offset); }

// A least-squares line v = slope·u + intercept; undefined without samples.
struct Line {
    double slope = 0;
    double intercept = 0;
    bool defined = false;
};

// Fits v on u over the samples that `take` selects. Fewer than two distinct u values
// give slope 0 through the mean of v. Computed about the means, which is the same line
// as the textbook sums but does not lose precision when u barely varies.
template <typename Sample, typename Take, typename U, typename V>
Line fitLine(const std::vector<Sample>& samples, Take take, U u, V v) {
    std::size_t n = 0;
    double sumU = 0, sumV = 0;
    double minU = 0, maxU = 0;
    for (const auto& s : samples) {
        if (!take(s)) continue;
        const double su = u(s);
        if (n == 0 || su < minU) minU = su;
        if (n == 0 || su > maxU) maxU = su;
        sumU += su;
        sumV += v(s);
        ++n;
    }
    Line line;
    if (n == 0) return line;
    line.defined = true;
    const double meanU = sumU / static_cast<double>(n);
    const double meanV = sumV / static_cast<double>(n);
    double suu = 0, suv = 0;
    if (minU < maxU) {
        for (const auto& s : samples) {
            if (!take(s)) continue;
            const double du = u(s) - meanU;
            suu += du * du;
            suv += du * (v(s) - meanV);
        }
    }
    line.slope = suu > 0 ? suv / suu : 0.0;
    line.intercept = meanV - line.slope * meanU;
    return line;
}

// The mean of the defined intercepts of a coordinate's two lines, else `fallback`.
double homeOf(const Line& pos, const Line& neg, double fallback) {
    if (pos.defined && neg.defined) return (pos.intercept + neg.intercept) / 2.0;
    if (pos.defined) return pos.intercept;
    if (neg.defined) return neg.intercept;
    return fallback;
}

}  // namespace

void encodeRoleRecord(const RoleRecord& r, std::uint8_t* out) {
    putI32(out, offsetof(RoleRecord, role), r.role);
    putI32(out, offsetof(RoleRecord, lane), r.lane);
    putI32(out, offsetof(RoleRecord, reserved1), r.reserved1);
    putF32(out, offsetof(RoleRecord, home_x), r.home_x);
    putF32(out, offsetof(RoleRecord, home_y), r.home_y);
    putF32(out, offsetof(RoleRecord, slope_x_pos), r.slope_x_pos);
    putF32(out, offsetof(RoleRecord, slope_x_neg), r.slope_x_neg);
    putF32(out, offsetof(RoleRecord, slope_y_pos), r.slope_y_pos);
    putF32(out, offsetof(RoleRecord, slope_y_neg), r.slope_y_neg);
    putI32(out, offsetof(RoleRecord, defender), r.defender);
    putF32(out, offsetof(RoleRecord, front_x), r.front_x);
    putF32(out, offsetof(RoleRecord, back_x), r.back_x);
    putF32(out, offsetof(RoleRecord, high_y), r.high_y);
    putF32(out, offsetof(RoleRecord, low_y), r.low_y);
    std::memcpy(out + offsetof(RoleRecord, reserved2), r.reserved2.data(), r.reserved2.size());
}

RoleRecord decodeRoleRecord(const std::uint8_t* in) {
    RoleRecord r;
    r.role = getI32(in, offsetof(RoleRecord, role));
    r.lane = getI32(in, offsetof(RoleRecord, lane));
    r.reserved1 = getI32(in, offsetof(RoleRecord, reserved1));
    r.home_x = getF32(in, offsetof(RoleRecord, home_x));
    r.home_y = getF32(in, offsetof(RoleRecord, home_y));
    r.slope_x_pos = getF32(in, offsetof(RoleRecord, slope_x_pos));
    r.slope_x_neg = getF32(in, offsetof(RoleRecord, slope_x_neg));
    r.slope_y_pos = getF32(in, offsetof(RoleRecord, slope_y_pos));
    r.slope_y_neg = getF32(in, offsetof(RoleRecord, slope_y_neg));
    r.defender = getI32(in, offsetof(RoleRecord, defender));
    r.front_x = getF32(in, offsetof(RoleRecord, front_x));
    r.back_x = getF32(in, offsetof(RoleRecord, back_x));
    r.high_y = getF32(in, offsetof(RoleRecord, high_y));
    r.low_y = getF32(in, offsetof(RoleRecord, low_y));
    std::memcpy(r.reserved2.data(), in + offsetof(RoleRecord, reserved2), r.reserved2.size());
    return r;
}

RoleBlockBytes encodeRoleBlock(const RoleBlock& block) {
    RoleBlockBytes bytes{};
    for (std::size_t i = 0; i < block.size(); ++i) encodeRoleRecord(block[i], bytes.data() + i * kRoleRecordSize);
    return bytes;
}

RoleBlock decodeRoleBlock(const RoleBlockBytes& bytes) {
    RoleBlock block;
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = decodeRoleRecord(bytes.data() + i * kRoleRecordSize);
    return block;
}

int roleOfHomeX(double homeX) {
    if (homeX < -40) return 0;
    if (homeX < -10) return 1;
    if (homeX < 10) return 2;
    return 3;
}

int laneOfHomeY(double homeY) {
    if (homeY > 15) return 0;
    if (homeY > 10) return 1;
    if (homeY > 5) return 2;
    if (homeY > -5) return 3;
    if (homeY > -10) return 4;
    if (homeY > -15) return 5;
    return 6;
}

namespace {

// A team name as the stem of a file name: see opponentModelFileNames().
std::string fileStemOf(std::string_view name) {
    if (name.empty()) return "unnamed";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string stem;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '_' || c == '+' || (c == '.' && i > 0);
        if (kept) {
            stem += static_cast<char>(c);
        } else {
            stem += '%';
            stem += kHex[c >> 4];
            stem += kHex[c & 0xf];
        }
    }
    return stem;
}

}  // namespace

std::array<std::string, 2> opponentModelFileNames(const std::array<std::string, 2>& teamNames) {
    std::array<std::string, 2> stems = {fileStemOf(teamNames[0]), fileStemOf(teamNames[1])};
    if (stems[0] == stems[1]) {
        stems[0] += "-left";
        stems[1] += "-right";
    }
    for (auto& stem : stems) stem += kOpponentModelSuffix;
    return stems;
}

void OpponentModel::Toggle() {
    bool was = enabled_.load(std::memory_order_relaxed);
    while (!enabled_.compare_exchange_weak(was, !was, std::memory_order_relaxed)) {
    }
}

void OpponentModel::Start(const show_info_t& show) {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < kPlayerCount; ++i) typeIds_[i] = netToHost16(show.player[i].type);
}

void OpponentModel::Feed(const cycle_info_t& record, int ownerSide) {
    // Only a show record holds players; a sight record's bytes mean something else.
    if (record.kind != kShowRecord) return;
    if (!enabled() || ownerSide == -1) return;
    const show_info_t show = record.show();
    const double ballX = fixed_to_double(show.ball.x);
    const double ballY = fixed_to_double(show.ball.y);

    std::lock_guard lock(mutex_);
    for (int i = 0; i < kPlayerCount; ++i) {
        const player_info_t& p = show.player[i];
        const double vx = fixed_to_double(p.vx);
        const double vy = fixed_to_double(p.vy);
        if (std::sqrt(vx * vx + vy * vy) > kStillSpeed) continue;
        PlayerModel& model = players_[i / kPlayersPerSide][i % kPlayersPerSide];
        if (model.samples.size() >= kMaxSamples) continue;
        const double x = fixed_to_double(p.x);
        const double y = fixed_to_double(p.y);
        model.samples.push_back({ballX, ballY, x, y});
        const float fx = static_cast<float>(x);
        const float fy = static_cast<float>(y);
        if (!model.extent) {
            model.extent = SampleExtent{fx, fx, fy, fy};
        } else {
            SampleExtent& e = *model.extent;
            e.min_x = std::min(e.min_x, fx);
            e.max_x = std::max(e.max_x, fx);
            e.min_y = std::min(e.min_y, fy);
            e.max_y = std::max(e.max_y, fy);
        }
    }
}

void OpponentModel::fitPlayer(PlayerModel& model) const {
    PositionFit fit;
    if (model.extent) {
        const SampleExtent e = *model.extent;
        // In field coordinates the kept region is the same for both teams: the mirrored
        // limits of the right team bound the same interval.
        auto inside = [e](const Sample& s) {
            return s.x >= e.min_x + kEdgeMargin && s.x <= e.max_x - kEdgeMargin && s.y >= e.min_y + kEdgeMargin &&
                   s.y <= e.max_y - kEdgeMargin;
        };
        auto ballX = [](const Sample& s) { return s.ball_x; };
        auto ballY = [](const Sample& s) { return s.ball_y; };
        auto playerX = [](const Sample& s) { return s.x; };
        auto playerY = [](const Sample& s) { return s.y; };
        const Line xPos = fitLine(
            model.samples, [&](const Sample& s) { return inside(s) && s.ball_x > 0; }, ballX, playerX);
        const Line xNeg = fitLine(
            model.samples, [&](const Sample& s) { return inside(s) && s.ball_x <= 0; }, ballX, playerX);
        const Line yPos = fitLine(
            model.samples, [&](const Sample& s) { return inside(s) && s.ball_y > 0; }, ballY, playerY);
        const Line yNeg = fitLine(
            model.samples, [&](const Sample& s) { return inside(s) && s.ball_y <= 0; }, ballY, playerY);
        // Without any kept sample on either side of a coordinate, the player's mean
        // position over all its samples stands in for the intercepts.
        double meanX = 0, meanY = 0;
        for (const auto& s : model.samples) {
            meanX += s.x;
            meanY += s.y;
        }
        if (!model.samples.empty()) {
            meanX /= static_cast<double>(model.samples.size());
            meanY /= static_cast<double>(model.samples.size());
        }
        fit.slope_x_pos = xPos.slope;
        fit.slope_x_neg = xNeg.slope;
        fit.slope_y_pos = yPos.slope;
        fit.slope_y_neg = yNeg.slope;
        fit.home_x = homeOf(xPos, xNeg, meanX);
        fit.home_y = homeOf(yPos, yNeg, meanY);
    }
    model.fit = fit;
}

void OpponentModel::rebuildBlock(int team) {
    const double s = team == 0 ? 1.0 : -1.0;
    for (int r = 1; r <= kPlayersPerSide; ++r) {
        const PlayerModel& model = players_[team][r - 1];
        RoleRecord& rec = blocks_[team][r];
        rec.home_x = static_cast<float>(s * model.fit.home_x);
        rec.home_y = static_cast<float>(s * model.fit.home_y);
        rec.slope_x_pos = static_cast<float>(model.fit.slope_x_pos);
        rec.slope_x_neg = static_cast<float>(model.fit.slope_x_neg);
        rec.slope_y_pos = static_cast<float>(model.fit.slope_y_pos);
        rec.slope_y_neg = static_cast<float>(model.fit.slope_y_neg);
        if (model.extent) {
            const SampleExtent& e = *model.extent;
            // front is the largest x in the team's attacking direction, high the largest y.
            rec.front_x = team == 0 ? e.max_x : -e.min_x;
            rec.back_x = team == 0 ? e.min_x : -e.max_x;
            rec.high_y = team == 0 ? e.max_y : -e.min_y;
            rec.low_y = team == 0 ? e.min_y : -e.max_y;
        } else {
            rec.front_x = rec.back_x = rec.high_y = rec.low_y = 0;
        }
        rec.role = roleOfHomeX(rec.home_x);
        if (rec.role == 1) rec.defender = 1;
        rec.lane = laneOfHomeY(rec.home_y);
    }
}

void OpponentModel::Finish() {
    if (!enabled()) return;
    std::lock_guard lock(mutex_);
    for (auto& team : players_) {
        for (auto& model : team) fitPlayer(model);
    }
    rebuildBlock(0);
    rebuildBlock(1);
}

OpponentModelSaveResult OpponentModel::Save(const show_info_t& shown, const std::filesystem::path& directory) const {
    DirectorySink sink(directory);
    return Save(shown, sink);
}

OpponentModelSaveResult OpponentModel::Save(const show_info_t& shown, OutputSink& sink) const {
    OpponentModelSaveResult result;
    for (int t = 0; t < 2; ++t) result.name[t] = teamName(shown.team[t]);
    result.file = opponentModelFileNames(result.name);
    if (!enabled()) return result;

    std::array<RoleBlockBytes, 2> bytes;
    {
        std::lock_guard lock(mutex_);
        for (int t = 0; t < 2; ++t) bytes[t] = encodeRoleBlock(blocks_[t]);
    }
    for (int t = 0; t < 2; ++t) {
        const std::string_view block(reinterpret_cast<const char*>(bytes[t].data()), bytes[t].size());
        const bool written = sink.replace(result.file[t], block);
        result.error[t] = written ? 0 : sink.error();
        result.team[t] = written ? TeamSaveStatus::Written : TeamSaveStatus::Failed;
    }
    return result;
}

Vector OpponentModel::PredictPosition(int team, int player, float ballX, float ballY) const {
    if (!validIndex(team, player)) return {};
    std::lock_guard lock(mutex_);
    const PlayerModel& model = players_[team][player];
    const PositionFit& f = model.fit;
    double x = ballX * (ballX > 0 ? f.slope_x_pos : f.slope_x_neg) + f.home_x;
    double y = ballY * (ballY > 0 ? f.slope_y_pos : f.slope_y_neg) + f.home_y;
    // A player never sampled has no extent to clamp to.
    if (model.extent) {
        const SampleExtent& e = *model.extent;
        x = std::clamp<double>(x, e.min_x, e.max_x);
        y = std::clamp<double>(y, e.min_y, e.max_y);
    }
    return {static_cast<float>(x), static_cast<float>(y)};
}

RoleRecord OpponentModel::roleRecord(int team, int uniformNumber) const {
    if (team < 0 || team > 1 || uniformNumber < 0 || uniformNumber >= static_cast<int>(kRoleRecordsPerBlock)) {
        return {};
    }
    std::lock_guard lock(mutex_);
    return blocks_[team][uniformNumber];
}

RoleBlock OpponentModel::block(int team) const {
    if (team < 0 || team > 1) return {};
    std::lock_guard lock(mutex_);
    return blocks_[team];
}

std::size_t OpponentModel::sampleCount(int team, int player) const {
    if (!validIndex(team, player)) return 0;
    std::lock_guard lock(mutex_);
    return players_[team][player].samples.size();
}

std::optional<SampleExtent> OpponentModel::extent(int team, int player) const {
    if (!validIndex(team, player)) return std::nullopt;
    std::lock_guard lock(mutex_);
    return players_[team][player].extent;
}

PositionFit OpponentModel::fit(int team, int player) const {
    if (!validIndex(team, player)) return {};
    std::lock_guard lock(mutex_);
    return players_[team][player].fit;
}

std::array<int, kPlayerCount> OpponentModel::typeIds() const {
    std::lock_guard lock(mutex_);
    return typeIds_;
}

}  // namespace tessarin
