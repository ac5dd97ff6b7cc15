#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "record/Companion.h"
#include "record/GameRecords.h"
#include "record/LogParser.h"
#include "record/RecordBatch.h"

namespace tessarin {

class JsonElementReader;
class JsonElementScanner;
struct JsonLogElement;

// Reads the JSON game log of the newer servers (one array of elements, see
// record/JsonLogElement.h) into the same records and companions that the text reader
// makes of the same game: play modes and teams carried into the following shows,
// messages attached to the next show, parameter blocks and player types by name, logo
// tiles. One element is read at a time. An element that cannot be read is skipped and
// counted, and reading goes on with the next; so are elements of an unknown kind. What
// was skipped, and a log that ends before its closing bracket, is said in one warning.
class CJsonLogParser final : public CLogParser {
public:
    explicit CJsonLogParser(LogPlayer& player);
    ~CJsonLogParser() override;

    // What reading the header took of the log: its opening bracket and the start of its
    // first element, '{"version"'.
    static constexpr std::string_view kOpening = "{\"version\"";

    bool parse(LogFile& file, std::stop_token stop) override;

private:
    // Applies an element that was read whole to the game.
    void apply(const JsonLogElement& element, RecordBatch& batch);
    void applyShow(const JsonLogElement& element, RecordBatch& batch);
    void applyMessage(const JsonLogElement& element);
    std::string summary(bool cut, bool cutElement, bool trailing) const;

    // Kept between loads. The parse of one element is behind a pointer, so that
    // nlohmann-json stays out of this header.
    std::unique_ptr<JsonElementScanner> scanner_;
    std::unique_ptr<JsonElementReader> reader_;
    std::unique_ptr<JsonLogElement> element_;
    cycle_info_t work_;
    bool opponentModelStarted_ = false;
    std::size_t unknownElements_ = 0;
    std::size_t damagedElements_ = 0;
    std::size_t firstDamaged_ = 0;  // ordinal of the first damaged element
    std::string firstDamage_;       // and what was wrong with it
    std::size_t replacedBytes_ = 0;
};

}  // namespace tessarin
