#include "commandline.h"

#include <QCommandLineParser>
#include <cstdio>

namespace tessary {
namespace {

// What shells and argument parsers commonly return for a wrong use of a command.
constexpr int kUsageError = 2;

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

int CommandLine::answer(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" is one unknown option, not eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(tr("Keeps a history of what you copy, in the system tray. "
                                        "Run it again while it runs to open the history."));
    // Qt's own help option would also offer Qt's options, which Tessary does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Displays this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Displays the version."));
    parser.addOptions({help, version});

    const QString program = QCoreApplication::applicationName();
    QString mistake;
    if (!parser.parse(arguments))
        mistake = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        mistake = tr("Unexpected argument “%1”.").arg(parser.positionalArguments().constFirst());
    else if (!parser.isSet(help) && !parser.isSet(version)) // a lone "--"
        mistake = tr("Unexpected argument “%1”.").arg(arguments.value(1));
    if (!mistake.isEmpty()) {
        print(stderr,
              QStringLiteral("%1: %2\n%3\n")
                  .arg(program, mistake, tr("Try “%1 --help” for more information.").arg(program)));
        return kUsageError;
    }
    if (parser.isSet(help))
        print(stdout, parser.helpText());
    else
        print(stdout,
              QStringLiteral("%1 %2\n").arg(program, QCoreApplication::applicationVersion()));
    return 0;
}

} // namespace tessary
