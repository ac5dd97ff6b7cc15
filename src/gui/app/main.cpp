// The windowed viewer, and its headless exports of one cycle to a PNG file and of a clip
// to a video file or an animated picture.

#include <unistd.h>
#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "TessarinVersion.h"
#include "app/CommandIds.h"
#include "app/MainFrm.h"
#include "app/Tessarin.h"
#include "export/PngExport.h"
#include "export/VideoExport.h"
#include "files/PathText.h"
#include "settings/Profile.h"

namespace {

// The arguments after the program name. File names keep their bytes, also those that
// are not UTF-8 (see pathText).
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << tessarin::pathText(argv[i]);
    return arguments;
}

// One line on stderr; the usage is for --help, not for every mistake.
int failure(const QString& error) {
    std::fprintf(stderr, "tessarin: %s\n", error.toLocal8Bit().constData());
    return 1;
}

int usageError(const QString& error) { return failure(error + QStringLiteral(" (tessarin --help shows the usage)")); }

// Set by Ctrl-C while a clip is written; the export stops between frames and removes
// what it wrote. A lock-free atomic is safe to store from a signal handler.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void requestStop(int) { stopRequested.store(true); }

// "frames done/total, time left" on one line of the terminal, a few times a second.
class TerminalProgress {
public:
    void operator()(int done, int total) {
        const auto now = std::chrono::steady_clock::now();
        if (done < total && now - shown_ < std::chrono::milliseconds(200)) return;
        shown_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double left = done > 0 ? elapsed * (total - done) / done : 0.0;
        std::fprintf(stderr, "\rframes %d/%d, %.0f s left   ", done, total, left);
        if (done == total) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_{};
};

int runVideoExport(const tessarin::ExportRequest& request, const tessarin::Profile& profile) {
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    tessarin::ClipProgress progress;
    if (::isatty(STDERR_FILENO) != 0) progress = TerminalProgress();
    const tessarin::ClipOutcome outcome = tessarin::exportVideo(request, profile, progress, stopRequested);
    switch (outcome.status) {
        case tessarin::ClipStatus::Written:
            return 0;
        case tessarin::ClipStatus::Stopped:
            std::fprintf(stderr, "\ntessarin: interrupted; %s was not written\n",
                         request.output.toLocal8Bit().constData());
            return 130;
        case tessarin::ClipStatus::Failed:
            break;
    }
    return failure(outcome.message);
}

int runExport(int argc, char** argv) {
    // No window is opened: without a platform of the user's choice, draw offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("OrvoCorvane"));
    QGuiApplication::setApplicationName(QStringLiteral("Tessarin"));
    QString error;
    const auto request = tessarin::parseExportArguments(argumentsOf(argc, argv), error);
    if (!request) return usageError(error);
    const tessarin::Profile profile;
    if (request->video) return runVideoExport(*request, profile);
    error = tessarin::exportPng(*request, profile);
    return error.isEmpty() ? 0 : failure(error);
}

}  // namespace

int main(int argc, char** argv) {
    const QStringList given = argumentsOf(argc, argv);
    if (tessarin::wantsExport(given)) return runExport(argc, argv);

    // Parsed before any application object exists: help, the version and a wrong option
    // are answered on the terminal without a connection to a display.
    QString error;
    const auto arguments = tessarin::parseViewerArguments(given, error);
    if (!arguments) return usageError(error);
    if (arguments->help) {
        std::fputs(tessarin::viewerUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (arguments->version) {
        std::printf("tessarin %s\n", tessarin::kVersion);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("OrvoCorvane"));
    QApplication::setApplicationName(QStringLiteral("Tessarin"));
    QApplication::setApplicationVersion(QString::fromLatin1(tessarin::kVersion));
    QApplication::setDesktopFileName(QString::fromLatin1(tessarin::kDesktopId));
    QApplication::setWindowIcon(tessarin::CTessarinApp::icon());
    // The frame decides when the program ends: its bar strip may be hidden while the
    // display's own window is the only one on screen.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString path = arguments->path;

    tessarin::Profile profile;
    tessarin::CTessarinApp tessarinApp(profile);
    std::optional<QPoint> at;
    if (arguments->at) at = QPoint(arguments->at->first, arguments->at->second);
    tessarinApp.InitInstance({}, at);
    // The model learns while a game loads: switch it on before the file is opened.
    if (arguments->opponentModel) tessarinApp.mainFrame()->onCommand(tessarin::cmd::kEnableOpponentModeling);
    if (!path.isEmpty()) tessarinApp.OpenDocumentFile(path);
    tessarinApp.mainFrame()->setQuitOnClose(true);
    return QApplication::exec();
}
