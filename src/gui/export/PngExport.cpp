#include "export/PngExport.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QImage>
#include <QRegularExpression>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string_view>

#include "agentlog/AgentLogSet.h"
#include "agentlog/Levels.h"
#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "display/DisplayOptions.h"
#include "display/FieldRenderer.h"
#include "display/FieldScene.h"
#include "display/OverlayGeometry.h"
#include "display/OverlayPainter.h"
#include "display/OverlaySources.h"
#include "export/ClipSource.h"
#include "export/VideoExport.h"
#include "files/PathText.h"
#include "record/AtomicFile.h"
#include "record/LoadFailure.h"
#include "record/LogPlayer.h"
#include "settings/Profile.h"

namespace tessarin {

namespace {

const QString kExportOption = QStringLiteral("--export-png");
const QString kVideoOption = QStringLiteral("--export-video");

// The log player's host for a load without windows. Its answer to the jump question
// moves the playback position to the exported cycle, so that the decisions read for it
// are that cycle's, as the viewer's are for the cycle it shows.
class HeadlessHost final : public NullPlaybackHost {
public:
    std::optional<int> askJumpCycle(int, int, int) override { return jumpTo; }
    std::optional<int> jumpTo;
};

// The flag of a display option by its name in the settings, or none.
bool* optionFlag(DisplayOptions& options, const QString& name) {
    const std::pair<const char*, bool DisplayOptions::*> flags[] = {
        {"Number", &DisplayOptions::Number},
        {"Kickmargin", &DisplayOptions::Kickmargin},
        {"Viewarea", &DisplayOptions::Viewarea},
        {"Velocity", &DisplayOptions::Velocity},
        {"Stamina", &DisplayOptions::Stamina},
        {"OffsideLine", &DisplayOptions::OffsideLine},
        {"BallDetail", &DisplayOptions::BallDetail},
        {"ControlArea", &DisplayOptions::ControlArea},
        {"ControlCourse", &DisplayOptions::ControlCourse},
        {"PassInfo", &DisplayOptions::PassInfo},
        {"DribbleInfo", &DisplayOptions::DribbleInfo},
        {"InterceptInfo", &DisplayOptions::InterceptInfo},
        {"DefenseInfo", &DisplayOptions::DefenseInfo},
        {"SmoothDrawing", &DisplayOptions::SmoothDrawing},
    };
    for (const auto& [text, member] : flags) {
        if (name == QLatin1StringView(text)) return &(options.*member);
    }
    return nullptr;
}

}  // namespace

bool wantsExport(const QStringList& arguments) {
    for (const QString& arg : arguments) {
        for (const QString& option : {kExportOption, kVideoOption}) {
            if (arg == option || arg.startsWith(option + QLatin1Char('='))) return true;
        }
    }
    return false;
}

QString viewerUsage() {
    return QStringLiteral(
        "usage: tessarin [--opponent-model] [--at X,Y] [FILE]\n"
        "       tessarin --export-png OUT.png [--cycle N] [--size WxH] [--select K] [--option NAME=VALUE]...\n"
        "                [--present MODE] [--circle] [--debug-logs DIR [--debug-level all|NAME[,NAME...]]] FILE\n"
        "       tessarin --export-video OUT.mp4|OUT.webm|OUT.gif [--from N] [--to M] [--speed X] [--fps F]\n"
        "                [--size WxH] [--select K] [--option NAME=VALUE]... [--present MODE] [--circle]\n"
        "                [--debug-logs DIR [--debug-level all|NAME[,NAME...]]] FILE\n"
        "       tessarin --help | --version\n"
        "FILE is a game log (.rcg) or sight log (.slg, .slh), plain or gzip-compressed.\n"
        "NAME is one of Number, Kickmargin, Viewarea, Velocity, Stamina, OffsideLine, BallDetail, ControlArea,\n"
        "ControlCourse, PassInfo, DribbleInfo, InterceptInfo, DefenseInfo, SmoothDrawing (VALUE 0 or 1)\n"
        "or PlayerScale (a number)\n"
        "MODE is the present overlay of the selected object: 0 none, 1 shots, 2 dribbles, 3 passes,\n"
        "4 interceptions, 5 its whole track\n"
        "A clip runs from the first record of cycle N to the last of cycle M (the whole game by default) at X\n"
        "times real time (default 1: ten cycles a second) and F frames a second (default 30), 1280x720 by default\n"
        "DIR holds the players' debug logs (TEAM-UNUM.log, plain or .gz): the selected player's drawings\n"
        "of each cycle are drawn, of the topics named as the base library names them (pass, world, ...)\n");
}

bool setDisplayOption(DisplayOptions& options, const QString& name, double value, QString& error) {
    if (name == QStringLiteral("PlayerScale")) {
        if (!std::isfinite(value) || value < kMinOptionPlayerScale || value > kMaxOptionPlayerScale) {
            error = QStringLiteral("--option PlayerScale: expected a number from %1 to %2")
                        .arg(kMinOptionPlayerScale)
                        .arg(kMaxOptionPlayerScale);
            return false;
        }
        options.PlayerScale = value;
        return true;
    }
    bool* const flag = optionFlag(options, name);
    if (!flag) {
        error = QStringLiteral("--option: unknown option name %1").arg(name);
        return false;
    }
    if (value != 0.0 && value != 1.0) {
        error = QStringLiteral("--option %1: expected 0 or 1").arg(name);
        return false;
    }
    *flag = value == 1.0;
    return true;
}

namespace {

// A cycle number as the store keeps it (16 bits, signed).
std::optional<int> cycleValue(const QString& value) {
    bool ok = false;
    const int cycle = value.toInt(&ok);
    if (!ok || cycle < -32768 || cycle > 32767) return std::nullopt;
    return cycle;
}

// --from, --to, --speed and --fps of a clip, and the output's extension.
bool parseClipArguments(const QCommandLineParser& parser, const std::array<QCommandLineOption, 4>& clip,
                        ExportRequest& request, QString& error) {
    const auto& [fromOption, toOption, speedOption, fpsOption] = clip;
    if (!clipFormatOf(request.output)) {
        error = QStringLiteral("--export-video: %1 must end in .mp4, .webm or .gif").arg(request.output);
        return false;
    }
    for (const auto& [option, target] : {std::pair{&fromOption, &request.from}, std::pair{&toOption, &request.to}}) {
        if (!parser.isSet(*option)) continue;
        const QString value = parser.values(*option).back();
        *target = cycleValue(value);
        if (!*target) {
            error = QStringLiteral("--%1: not a cycle number: %2").arg(option->names().front(), value);
            return false;
        }
    }
    if (request.from && request.to && *request.to < *request.from) {
        error = QStringLiteral("--to %1 is before --from %2").arg(*request.to).arg(*request.from);
        return false;
    }
    if (parser.isSet(speedOption)) {
        const QString value = parser.values(speedOption).back();
        bool ok = false;
        request.speed = value.toDouble(&ok);
        if (!ok || !std::isfinite(request.speed) || request.speed < kMinClipSpeed || request.speed > kMaxClipSpeed) {
            error = QStringLiteral("--speed: expected a number from %1 to %2, got %3")
                        .arg(kMinClipSpeed)
                        .arg(kMaxClipSpeed)
                        .arg(value);
            return false;
        }
    }
    if (parser.isSet(fpsOption)) {
        const QString value = parser.values(fpsOption).back();
        bool ok = false;
        request.fps = value.toInt(&ok);
        if (!ok || request.fps < 1 || request.fps > kMaxClipFps) {
            error = QStringLiteral("--fps: expected frames a second from 1 to %1, got %2").arg(kMaxClipFps).arg(value);
            return false;
        }
    }
    return true;
}

// --size, and for a video the even sides its colour format needs.
bool parseSizeArgument(const QCommandLineParser& parser, const QCommandLineOption& sizeOption, ExportRequest& request,
                       QString& error) {
    if (parser.isSet(sizeOption)) {
        const QString value = parser.values(sizeOption).back();
        static const QRegularExpression size(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
        const auto match = size.match(value);
        const int w = match.hasMatch() ? match.captured(1).toInt() : 0;
        const int h = match.hasMatch() ? match.captured(2).toInt() : 0;
        if (w < kMinPaintWidth || h < kMinPaintHeight || w > kMaxExportSide || h > kMaxExportSide) {
            error = QStringLiteral("--size: expected WxH from %1x%2 to %3x%3, got %4")
                        .arg(kMinPaintWidth)
                        .arg(kMinPaintHeight)
                        .arg(kMaxExportSide)
                        .arg(value);
            return false;
        }
        request.width = w;
        request.height = h;
    }
    if (request.video && clipFormatOf(request.output) != ClipFormat::Gif &&
        (request.width % 2 != 0 || request.height % 2 != 0)) {
        error = QStringLiteral("--size: a video needs an even width and height, got %1x%2")
                    .arg(request.width)
                    .arg(request.height);
        return false;
    }
    return true;
}

// --select and --present.
bool parseSelectionArguments(const QCommandLineParser& parser, const QCommandLineOption& selectOption,
                             const QCommandLineOption& presentOption, ExportRequest& request, QString& error) {
    if (parser.isSet(selectOption)) {
        const QString value = parser.values(selectOption).back();
        bool ok = false;
        const int index = value.toInt(&ok);
        if (!ok || index < 0 || index > kSelectNothing) {
            error = QStringLiteral("--select: expected an index from 0 to %1, got %2").arg(kSelectNothing).arg(value);
            return false;
        }
        request.select = index;
    }
    if (parser.isSet(presentOption)) {
        const QString value = parser.values(presentOption).back();
        bool ok = false;
        const int mode = value.toInt(&ok);
        if (!ok || mode < 0 || mode >= kPresentModeCount) {
            error =
                QStringLiteral("--present: expected a mode from 0 to %1, got %2").arg(kPresentModeCount - 1).arg(value);
            return false;
        }
        request.present = mode;
    }
    return true;
}

// --debug-logs and --debug-level.
bool parseDebugLogArguments(const QCommandLineParser& parser, const QCommandLineOption& debugLogsOption,
                            const QCommandLineOption& debugLevelOption, ExportRequest& request, QString& error) {
    if (parser.isSet(debugLogsOption)) {
        request.debugLogs = parser.values(debugLogsOption).back();
        if (request.debugLogs.isEmpty()) {
            error = QStringLiteral("--debug-logs needs a folder");
            return false;
        }
    }
    if (parser.isSet(debugLevelOption)) {
        const QString value = parser.values(debugLevelOption).back();
        if (request.debugLogs.isEmpty()) {
            error = QStringLiteral("--debug-level is used only with --debug-logs");
            return false;
        }
        const auto levels = agentlog::parseLevelList(value.toStdString());
        if (!levels) {
            QStringList names;
            for (int bit = 0; bit < 32; ++bit) names << QString::fromUtf8(agentlog::levelName(bit).data());
            error = QStringLiteral("--debug-level: expected all or names from %1, got %2")
                        .arg(names.join(QLatin1Char(',')), value);
            return false;
        }
        request.debugLevels = *levels;
    }
    return true;
}

// Every --option NAME=VALUE, checked here and applied over the stored options later.
bool parseDisplayOptionArguments(const QCommandLineParser& parser, const QCommandLineOption& displayOption,
                                 ExportRequest& request, QString& error) {
    DisplayOptions check;
    for (const QString& setting : parser.values(displayOption)) {
        const qsizetype equals = setting.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? setting : setting.left(equals);
        const QString text = equals < 0 ? QString() : setting.mid(equals + 1);
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (equals < 0 || !ok) {
            error = QStringLiteral("--option: expected NAME=VALUE with a number, got %1").arg(setting);
            return false;
        }
        if (name != QStringLiteral("PlayerScale") && text != QStringLiteral("0") && text != QStringLiteral("1")) {
            error = QStringLiteral("--option %1: expected 0 or 1, got %2").arg(name, text);
            if (!optionFlag(check, name)) error = QStringLiteral("--option: unknown option name %1").arg(name);
            return false;
        }
        if (!setDisplayOption(check, name, value, error)) return false;
        request.options.emplace_back(name, value);
    }
    return true;
}

}  // namespace

std::optional<ViewerArguments> parseViewerArguments(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption exportOption(QStringLiteral("export-png"), QString(), QStringLiteral("OUT.png"));
    const QCommandLineOption cycleOption(QStringLiteral("cycle"), QString(), QStringLiteral("N"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QString(), QStringLiteral("WxH"));
    const QCommandLineOption selectOption(QStringLiteral("select"), QString(), QStringLiteral("K"));
    const QCommandLineOption displayOption(QStringLiteral("option"), QString(), QStringLiteral("NAME=VALUE"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption modelOption(QStringLiteral("opponent-model"));
    const QCommandLineOption versionOption(QStringLiteral("version"));
    const QCommandLineOption atOption(QStringLiteral("at"), QString(), QStringLiteral("X,Y"));
    const QCommandLineOption presentOption(QStringLiteral("present"), QString(), QStringLiteral("MODE"));
    const QCommandLineOption circleOption(QStringLiteral("circle"));
    const QCommandLineOption videoOption(QStringLiteral("export-video"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption fromOption(QStringLiteral("from"), QString(), QStringLiteral("N"));
    const QCommandLineOption toOption(QStringLiteral("to"), QString(), QStringLiteral("M"));
    const QCommandLineOption speedOption(QStringLiteral("speed"), QString(), QStringLiteral("X"));
    const QCommandLineOption fpsOption(QStringLiteral("fps"), QString(), QStringLiteral("F"));
    const QCommandLineOption debugLogsOption(QStringLiteral("debug-logs"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption debugLevelOption(QStringLiteral("debug-level"), QString(), QStringLiteral("LEVELS"));
    parser.addOptions({exportOption, cycleOption, sizeOption, selectOption, displayOption, helpOption, modelOption,
                       versionOption, atOption, presentOption, circleOption, videoOption, fromOption, toOption,
                       speedOption, fpsOption, debugLogsOption, debugLevelOption});
    parser.addPositionalArgument(QStringLiteral("FILE"), QString());
    if (!parser.parse(QStringList{QStringLiteral("tessarin")} + arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    ViewerArguments result;
    if (parser.isSet(helpOption)) {
        result.help = true;
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.version = true;
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        error = QStringLiteral("more than one game file given");
        return std::nullopt;
    }
    if (!files.isEmpty()) result.path = files.front();
    result.opponentModel = parser.isSet(modelOption);
    if (parser.isSet(atOption)) {
        const QString value = parser.values(atOption).back();
        static const QRegularExpression point(QStringLiteral("^(-?\\d{1,5}),(-?\\d{1,5})$"));
        const auto match = point.match(value);
        if (!match.hasMatch()) {
            error = QStringLiteral("--at: expected X,Y, got %1").arg(value);
            return std::nullopt;
        }
        result.at = std::pair{match.captured(1).toInt(), match.captured(2).toInt()};
    }
    const bool video = parser.isSet(videoOption);
    if (video && parser.isSet(exportOption)) {
        error = QStringLiteral("--export-png and --export-video cannot be used together");
        return std::nullopt;
    }
    if (!video && !parser.isSet(exportOption)) {
        for (const auto* only :
             {&cycleOption, &sizeOption, &selectOption, &displayOption, &presentOption, &circleOption, &debugLogsOption,
              &debugLevelOption, &fromOption, &toOption, &speedOption, &fpsOption}) {
            if (parser.isSet(*only)) {
                error =
                    QStringLiteral("--%1 is used only with --export-png or --export-video").arg(only->names().front());
                return std::nullopt;
            }
        }
        return result;
    }
    const std::vector<const QCommandLineOption*> otherKind =
        video ? std::vector<const QCommandLineOption*>{&cycleOption}
              : std::vector<const QCommandLineOption*>{&fromOption, &toOption, &speedOption, &fpsOption};
    for (const auto* only : otherKind) {
        if (parser.isSet(*only)) {
            error = QStringLiteral("--%1 is used only with %2")
                        .arg(only->names().front(), video ? kExportOption : kVideoOption);
            return std::nullopt;
        }
    }

    ExportRequest request;
    request.video = video;
    request.output = parser.values(video ? videoOption : exportOption).back();
    request.input = result.path;
    if (video) {
        request.width = 1280;
        request.height = 720;
    }
    if (request.output.isEmpty()) {
        error = QStringLiteral("%1 needs an output file").arg(video ? kVideoOption : kExportOption);
        return std::nullopt;
    }
    if (video && !parseClipArguments(parser, {fromOption, toOption, speedOption, fpsOption}, request, error)) {
        return std::nullopt;
    }
    if (request.input.isEmpty()) {
        error = QStringLiteral("no game file given");
        return std::nullopt;
    }
    if (parser.isSet(cycleOption)) {
        const QString value = parser.values(cycleOption).back();
        request.cycle = cycleValue(value);
        if (!request.cycle) {
            error = QStringLiteral("--cycle: not a cycle number: %1").arg(value);
            return std::nullopt;
        }
    }
    if (!parseSizeArgument(parser, sizeOption, request, error)) return std::nullopt;
    if (!parseSelectionArguments(parser, selectOption, presentOption, request, error)) return std::nullopt;
    request.circle = parser.isSet(circleOption);
    if (!parseDebugLogArguments(parser, debugLogsOption, debugLevelOption, request, error)) return std::nullopt;
    if (!parseDisplayOptionArguments(parser, displayOption, request, error)) return std::nullopt;
    result.exportRequest = std::move(request);
    return result;
}

std::optional<ExportRequest> parseExportArguments(const QStringList& arguments, QString& error) {
    auto parsed = parseViewerArguments(arguments, error);
    if (!parsed) return std::nullopt;
    if (!parsed->exportRequest) {
        error = QStringLiteral("--export-png needs an output file");
        return std::nullopt;
    }
    return std::move(parsed->exportRequest);
}

namespace {

// Names the cycles nearest to a missing one: the server logs no show at some cycles
// (half time, for one), so the user is told where to look instead.
QString missingCycleText(const LogPlayer& player, const ExportRequest& request) {
    const int wanted = *request.cycle;
    const auto [below, above] = player.withStore([wanted](const std::vector<cycle_info_t>& frames) {
        std::optional<int> lower;
        std::optional<int> upper;
        for (const cycle_info_t& frame : frames) {
            if (frame.cycle < wanted && (!lower || frame.cycle > *lower)) lower = frame.cycle;
            if (frame.cycle > wanted && (!upper || frame.cycle < *upper)) upper = frame.cycle;
        }
        return std::pair{lower, upper};
    });
    QString nearest;
    if (below && above) {
        nearest = QStringLiteral("the nearest are %1 and %2").arg(*below).arg(*above);
    } else if (below || above) {
        nearest = QStringLiteral("the nearest is %1").arg(below ? *below : *above);
    }
    return QStringLiteral("%1 has no cycle %2: %3 (its cycles run from %4 to %5)")
        .arg(request.input)
        .arg(wanted)
        .arg(nearest)
        .arg(player.first_cycle())
        .arg(player.last_cycle());
}

}  // namespace

ClipLook exportLook(const ExportRequest& request, const DisplayOptions& options) {
    ClipLook look;
    look.options = options;
    if (request.select) look.selected = *request.select;
    look.drawCircle = request.circle;
    look.present = request.present;
    look.width = request.width;
    look.height = request.height;
    return look;
}

QString addExportDebugLogs(const ExportRequest& request, ClipSnapshot& snapshot) {
    if (request.debugLogs.isEmpty()) return {};
    const int selected = snapshot.look.selected;
    if (selected < 0 || selected > 21) return QStringLiteral("--debug-logs: choose a player with --select 0..21");
    const auto [leftTeam, rightTeam] = clipTeamNames(snapshot);
    agentlog::AgentLogSet logs;
    logs.setEntries(agentlog::listLogFolder(pathBytes(request.debugLogs), leftTeam, rightTeam));
    const int entry = logs.entryOfSelection(selected);
    if (entry < 0) {
        const bool left = selected < 11;
        const int unum = left ? selected + 1 : selected - 10;
        return QStringLiteral("%1 holds no debug log of %2 player %3 (%4-%3.log)")
            .arg(request.debugLogs, QLatin1StringView(left ? "left" : "right"))
            .arg(unum)
            .arg(QString::fromStdString(left ? leftTeam : rightTeam));
    }
    snapshot.look.debugLogs.logs = {logs.entries()[static_cast<std::size_t>(entry)]};
    snapshot.look.debugLogs.levels = request.debugLevels;
    return {};
}

QString exportOptions(const ExportRequest& request, const Profile& profile, DisplayOptions& options) {
    options = loadDisplayOptions(profile);
    QString error;
    for (const auto& [name, value] : request.options) {
        if (!setDisplayOption(options, name, value, error)) return error;
    }
    return {};
}

QString loadExportGame(const ExportRequest& request, const Profile& profile, LogPlayer& player) {
    if (sameFile(pathBytes(request.input), pathBytes(request.output))) {
        return QStringLiteral("%1 is the file being read: refusing to write over it").arg(request.output);
    }
    StoreBudget budget;
    const int maxRecords =
        profile.readInt(QStringLiteral("MainFrame"), QStringLiteral("MaxRecords"), int{StoreBudget::kDefaultRecords});
    if (maxRecords > 0) budget.records = static_cast<std::size_t>(maxRecords);
    player.setBudget(budget);
    player.command(kCmdLoad, pathBytes(request.input));
    if (const auto failure = loadFailureText(player, request.input.toStdString())) {
        return QString::fromStdString(*failure);
    }
    player.waitForParser();
    if (player.size() == 0) return QStringLiteral("%1 holds no records").arg(request.input);
    return {};
}

QString exportPng(const ExportRequest& request, const Profile& profile) {
    DisplayOptions options;
    if (QString error = exportOptions(request, profile, options); !error.isEmpty()) return error;
    // The pass course and the present overlays read the analysis of the whole game.
    const bool analyse = options.ControlCourse || request.present != kPresentClear;
    BehaviorAnalyzer analyzer;
    GameAnalysis analysis(analyzer, nullptr);
    HeadlessHost host;
    LogPlayer player(host, analyse ? &analysis : nullptr);
    if (QString error = loadExportGame(request, profile, player); !error.isEmpty()) return error;

    if (request.cycle) {
        host.jumpTo = *request.cycle;
        player.command(kCmdJump);
    }
    const std::optional<cycle_info_t> current = player.current();
    if (!current) return QStringLiteral("%1 holds no records").arg(request.input);
    const std::size_t index = player.index();
    if (request.cycle && current->cycle != *request.cycle) return missingCycleText(player, request);

    ClipSnapshot snapshot =
        takeClipSnapshot(player, analyse ? &analyzer : nullptr, ClipRange{index, index}, exportLook(request, options));
    if (QString debugError = addExportDebugLogs(request, snapshot); !debugError.isEmpty()) return debugError;
    ClipPainter painter(snapshot);
    if (!painter.failure().isEmpty()) return painter.failure();
    const QImage image = painter.draw(0);
    // Encoded in memory first, then written beside the target and renamed over it, so
    // that a failed write never leaves a cut-off image in place of an old one.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return QStringLiteral("cannot encode the image of %1").arg(request.input);
    int writeError = 0;
    const std::string_view bytes(png.constData(), static_cast<std::size_t>(png.size()));
    if (!writeFileAtomically(pathBytes(request.output), bytes, &writeError)) {
        return QStringLiteral("cannot write %1: %2")
            .arg(request.output, QString::fromLocal8Bit(std::strerror(writeError != 0 ? writeError : EIO)));
    }
    return {};
}

}  // namespace tessarin
