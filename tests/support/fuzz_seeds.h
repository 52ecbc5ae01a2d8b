#pragma once
// Seed files for every fuzz target, made with the test writers: each bitmap
// header kind, depth and compression, icons and cursors with bitmap and PNG
// entries, GIFs, PNGs, metafiles using every record the renderer plays, and
// PE/NE libraries with icon groups, each followed by cut-short and damaged
// copies. make_fuzz_seeds writes them where scripts/fuzz.sh fuzzes; the small
// checked-in corpora in fuzz/corpus stay for runs without a build.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct FuzzSeed
{
    QString name;
    QByteArray bytes;
    bool whole = true; // false for the damaged copies
};

// The targets (fuzz/<target>_fuzz.cpp) given seeds here.
QStringList fuzzSeedTargets();
// The seeds of one target; empty for a target not in fuzzSeedTargets().
QList<FuzzSeed> fuzzSeedsFor(const QString &target);
