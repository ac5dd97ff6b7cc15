#include "display/PngExport.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <cstring>

#include "Profile.h"
#include "display/DisplayOptions.h"
#include "display/FieldRenderer.h"
#include "display/FieldScene.h"
#include "record/LogPlayer.h"

namespace tessarin {

namespace {

const QString kExportOption = QStringLiteral("--export-png");

// The log player's host for a load without windows.
using HeadlessHost = NullPlaybackHost;

}  // namespace

bool wantsExport(const QStringList& arguments) { return arguments.contains(kExportOption); }

std::optional<ExportRequest> parseExportArguments(const QStringList& arguments, QString& error) {
    ExportRequest request;
    bool haveOutput = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (arg == kExportOption || arg == QStringLiteral("--cycle") || arg == QStringLiteral("--size")) {
            if (!hasValue) {
                error = QStringLiteral("%1 needs a value").arg(arg);
                return std::nullopt;
            }
            const QString value = arguments[++i];
            if (arg == kExportOption) {
                request.output = value;
                haveOutput = true;
            } else if (arg == QStringLiteral("--cycle")) {
                bool ok = false;
                const int cycle = value.toInt(&ok);
                if (!ok || cycle < -32768 || cycle > 32767) {
                    error = QStringLiteral("--cycle: not a cycle number: %1").arg(value);
                    return std::nullopt;
                }
                request.cycle = cycle;
            } else {
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
                    return std::nullopt;
                }
                request.width = w;
                request.height = h;
            }
        } else if (arg.startsWith(QStringLiteral("--"))) {
            error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        } else if (request.input.isEmpty()) {
            request.input = arg;
        } else {
            error = QStringLiteral("more than one game file given");
            return std::nullopt;
        }
    }
    if (!haveOutput || request.output.isEmpty()) {
        error = QStringLiteral("--export-png needs an output file");
        return std::nullopt;
    }
    if (request.input.isEmpty()) {
        error = QStringLiteral("no game file given");
        return std::nullopt;
    }
    return request;
}

QString exportPng(const ExportRequest& request, const Profile& profile) {
    HeadlessHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, QFile::encodeName(request.input).toStdString());
    switch (player.loadOutcome()) {
        case LoadOutcome::CannotOpen:
            return QStringLiteral("cannot open %1: %2")
                .arg(request.input, QString::fromLocal8Bit(std::strerror(player.loadError())));
        case LoadOutcome::Empty:
            return QStringLiteral("%1 is empty").arg(request.input);
        case LoadOutcome::UnknownFormat:
            return QStringLiteral("%1 is not a game log (version 3) or sight log").arg(request.input);
        default:
            break;
    }
    player.waitForParser();
    if (player.size() == 0) return QStringLiteral("%1 holds no records").arg(request.input);

    std::size_t index = 0;
    if (request.cycle) {
        index = player.find(*request.cycle);
    }
    const cycle_info_t record =
        player.withStore([&](const std::vector<cycle_info_t>& frames) { return frames[index]; });
    if (request.cycle && record.cycle != *request.cycle) {
        return QStringLiteral("%1 has no cycle %2 (its cycles run from %3 to %4)")
            .arg(request.input)
            .arg(*request.cycle)
            .arg(player.first_cycle())
            .arg(player.last_cycle());
    }

    FieldScene scene;
    scene.setCurrent(record);
    scene.setPlayerTypes(player.player_types(), player.ball_size());
    const DisplayOptions options = loadDisplayOptions(profile);
    const QImage image = renderField(scene, options, request.width, request.height);
    if (!image.save(request.output, "PNG")) return QStringLiteral("cannot write %1").arg(request.output);
    return {};
}

}  // namespace tessarin
