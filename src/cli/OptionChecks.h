#pragma once

// Checks of the numbers given to options. Each returns an empty text for a good value,
// otherwise why it is refused, with its bounds written as people write them.

#include <string>

namespace tessarin::cli {

// A finite number of seconds above 0 and at most `highest`.
std::string checkPositiveSeconds(const std::string& text, double highest);
// A finite number of seconds from 0 to `highest`.
std::string checkSecondsFromZero(const std::string& text, double highest);
// A whole number from `lowest` to `highest`.
std::string checkCount(const std::string& text, long long lowest, long long highest);

}  // namespace tessarin::cli
