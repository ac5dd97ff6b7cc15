#pragma once

// The viewer's command line, and its headless export of one cycle of a game file as the
// display draws it:
//   tessarin [FILE]
//   tessarin --help | --version
//   tessarin --export-png OUT.png [--cycle N] [--size WxH] [--select K]
//            [--option NAME=VALUE]... [--present MODE] [--circle]
//            [--debug-logs DIR [--debug-level all|NAME[,NAME...]]] FILE
//   tessarin --export-video OUT [--from N] [--to M] [--speed X] [--fps F] and the
//            drawing options of --export-png, FILE

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tessarin {

class LogPlayer;
class Profile;
struct ClipLook;
struct ClipSnapshot;
struct DisplayOptions;

struct ExportRequest {
    QString output;
    QString input;
    std::optional<int> cycle;  // the first record when not given
    int width = 800;
    int height = 600;
    // A clip (--export-video) in place of one picture: its cycles (the whole game when
    // not given), the speed (times real time) and the frames a second.
    bool video = false;
    std::optional<int> from;
    std::optional<int> to;
    double speed = 1.0;
    int fps = 30;
    std::optional<int> select;  // the selection index; the display's start value when not given
    // Display options that replace the stored ones for this export, in the order given.
    std::vector<std::pair<QString, double>> options;
    // The present overlay (0 none .. 5 the selected object's track) and the 9.15 m circle.
    int present = 0;
    bool circle = false;
    // A folder of players' debug logs: the selected player's drawings of the cycle are
    // drawn, those of the levels chosen (every level by default).
    QString debugLogs;
    std::uint32_t debugLevels = 0xffffffffu;
};

// What the viewer was asked to do: open a game (or nothing), export a PNG or a clip, or print its
// help or version.
struct ViewerArguments {
    QString path;
    std::optional<ExportRequest> exportRequest;
    bool help = false;
    bool version = false;
    // --opponent-model: the opponent model learns from the start (the viewer only).
    bool opponentModel = false;
    // --at X,Y: where the main frame opens (a new instance opens beside the first).
    std::optional<std::pair<int, int>> at;
};

// Largest exported side, in pixels.
inline constexpr int kMaxExportSide = 8192;
// Range of PlayerScale accepted on the command line: every value the enlarge and reduce
// steps reach.
inline constexpr double kMinOptionPlayerScale = 0.5;
inline constexpr double kMaxOptionPlayerScale = 5.5;

// Whether the arguments (without the program name) ask for an export, of a picture or a clip.
bool wantsExport(const QStringList& arguments);
// The viewer's arguments (without the program name), or an error message in `error`.
std::optional<ViewerArguments> parseViewerArguments(const QStringList& arguments, QString& error);
// The export the arguments (without the program name) describe, or an error in `error`.
std::optional<ExportRequest> parseExportArguments(const QStringList& arguments, QString& error);
// The usage text printed with an error or for --help.
QString viewerUsage();
// Sets the display option `name` ("Number" ... "DefenseInfo" and "SmoothDrawing" 0 or 1,
// "PlayerScale" a number); false with a message in `error` for an unknown name or a bad value.
bool setDisplayOption(DisplayOptions& options, const QString& name, double value, QString& error);
// Loads the file, draws the cycle with the options stored in `profile` (and those of the
// request over them) and writes the PNG; a version-2 sight record is drawn with the
// decisions of its cycle, read from the decision files beside the log. With a folder of
// debug logs, the selected player's log there (found by the game's team names) adds
// its drawings of the cycle; a selection that is no player, or a player without a log,
// is an error. When the pass
// course or a present overlay is drawn, the whole game is analysed first, and the pass
// course is the one that playing from the first record up to the cycle would have drawn.
// Returns an empty text on success, else what went wrong.
QString exportPng(const ExportRequest& request, const Profile& profile);
// The stored display options with the request's over them; an empty text, or what is wrong.
QString exportOptions(const ExportRequest& request, const Profile& profile, DisplayOptions& options);
// Loads the request's game into `player` (waiting for the whole file) within the record
// budget stored in `profile`; an empty text, or what went wrong. An output that is the
// game file itself is refused before anything is read.
QString loadExportGame(const ExportRequest& request, const Profile& profile, LogPlayer& player);
// How an export draws: `options` with the request's selection, overlays and size.
ClipLook exportLook(const ExportRequest& request, const DisplayOptions& options);
// With a folder of debug logs in the request, has the snapshot draw the selected
// player's log there (named after the team the snapshot's header shows). An empty text,
// or what is wrong: a selection that is no player, a player without a log.
QString addExportDebugLogs(const ExportRequest& request, ClipSnapshot& snapshot);

}  // namespace tessarin
