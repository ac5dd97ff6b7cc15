#include "record/DecisionRecords.h"

#include "record/ByteOrder.h"

namespace tessarin {

PASSDECISIONINFO decodePassDecision(const std::uint8_t* b) {
    PASSDECISIONINFO d;
    d.receiver = static_cast<std::int32_t>(le32(b));
    d.angle = lef32(b + 4);
    d.ball_speed = lef32(b + 8);
    d.target_x = lef32(b + 12);
    d.target_y = lef32(b + 16);
    d.success_rate = lef32(b + 20);
    d.utility = lef32(b + 24);
    d.gain = lef32(b + 28);
    return d;
}

INTERCEPTDECISIONINFO decodeInterceptDecision(const std::uint8_t* b) {
    INTERCEPTDECISIONINFO d;
    d.success_rate = lef32(b);
    d.utility = lef32(b + 4);
    d.gain = lef32(b + 8);
    d.point_x = lef32(b + 12);
    d.point_y = lef32(b + 16);
    return d;
}

DEFENSEDECISIONINFO decodeDefenseDecision(const std::uint8_t* b) {
    DEFENSEDECISIONINFO d;
    d.target = static_cast<std::int32_t>(le32(b));
    d.defender = static_cast<std::int32_t>(le32(b + 4));
    d.label[0] = static_cast<char>(b[8]);
    d.label[1] = static_cast<char>(b[9]);
    d.x = lef32(b + 12);
    d.y = lef32(b + 16);
    return d;
}

void encodePassDecision(const PASSDECISIONINFO& d, std::uint8_t* b) {
    putLe32(b, static_cast<std::uint32_t>(d.receiver));
    putLef32(b + 4, d.angle);
    putLef32(b + 8, d.ball_speed);
    putLef32(b + 12, d.target_x);
    putLef32(b + 16, d.target_y);
    putLef32(b + 20, d.success_rate);
    putLef32(b + 24, d.utility);
    putLef32(b + 28, d.gain);
}

void encodeInterceptDecision(const INTERCEPTDECISIONINFO& d, std::uint8_t* b) {
    putLef32(b, d.success_rate);
    putLef32(b + 4, d.utility);
    putLef32(b + 8, d.gain);
    putLef32(b + 12, d.point_x);
    putLef32(b + 16, d.point_y);
}

void encodeDefenseDecision(const DEFENSEDECISIONINFO& d, std::uint8_t* b) {
    putLe32(b, static_cast<std::uint32_t>(d.target));
    putLe32(b + 4, static_cast<std::uint32_t>(d.defender));
    b[8] = static_cast<std::uint8_t>(d.label[0]);
    b[9] = static_cast<std::uint8_t>(d.label[1]);
    b[10] = 0;
    b[11] = 0;
    putLef32(b + 12, d.x);
    putLef32(b + 16, d.y);
}

}  // namespace tessarin
