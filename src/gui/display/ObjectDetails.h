#pragma once

// The texts of the object details window: eleven rows of two columns and the received
// messages of the selected player, for the current record and selection. Rows 10 and 11
// hold what a newer log tells beyond the show record (capacity, card, tackles, foul).

#include <array>
#include <string>

#include "display/FieldScene.h"

namespace tessarin {

inline constexpr int kDetailRows = 11;
inline constexpr const char* kNotAvailable = "N/A";

struct DetailTexts {
    // [row][column]: rows 1..9 top to bottom as 0..8, column 0 left (L), 1 right (R).
    std::array<std::array<std::string, 2>, kDetailRows> lines;
    // Starts with "N/A"; each message found is added after "\r\n".
    std::string messages = kNotAvailable;

    DetailTexts();
};

// The texts for the current record of `scene` and its selection; none without a record.
// `selected` is read from the scene.
std::optional<DetailTexts> detailTexts(const FieldScene& scene);

// The selected player's received messages: every text that follows "Recv NAME_N: " in
// `messages`, from its opening parenthesis up to the next line feed, message separator
// or the end, with numbers shortened to two decimals, each after "\r\n".
std::string receivedMessages(const std::string& messages, const std::string& team, int number);

}  // namespace tessarin
