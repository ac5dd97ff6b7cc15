#pragma once

// Headless export of one cycle of a game file as the display draws it:
//   tessarin --export-png OUT.png [--cycle N] [--size WxH] FILE

#include <QString>
#include <QStringList>
#include <optional>

namespace tessarin {

class Profile;

struct ExportRequest {
    QString output;
    QString input;
    std::optional<int> cycle;  // the first record when not given
    int width = 800;
    int height = 600;
};

// Largest exported side, in pixels.
inline constexpr int kMaxExportSide = 8192;

// Whether the arguments (without the program name) ask for an export.
bool wantsExport(const QStringList& arguments);
// The request the arguments describe, or an error message in `error`.
std::optional<ExportRequest> parseExportArguments(const QStringList& arguments, QString& error);
// Loads the file, draws the cycle with the options stored in `profile` and writes the
// PNG. Returns an empty text on success, else what went wrong.
QString exportPng(const ExportRequest& request, const Profile& profile);

}  // namespace tessarin
