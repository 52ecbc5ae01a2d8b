// make_fuzz_seeds <dir>: writes the seeds of every fuzz target that has them
// to <dir>/<target>/, for scripts/fuzz.sh to fuzz from.

#include "support/fuzz_seeds.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <dir>\n");
        return 2;
    }
    // The PNG writer and fonts want a GUI application; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir root(QFile::decodeName(argv[1]));
    int written = 0;
    for (const QString &target : fuzzSeedTargets()) {
        if (!root.mkpath(target)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(root.filePath(target)));
            return 1;
        }
        for (const FuzzSeed &seed : fuzzSeedsFor(target)) {
            QFile file(root.filePath(target + u'/' + seed.name));
            if (!file.open(QIODevice::WriteOnly) || file.write(seed.bytes) != seed.bytes.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                return 1;
            }
            ++written;
        }
    }
    std::printf("%d seeds in %s\n", written, qPrintable(root.path()));
    return 0;
}
