// The seeds make_fuzz_seeds writes for scripts/fuzz.sh: a whole seed the
// target's reader refuses would leave its kind of file out of the fuzzing
// unnoticed, and two seeds of one name would overwrite each other.

#include "formats/ico_reader.h"
#include "formats/icon_resources.h"
#include "formats/picture_loader.h"
#include "formats/wmf_renderer.h"

#include "support/fuzz_seeds.h"

#include <QSet>
#include <QtTest>

class FuzzSeedsTest : public QObject
{
    Q_OBJECT
private slots:
    void wholeSeedsAreRead_data();
    void wholeSeedsAreRead();
};

void FuzzSeedsTest::wholeSeedsAreRead_data()
{
    QTest::addColumn<QString>("target");
    for (const QString &target : fuzzSeedTargets())
        QTest::newRow(qPrintable(target)) << target;
}

void FuzzSeedsTest::wholeSeedsAreRead()
{
    QFETCH(QString, target);
    const QList<FuzzSeed> seeds = fuzzSeedsFor(target);
    QVERIFY(seeds.size() >= 40);
    QSet<QString> names;
    int damaged = 0;
    for (const FuzzSeed &seed : seeds) {
        QVERIFY2(!names.contains(seed.name), qPrintable(seed.name));
        names.insert(seed.name);
        if (!seed.whole) {
            ++damaged;
            continue;
        }
        bool read = false;
        if (target == QLatin1String("ico_reader") || target == QLatin1String("ico_writer"))
            read = readIcoEntries(seed.bytes).has_value();
        else if (target == QLatin1String("icon_resources"))
            read = readIconLibrary(seed.bytes).has_value();
        else if (target == QLatin1String("wmf_renderer"))
            read = renderWmf(seed.bytes).has_value();
        else
            read = decodePicture(seed.bytes).has_value();
        QVERIFY2(read, qPrintable(seed.name));
    }
    QVERIFY(damaged >= seeds.size() / 2);
}

QTEST_MAIN(FuzzSeedsTest)
#include "fuzz_seeds_test.moc"
