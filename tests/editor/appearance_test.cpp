// The settings file VornForm.vrn and the Options menu's styles, drag mode and
// the text panel toggle.

#include "formats/settings_file.h"
#include "platform/bevel_panel.h"
#include "support/editor_fixture.h"
#include "support/file_size_limit.h"

#include "support/fuzz_corpus.h"
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

QList<QByteArray> lines(const QByteArray &bytes)
{
    QList<QByteArray> out = bytes.split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace

class AppearanceTest : public QObject
{
    Q_OBJECT
private slots:
    void fileHoldsTwentyFourQuotedRecords()
    {
        const QByteArray bytes = settingsfile::encode(QStringLiteral("2"));
        const QList<QByteArray> l = lines(bytes);
        QCOMPARE(l.size(), 24);
        for (int i = 0; i < 24; ++i) {
            QVERIFY2(l[i].endsWith("\"\r"), l[i].constData());
            QVERIFY(l[i].startsWith('"'));
            const QByteArray text = l[i].mid(1, l[i].size() - 3);
            QVERIFY(!text.contains('"'));
            if (i == 5)
                QCOMPARE(text, QByteArray("2"));
            else if (i == 19)
                QCOMPARE(text, QByteArray());
            else
                QCOMPARE(text.size(), 50);
        }
        QCOMPARE(l[3], QByteArray("\"    D o n ' t   A l t e r   T h i s   F i l e     \"\r"));
        QCOMPARE(l[6], QByteArray("\"                        De                        \"\r"));
        QCOMPARE(l[2], "\"" + QByteArray(50, '-') + "\"\r");
        QCOMPARE(l[20], "\"" + QByteArray(50, ' ') + "\"\r");
        QCOMPARE(l[21], l[0]);
        QCOMPARE(l[22], l[1]);
        QCOMPARE(settingsfile::decodeCode(bytes), std::optional<QString>(QStringLiteral("2")));
    }

    void readerNeedsSixRecordsAndAWholeNumber()
    {
        QCOMPARE(settingsfile::decodeCode(settingsfile::encode(QStringLiteral("1"))), QStringLiteral("1"));
        QVERIFY(!settingsfile::decodeCode(settingsfile::encode(QString())));
        QVERIFY(!settingsfile::decodeCode(settingsfile::encode(QStringLiteral("abc"))));
        QVERIFY(!settingsfile::decodeCode(settingsfile::encode(QStringLiteral("99999"))));
        QVERIFY(!settingsfile::decodeCode(settingsfile::encode(QString::fromLatin1("4\0\"x", 4))));
        QVERIFY(!settingsfile::decodeCode(QByteArray("\"a\"\r\n\"b\"\r\n\"c\"\r\n\"d\"\r\n\"e\"\r\n")));
        QVERIFY(!settingsfile::decodeCode(QByteArray()));
        // Unquoted records and commas read as the sequential reader did.
        QCOMPARE(settingsfile::decodeCode(QByteArray("a,b,c\r\nd\r\ne\r\n 4 \r\n")), QStringLiteral("4"));
        // Every prefix of a good file either reads the code or is refused; none crashes.
        const QByteArray good = settingsfile::encode(QStringLiteral("2"));
        for (int cut = 0; cut < good.size(); ++cut) {
            const auto code = settingsfile::decodeCode(good.left(cut));
            QVERIFY(!code || *code == QStringLiteral("2"));
        }
    }

    void missingFileIsRecreatedWithThree()
    {
        EditorFixture f;
        const QString path = f.window->settingsFilePath();
        QCOMPARE(f.window->txtFormat->text(), QStringLiteral("3"));
        QCOMPARE(readAll(path), settingsfile::encode(QStringLiteral("3")));
        // The panels keep their designed look.
        QCOMPARE(f.window->pnlMaster->bevelStyle(), 2);
    }

    // The first start writes code 3; the panels must look the same on the
    // first start and on every later one, which reads that 3 back.
    void panelsLookTheSameOnFirstAndLaterStarts()
    {
        TestPlatform first;
        const QString path = first.platform->settingsFilePath;
        frmGeral w1(std::move(first.platform));
        const QImage firstLook = w1.pic3DTool->grab().toImage();
        TestPlatform later;
        later.platform->settingsFilePath = path;
        frmGeral w2(std::move(later.platform));
        QCOMPARE(w2.txtFormat->text(), QStringLiteral("3"));
        QCOMPARE(w2.pic3DTool->grab().toImage(), firstLook);
    }

    void storedCodeIsAppliedAtStartUp()
    {
        TestPlatform doubles;
        writeAll(doubles.platform->settingsFilePath, settingsfile::encode(QStringLiteral("1")));
        frmGeral w(std::move(doubles.platform));
        QCOMPARE(w.txtFormat->text(), QStringLiteral("1"));
        QCOMPARE(w.fraTexto->bevelStyle(), 1);
        QCOMPARE(w.pic3DColor->bevelStyle(), 1);
    }

    void emptySixthRecordFallsBackToThree()
    {
        TestPlatform doubles;
        const QString path = doubles.platform->settingsFilePath;
        writeAll(path, settingsfile::encode(QString()));
        frmGeral w(std::move(doubles.platform));
        QCOMPARE(w.txtFormat->text(), QStringLiteral("3"));
        QCOMPARE(readAll(path), settingsfile::encode(QStringLiteral("3")));
        QCOMPARE(w.pnlMaster->bevelStyle(), 2);
    }

    void styleCommandsWriteTheCodeAndSetThickness_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("thickness");
        QTest::newRow("Raised") << "mnuRaised" << 2 << 4;
        QTest::newRow("Soft Raised") << "mnuSoftRaised" << 2 << 2;
        QTest::newRow("Inset") << "mnuSunken" << 1 << 4;
        QTest::newRow("Soft Inset") << "mnuSoftSunken" << 1 << 2;
        QTest::newRow("Etched") << "mnuEtched" << 2 << 1;
    }
    void styleCommandsWriteTheCodeAndSetThickness()
    {
        QFETCH(QString, command);
        QFETCH(int, code);
        QFETCH(int, thickness);
        EditorFixture f;
        f.window->findChild<QAction *>(command)->trigger();
        const QList<QByteArray> l = lines(readAll(f.window->settingsFilePath()));
        QCOMPARE(l.size(), 24);
        QCOMPARE(l[5], "\"" + QByteArray::number(code) + "\"\r");
        for (BevelPanel *p : {f.window->fraTexto, f.window->pic3dIco, f.window->pic3DMode, f.window->pic3DTool,
                              f.window->pnlMaster, f.window->pic3DColor}) {
            QCOMPARE(p->bevelStyle(), code);
            QCOMPARE(p->bevelWidth(), thickness);
        }
    }

    void unwritableLocationGivesTwoAndNoPartialFile()
    {
        TestPlatform doubles;
        doubles.platform->settingsFilePath = doubles.settingsDir.filePath(QStringLiteral("missing/VornForm.vrn"));
        frmGeral w(std::move(doubles.platform));
        QCOMPARE(w.txtFormat->text(), QStringLiteral("2"));
        QVERIFY(!QFile::exists(w.settingsFilePath()));
        w.mnuSoftSunken->trigger();
        QCOMPARE(w.txtFormat->text(), QStringLiteral("2")); // styled raised with the chosen thickness
        QCOMPARE(w.pnlMaster->bevelStyle(), 2);
        QCOMPARE(w.pnlMaster->bevelWidth(), 2);

        // A write cut short by the file-size limit leaves the old file whole.
        EditorFixture f;
        const QByteArray before = readAll(f.window->settingsFilePath());
        {
            FileSizeLimit limit(200);
            QVERIFY(limit.active());
            f.window->mnuSunken->trigger();
        }
        QCOMPARE(readAll(f.window->settingsFilePath()), before);
        QCOMPARE(f.window->txtFormat->text(), QStringLiteral("2"));
    }

    void dragToggleShowsItsMessageOnce()
    {
        EditorFixture f;
        f.window->mnuDrag->trigger();
        QCOMPARE(f.window->mnuDrag->text(), QStringLiteral("Disable Drag"));
        QCOMPARE(f.window->pic3DTool->dragMode(), 1);
        QCOMPARE(f.doubles.messages->shown.size(), size_t(1));
        const auto &m = f.doubles.messages->shown.front();
        QCOMPARE(m.title, QStringLiteral("Drag, Activated!"));
        QCOMPARE(m.text, QStringLiteral("Drag Objects!\rThe cursor moves and position the objects!\r"));
        QCOMPARE(m.buttons, MessageBox::OkOnly);
        f.window->mnuDrag->trigger();
        QCOMPARE(f.window->mnuDrag->text(), QStringLiteral("Activate Drag"));
        for (BevelPanel *p : {f.window->fraTexto, f.window->pic3dIco, f.window->pic3DMode, f.window->pic3DTool,
                              f.window->pnlMaster, f.window->pic3DColor})
            QCOMPARE(p->dragMode(), 0);
        QCOMPARE(f.doubles.messages->shown.size(), size_t(1));
    }

    void textPanelToggle()
    {
        EditorFixture f;
        f.window->show();
        f.window->tmrLogo_Timer();
        QVERIFY(!f.window->fraTexto->isVisible());
        f.window->mnuOpTxt->trigger();
        QVERIFY(f.window->fraTexto->isVisible());
        QCOMPARE(f.window->mnuOpTxt->text(), QStringLiteral("Close Text"));
        f.window->mnuOpTxt->trigger();
        QVERIFY(!f.window->fraTexto->isVisible());
        QCOMPARE(f.window->mnuOpTxt->text(), QStringLiteral("Open Text"));
    }

    void settingsFuzzSeedsAreCurrent()
    {
        // The seeds of fuzz/settings_file_fuzz.cpp: files the writer makes and
        // the damaged kinds the reader must refuse or read as before.
        // TESSAREL_UPDATE_FUZZ_SEEDS=1 rewrites them.
        const QString source = qEnvironmentVariable("TESSAREL_SOURCE_DIR");
        if (source.isEmpty())
            QSKIP("TESSAREL_SOURCE_DIR not set (run through ctest)");
        const QByteArray written = settingsfile::encode(QStringLiteral("2"));
        const QList<std::pair<QString, QByteArray>> seeds = {
            {QStringLiteral("written.vrn"), written},
            {QStringLiteral("negative.vrn"), settingsfile::encode(QStringLiteral(" -1 "))},
            {QStringLiteral("five_records.vrn"), written.left(5 * 54)},
            {QStringLiteral("unquoted.vrn"), QByteArray("a,b,c\r\nd\r\ne\r\n 4 \r\n")},
            {QStringLiteral("unclosed_quote.vrn"), written.left(written.indexOf('\n') + 2)},
        };
        const QString stale = staleFuzzSeeds(QStringLiteral("settings_file"), seeds);
        QVERIFY2(stale.isEmpty(), qPrintable(stale));
    }
};

QTEST_MAIN(AppearanceTest)
#include "appearance_test.moc"
