#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "base/image_io.h"
#include "base/temp_files.h"
#include "ui/main_window.h"
#include "ui/modal_ui.h"

namespace {

// What the command line asks for before any window exists.
enum class Request { Edit, Help, Version, Error };

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Qt's own options with a value, which QApplication takes off the command line itself: the
// parser must know them so that their values are not taken for the file to open.
void AddQtOptions(QCommandLineParser& parser) {
    for (const char* name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
          "qwindowicon", "qwindowtitle", "style", "stylesheet", "display", "session"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    QCommandLineOption reverse(QStringLiteral("reverse"));
    reverse.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(reverse);
}

Request Parse(QCommandLineParser& parser, const QStringList& arguments, QString& error) {
    parser.setApplicationDescription(
        QStringLiteral("Pelmora edits the texture pages and records of level WAD files "
                       "(versions 129 and 130) and of its own texture-only .plm files."));
    // Qt's options are single-dash words ("-platform xcb"), not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A level WAD or .plm file to open."),
                                 QStringLiteral("[FILE]"));
    AddQtOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return Request::Error;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return Request::Help;
    if (parser.isSet(QStringLiteral("version"))) return Request::Version;
    if (parser.positionalArguments().size() > 1) {
        // A file manager hands over one file per window; a second would be silently dropped.
        error = QStringLiteral("Give at most one FILE.");
        return Request::Error;
    }
    return Request::Edit;
}

// Help, version and usage errors are answered without a window, so they work in a terminal
// without a display (and help2man can make the manual page at build time).
int AnswerWithoutWindow(const QCommandLineParser& parser, Request request, const QString& error) {
    // The help names the program as it is installed, not by the path it was started from.
    char name[] = "pelmora";
    char* arguments[] = {name, nullptr};
    int count = 1;
    QCoreApplication app(count, arguments);
    switch (request) {
        case Request::Help:
            std::fputs(qPrintable(parser.helpText()), stdout);
            return 0;
        case Request::Version:
            std::printf("pelmora %s\n", PELMORA_VERSION);
            return 0;
        default:
            std::fprintf(stderr, "pelmora: %s\nTry 'pelmora --help' for more information.\n",
                         qPrintable(error));
            return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("pelmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELMORA_VERSION));
    QCommandLineParser parser;
    QString error;
    const Request request = Parse(parser, ArgumentsOf(argc, argv), error);
    if (request != Request::Edit) return AnswerWithoutWindow(parser, request, error);

    pelmora::InitImageLibrary(argv[0]);
    // After the image library, whose own handlers would exit without removing our files.
    pelmora::CleanUpTempFilesOnSignals();
    // The adding of pieces decodes on a thread of its own.
    pelmora::SetImageLibraryThreads(1);
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("org.pelmora.Pelmora"));

    pelmora::ui::QtModalUi modal;
    pelmora::ui::MainWindow window(modal);
    window.show();
    QStringList startArguments{QApplication::applicationFilePath()};
    if (!parser.positionalArguments().isEmpty()) startArguments << parser.positionalArguments();
    window.Start(startArguments);
    return QApplication::exec();
}
