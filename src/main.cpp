// The windowed viewer, and its headless export of one cycle to a PNG file.

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

#include "CommandIds.h"
#include "MainFrm.h"
#include "Profile.h"
#include "Tessarin.h"
#include "display/PathText.h"
#include "display/PngExport.h"

namespace {

// The arguments after the program name. File names keep their bytes, also those that
// are not UTF-8 (see pathText).
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << tessarin::pathText(argv[i]);
    return arguments;
}

int usageError(const QString& error) {
    std::fprintf(stderr, "tessarin: %s\n%s", error.toLocal8Bit().constData(),
                 tessarin::viewerUsage().toLocal8Bit().constData());
    return 1;
}

int runExport(int argc, char** argv) {
    // No window is opened: without a platform of the user's choice, draw offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("OrvoCorvane"));
    QGuiApplication::setApplicationName(QStringLiteral("Tessarin"));
    QString error;
    const auto request = tessarin::parseExportArguments(argumentsOf(argc, argv), error);
    if (request) {
        const tessarin::Profile profile;
        error = tessarin::exportPng(*request, profile);
    }
    if (!error.isEmpty()) return usageError(error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (tessarin::wantsExport(argumentsOf(argc, argv))) return runExport(argc, argv);

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("OrvoCorvane"));
    QApplication::setApplicationName(QStringLiteral("Tessarin"));
    QApplication::setWindowIcon(tessarin::CTessarinApp::icon());
    // The frame decides when the program ends: its bar strip may be hidden while the
    // display's own window is the only one on screen.
    QApplication::setQuitOnLastWindowClosed(false);

    QString error;
    const auto arguments = tessarin::parseViewerArguments(argumentsOf(argc, argv), error);
    if (!arguments) return usageError(error);
    if (arguments->help) {
        std::fputs(tessarin::viewerUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    const QString path = arguments->path;

    tessarin::Profile profile;
    tessarin::CTessarinApp tessarinApp(profile);
    tessarinApp.InitInstance();
    // The model learns while a game loads: switch it on before the file is opened.
    if (arguments->opponentModel) tessarinApp.mainFrame()->onCommand(tessarin::cmd::kDebugOpponentModelOp);
    if (!path.isEmpty()) tessarinApp.OpenDocumentFile(path);
    tessarinApp.mainFrame()->setQuitOnClose(true);
    return QApplication::exec();
}
