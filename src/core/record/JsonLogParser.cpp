#include "record/JsonLogParser.h"

#include <algorithm>
#include <cstring>

#include "record/ByteOrder.h"
#include "record/JsonElementScanner.h"
#include "record/JsonLogElement.h"
#include "record/LogFile.h"
#include "record/LogPlayer.h"
#include "record/TextLogParams.h"

namespace tessarin {

namespace {

std::string plural(std::size_t n, const char* word) { return std::to_string(n) + ' ' + word + (n == 1 ? "" : "s"); }

}  // namespace

CJsonLogParser::CJsonLogParser(LogPlayer& player)
    : CLogParser(player),
      scanner_(std::make_unique<JsonElementScanner>()),
      reader_(std::make_unique<JsonElementReader>()),
      element_(std::make_unique<JsonLogElement>()) {}

CJsonLogParser::~CJsonLogParser() = default;

bool CJsonLogParser::parse(LogFile& file, std::stop_token stop) {
    work_ = cycle_info_t{};
    work_.valid = 1;
    work_.kind = kShowRecord;
    opponentModelStarted_ = false;
    unknownElements_ = damagedElements_ = firstDamaged_ = replacedBytes_ = 0;
    firstDamage_.clear();
    RecordBatch batch(player_);
    JsonElementScanner& scanner = *scanner_;
    scanner.start(file, kOpening);

    const auto damaged = [&](std::string why) {
        if (damagedElements_++ == 0) {
            firstDamaged_ = scanner.index();
            firstDamage_ = std::move(why);
        }
    };
    bool cut = false;
    bool trailing = false;
    while (!stop.stop_requested() && !player_.overBudget()) {
        const JsonElementScanner::Step step = scanner.next();
        if (step == JsonElementScanner::Step::End) {
            trailing = scanner.trailingText();
            break;
        }
        if (step == JsonElementScanner::Step::Cut) {
            cut = true;
            if (scanner.cutElement()) noteTornRecord();
            break;
        }
        if (step == JsonElementScanner::Step::Damaged) {
            damaged(scanner.why());
            continue;
        }
        if (!reader_->read(scanner.element(), *element_)) {
            damaged(reader_->error());
            scanner.rejectElement();
            continue;
        }
        apply(*element_, batch);
    }
    batch.flush();
    replacedBytes_ = scanner.replacedBytes();
    if (stop.stop_requested()) return false;
    const std::string warning = summary(cut, scanner.cutElement(), trailing);
    if (!warning.empty()) player_.setLoadWarning(warning);
    player_.finishOpponentModel();
    if (player_.overBudget()) return false;
    // Text after the closing bracket is not this game's, so nothing of it was lost.
    return !cut && damagedElements_ == 0;
}

std::string CJsonLogParser::summary(bool cut, bool cutElement, bool trailing) const {
    std::string text;
    const auto add = [&](const std::string& part) {
        if (!text.empty()) text += "; ";
        text += part;
    };
    if (damagedElements_ > 0) {
        add("skipped " + plural(damagedElements_, "element") + " that could not be read (element " +
            std::to_string(firstDamaged_) + ": " + firstDamage_ + ")");
    }
    if (cut)
        add(cutElement ? "the log ends inside an element, which was dropped" : "the log ends before its closing ']'");
    if (trailing) add("ignored text after the log's closing ']'");
    if (unknownElements_ > 0) add("skipped " + plural(unknownElements_, "element") + " of an unknown kind");
    if (replacedBytes_ > 0) add("replaced " + plural(replacedBytes_, "byte") + " of text that were not UTF-8 with '?'");
    return text;
}

void CJsonLogParser::apply(const JsonLogElement& e, RecordBatch& batch) {
    std::uint8_t* data = work_.data.data();
    switch (e.kind) {
        case JsonLogElement::Kind::Show:
            applyShow(e, batch);
            break;
        case JsonLogElement::Kind::PlayMode:
            data[offsetof(show_info_t, playmode)] = static_cast<std::uint8_t>(e.playmode);
            break;
        case JsonLogElement::Kind::Team:
            for (std::size_t side = 0; side < 2; ++side) {
                if (!e.hasTeam[side]) continue;
                std::memcpy(data + offsetof(show_info_t, team) + side * sizeof(team_info_t), &e.teams[side],
                            sizeof(team_info_t));
            }
            break;
        case JsonLogElement::Kind::Message:
            applyMessage(e);
            break;
        case JsonLogElement::Kind::ServerParam: {
            server_param_t params = e.serverParams;
            deriveServerParams(params, e.seen[0] && e.seen[1], e.seen[0] && e.seen[2] && e.seen[3]);
            player_.setServerParameters(params);
            break;
        }
        case JsonLogElement::Kind::PlayerParam:
            player_.setPlayerParameters(e.playerParams);
            break;
        case JsonLogElement::Kind::PlayerType: {
            // The shows read so far are analysed with the types they were read with.
            batch.flush();
            player_type_t type;
            std::memcpy(&type, e.playerType.data(), sizeof type);
            player_.addPlayerType(type);
            break;
        }
        case JsonLogElement::Kind::TeamGraphic: {
            LogoTile tile = e.tile;
            player_.addLogoTile(e.logoSide, std::move(tile));
            break;
        }
        case JsonLogElement::Kind::Unknown:
            ++unknownElements_;
            break;
        default:
            break;
    }
}

void CJsonLogParser::applyShow(const JsonLogElement& e, RecordBatch& batch) {
    // The show body (ball and players) is replaced whole; play mode and teams carry over.
    std::copy(e.body.begin(), e.body.end(), work_.data.begin() + kShowBodyOffset);
    // The record keeps the cycle in 16 bits, as a version-3 log does; a longer game
    // wraps there, and the analysis counts on across the wrap.
    putBe16(work_.data.data() + offsetof(show_info_t, time), static_cast<std::uint16_t>(e.time & 0xffff));
    work_.cycle = static_cast<std::int16_t>(e.time);
    if (!opponentModelStarted_ && work_.data[offsetof(show_info_t, playmode)] == PM_PlayOn) {
        batch.flush();
        player_.startOpponentModel(work_.show());
        opponentModelStarted_ = true;
    }
    auto companion = std::make_shared<CycleCompanion>();
    companion->players = e.players;
    work_.companion = std::move(companion);
    batch.add(work_);
    work_.companion.reset();
    work_.messages.clear();
}

void CJsonLogParser::applyMessage(const JsonLogElement& e) {
    std::string_view text = e.message;
    text = text.substr(0, std::min(text.find('\0'), kMaxMessageLength));
    if (!text.starts_with(kReceivedPrefix)) return;
    // The text log writes a message on one line, its line breaks as spaces; so is it kept.
    const std::size_t from = work_.messages.size();
    work_.messages += text;
    std::replace(work_.messages.begin() + static_cast<std::ptrdiff_t>(from), work_.messages.end(), '\n', ' ');
    work_.messages += kMessageSeparator;
}

}  // namespace tessarin
