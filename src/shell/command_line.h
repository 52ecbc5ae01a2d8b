#pragma once
// The program's command line: an optional file to open, --help and --version.

#include <QString>
#include <QStringList>
#include <optional>

struct StartArguments
{
    QString file;                // absolute path of the file to open, empty for none
    std::optional<int> exitCode; // set when the program should end at once (help, version, bad option)
};

// Help, version and every usage error straight from argv, before the
// application object exists, so they are answered without a display; Qt's own
// options are left to the application object. Nothing is returned when the
// program is to start.
std::optional<int> answerWithoutDisplay(int argc, char *argv[]);

// Reads the arguments left once the application has taken Qt's own (program
// name first). Help and version go to stdout; an unknown option's error and
// the usage go to stderr with exit code 2.
StartArguments readStartArguments(const QStringList &arguments);
