#pragma once
// The fuzz targets' seed corpora are made by the tests, so fuzz/corpus never
// holds bytes of unknown origin. This compares a checked-in corpus with the
// seeds a test makes, or rewrites it when TESSAREL_UPDATE_FUZZ_SEEDS=1.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// An empty text when fuzz/corpus/<target> holds exactly these seeds (or was
// just rewritten), else what is wrong. Needs TESSAREL_SOURCE_DIR (ctest sets it).
template <typename Seeds> QString staleFuzzSeeds(const QString &target, const Seeds &seeds)
{
    const QDir dir(qEnvironmentVariable("TESSAREL_SOURCE_DIR") + QStringLiteral("/fuzz/corpus/") + target);
    const bool update = qEnvironmentVariableIntValue("TESSAREL_UPDATE_FUZZ_SEEDS") == 1;
    if (update && !QDir().mkpath(dir.path()))
        return QStringLiteral("cannot create ") + dir.path();
    for (const auto &[name, data] : seeds) {
        QFile file(dir.filePath(name));
        if (update) {
            if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
                return QStringLiteral("cannot write ") + file.fileName();
            continue;
        }
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("missing ") + file.fileName();
        if (file.readAll() != data)
            return name + QStringLiteral(" is stale");
    }
    return {};
}
