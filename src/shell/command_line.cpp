#include "shell/command_line.h"

#include "shell/project_info.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstdio>

namespace {

struct Parser
{
    QCommandLineParser parser;
    // Not addHelpOption(): its --help-all promises Qt's options, which parse() cannot print.
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help.")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information.")};

    Parser()
    {
        parser.addOptions({help, version});
        parser.setApplicationDescription(QStringLiteral("Tessarel, an icon editor."));
        parser.addPositionalArgument(QStringLiteral("file"),
                                     QStringLiteral("An icon, bitmap, GIF or metafile to open."),
                                     QStringLiteral("[file]"));
    }

    bool wantsInfo() const { return parser.isSet(help) || parser.isSet(version); }

    // Help or version, whichever was asked for; the exit code.
    int printInfo() const
    {
        if (parser.isSet(help))
            std::printf("%s\nMore in the manual page: man tessarel\n", qPrintable(parser.helpText()));
        else
            std::printf("Tessarel %s\n", projectinfo::kVersion);
        return 0;
    }
};

void refuse(const QString &error, const QString &usage)
{
    std::fprintf(stderr, "%s\n\n%s", qPrintable(error), qPrintable(usage));
}

// The arguments without the options the application object takes for Qt
// itself (one or two leading dashes), so that the program's own can be
// checked before there is one.
QStringList withoutQtOptions(const QStringList &arguments)
{
    static const QSet<QString> withValue{QStringLiteral("platform"),
                                         QStringLiteral("platformpluginpath"),
                                         QStringLiteral("platformtheme"),
                                         QStringLiteral("plugin"),
                                         QStringLiteral("qwindowgeometry"),
                                         QStringLiteral("geometry"),
                                         QStringLiteral("qwindowicon"),
                                         QStringLiteral("icon"),
                                         QStringLiteral("qwindowtitle"),
                                         QStringLiteral("title"),
                                         QStringLiteral("session"),
                                         QStringLiteral("style"),
                                         QStringLiteral("stylesheet"),
                                         QStringLiteral("display"),
                                         QStringLiteral("name"),
                                         QStringLiteral("visual")};
    static const QSet<QString> flags{QStringLiteral("reverse"), QStringLiteral("testability"),
                                     QStringLiteral("widgetcount"), QStringLiteral("dograb"), QStringLiteral("nograb")};
    static const QStringList inlineValue{QStringLiteral("style="), QStringLiteral("stylesheet="),
                                         QStringLiteral("qmljsdebugger=")};
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) { // the rest are files, whatever they look like
            rest << arguments.mid(i);
            break;
        }
        if (i == 0 || !argument.startsWith(QLatin1Char('-'))) {
            rest << argument;
            continue;
        }
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (withValue.contains(name))
            ++i;
        else if (!flags.contains(name) && std::none_of(inlineValue.begin(), inlineValue.end(), [&](const QString &s) {
                     return name.startsWith(s);
                 }))
            rest << argument;
    }
    return rest;
}

} // namespace

std::optional<int> answerWithoutDisplay(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QStringList own = withoutQtOptions(arguments);
    Parser p;
    // Only a start with nothing to answer goes on to open a display.
    if (p.parser.parse(own) && !p.wantsInfo() && p.parser.positionalArguments().size() <= 1)
        return std::nullopt;
    // The usage line names the program through the application object; a core
    // one needs no display.
    QCoreApplication core(argc, argv);
    return readStartArguments(own).exitCode;
}

StartArguments readStartArguments(const QStringList &arguments)
{
    Parser p;
    StartArguments start;
    if (!p.parser.parse(arguments)) {
        refuse(p.parser.errorText(), p.parser.helpText());
        start.exitCode = 2;
        return start;
    }
    if (p.wantsInfo()) {
        start.exitCode = p.printInfo();
        return start;
    }
    const QStringList files = p.parser.positionalArguments();
    if (files.size() > 1) {
        refuse(QStringLiteral("Only one file can be opened at a time."), p.parser.helpText());
        start.exitCode = 2;
        return start;
    }
    // Absolute, as the Open dialog gives it: the caption and Save compare full names.
    if (!files.isEmpty())
        start.file = QFileInfo(files.first()).absoluteFilePath();
    return start;
}
