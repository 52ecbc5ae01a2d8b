// The key-path store: root names, the format check and its message, key
// existence, and text values as they are written, read back and persisted.

#include "platform/settings_store.h"

#include "support/recording_message_box.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kUser = QStringLiteral("HKEY_CURRENT_USER");
const QString kPosition = QStringLiteral("HKEY_CURRENT_USER\\Software\\Window Position");

} // namespace

// Failure messages tell "no value" from a text.
namespace QTest {
template <> char *toString(const std::optional<QString> &v)
{
    return v ? toString(QStringLiteral("\"%1\"").arg(*v)) : qstrdup("(nothing)");
}
} // namespace QTest

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    RecordingMessageBox messages_;
    std::unique_ptr<SettingsStore> store_;

    QString userFile() const { return dir_->filePath(QStringLiteral("user.conf")); }
    // A second store on the same files, as the next run of the program sees them.
    std::unique_ptr<SettingsStore> reopened() { return std::make_unique<SettingsStore>(messages_, userFile()); }
    void expectNoMessage() { QCOMPARE(int(messages_.shown.size()), 0); }
    void expectFormatMessage(const QString &path)
    {
        QCOMPARE(int(messages_.shown.size()), 1);
        const auto &m = messages_.shown.front();
        QCOMPARE(m.title, QStringLiteral("Vorn Tessarel"));
        QCOMPARE(m.text, QStringLiteral("Incorrect Format:\n\n") + path);
        QCOMPARE(m.buttons, MessageBox::OkOnly);
        QCOMPARE(m.icon, MessageBox::NoIcon);
        messages_.shown.clear();
    }
    // Every file in the temporary folder, so a test can tell nothing was written.
    QStringList files() const { return QDir(dir_->path()).entryList(QDir::Files); }

private slots:
    void initTestCase()
    {
        // Before any QSettings: the default per-user store then lives in a
        // test folder instead of the user's configuration.
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        messages_.shown.clear();
        store_ = std::make_unique<SettingsStore>(messages_, userFile());
    }

    void cleanup()
    {
        store_.reset();
        dir_.reset();
    }

    void rootTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("root");
        QTest::newRow("classes root") << "HKEY_CLASSES_ROOT" << 0x80000000u;
        QTest::newRow("current user") << "HKEY_CURRENT_USER" << 0x80000001u;
        QTest::newRow("local machine") << "HKEY_LOCAL_MACHINE" << 0x80000002u;
        QTest::newRow("users") << "HKEY_USERS" << 0x80000003u;
        QTest::newRow("performance data") << "HKEY_PERFORMANCE_DATA" << 0x80000004u;
        QTest::newRow("current config") << "HKEY_CURRENT_CONFIG" << 0x80000005u;
        QTest::newRow("dyn data") << "HKEY_DYN_DATA" << 0x80000006u;
        QTest::newRow("lower case") << "hkey_current_user" << 0u;
        QTest::newRow("mixed case") << "HKEY_Current_User" << 0u;
        QTest::newRow("longer name") << "HKEY_CURRENT_USERX" << 0u;
        QTest::newRow("shorter name") << "HKEY_CURRENT_USE" << 0u;
        QTest::newRow("trailing space") << "HKEY_USERS " << 0u;
        QTest::newRow("prefix only") << "HKEY_" << 0u;
        QTest::newRow("empty") << "" << 0u;
    }
    void rootTable()
    {
        QFETCH(QString, name);
        QFETCH(quint32, root);
        QCOMPARE(SettingsStore::RootKeyFromName(name), root);
        if (root != 0)
            QCOMPARE(SettingsStore::RootKeyName(root), name);
    }

    void splitKeyPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("message");
        QTest::addColumn<quint32>("root");
        QTest::addColumn<QString>("subkey");
        QTest::newRow("two levels") << kPosition << false << 0x80000001u << "Software\\Window Position";
        QTest::newRow("root alone") << kUser << false << 0x80000001u << "";
        QTest::newRow("other root") << "HKEY_LOCAL_MACHINE\\Software" << false << 0x80000002u << "Software";
        QTest::newRow("unknown root") << "HKEY_BOGUS\\X" << false << 0u << "X";
        QTest::newRow("unknown root alone") << "HKEY_BOGUS" << false << 0u << "";
        QTest::newRow("root with a space") << "HKEY_CURRENT_USER \\X" << false << 0u << "X";
        QTest::newRow("doubled backslash") << "HKEY_CURRENT_USER\\\\X" << false << 0x80000001u << "\\X";
        QTest::newRow("lower case") << "hkey_current_user\\Software" << true << 0u << "";
        QTest::newRow("trailing backslash") << "HKEY_CURRENT_USER\\Software\\" << true << 0u << "";
        QTest::newRow("root and backslash") << "HKEY_CURRENT_USER\\" << true << 0u << "";
        QTest::newRow("leading space") << " HKEY_CURRENT_USER\\Software" << true << 0u << "";
        QTest::newRow("no prefix") << "Software\\Window Position" << true << 0u << "";
        QTest::newRow("empty") << "" << true << 0u << "";
    }
    void splitKeyPath()
    {
        QFETCH(QString, path);
        QFETCH(bool, message);
        QFETCH(quint32, root);
        QFETCH(QString, subkey);
        const KeyPath split = store_->SplitKeyPath(path);
        QCOMPARE(split.root, root);
        QCOMPARE(split.subkey, subkey);
        if (message)
            expectFormatMessage(path);
        else
            expectNoMessage();
    }

    // Every operation checks the format first and does nothing more on a
    // badly formed path; the message is the only trace.
    void badFormatShowsMessageAndTouchesNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("lower case") << "hkey_current_user\\Software";
        QTest::newRow("trailing backslash") << "HKEY_CURRENT_USER\\Software\\";
    }
    void badFormatShowsMessageAndTouchesNothing()
    {
        QFETCH(QString, path);
        QCOMPARE(store_->ReadTextValue(path, "Left"), std::nullopt);
        expectFormatMessage(path);
        store_->EnsureKey(path);
        expectFormatMessage(path);
        store_->WriteTextValue(path, "Left", "1");
        expectFormatMessage(path);
        QCOMPARE(files(), QStringList());
    }

    void unknownRootIsSilentAndTouchesNothing()
    {
        const QString path = QStringLiteral("HKEY_BOGUS\\X");
        store_->EnsureKey(path);
        store_->WriteTextValue(path, "V", "1");
        QCOMPARE(store_->ReadTextValue(path, "V"), std::nullopt);
        expectNoMessage();
        QCOMPARE(files(), QStringList());
        // Nor did the subkey land under some other root.
        QCOMPARE(store_->ReadTextValue(QStringLiteral("HKEY_CURRENT_USER\\X"), "V"), SettingsStore::kErrorText);
    }

    void rootAloneHoldsValues()
    {
        QCOMPARE(store_->ReadTextValue(kUser, "Root"), SettingsStore::kErrorText);
        store_->EnsureKey(kUser); // the root exists already; harmless
        store_->WriteTextValue(kUser, "Root", "here");
        QCOMPARE(store_->ReadTextValue(kUser, "Root"), QStringLiteral("here"));
        // A value of the root is not a value of a key below it.
        store_->EnsureKey(kPosition);
        QCOMPARE(store_->ReadTextValue(kPosition, "Root"), SettingsStore::kErrorText);
        expectNoMessage();
    }

    void ensureKeyCreatesIntermediates()
    {
        const QString a = QStringLiteral("HKEY_CURRENT_USER\\A");
        const QString ab = a + QStringLiteral("\\B");
        const QString abc = ab + QStringLiteral("\\C");
        store_->WriteTextValue(abc, "V", "before");
        QCOMPARE(store_->ReadTextValue(abc, "V"), SettingsStore::kErrorText);

        store_->EnsureKey(abc);
        store_->WriteTextValue(abc, "V", "c");
        store_->WriteTextValue(ab, "V", "b");
        store_->WriteTextValue(a, "V", "a");
        QCOMPARE(store_->ReadTextValue(abc, "V"), QStringLiteral("c"));
        QCOMPARE(store_->ReadTextValue(ab, "V"), QStringLiteral("b"));
        QCOMPARE(store_->ReadTextValue(a, "V"), QStringLiteral("a"));
        // A sibling that was never created still does not exist.
        const QString ax = a + QStringLiteral("\\X");
        store_->WriteTextValue(ax, "V", "x");
        QCOMPARE(store_->ReadTextValue(ax, "V"), SettingsStore::kErrorText);
        // Creating again keeps what the keys hold.
        store_->EnsureKey(abc);
        QCOMPARE(store_->ReadTextValue(abc, "V"), QStringLiteral("c"));
        expectNoMessage();
    }

    void writeNeedsAnExistingKey()
    {
        store_->WriteTextValue(kPosition, "Left", "1230");
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), SettingsStore::kErrorText);
        // A key whose parent exists is still missing itself.
        store_->EnsureKey(QStringLiteral("HKEY_CURRENT_USER\\Software"));
        store_->WriteTextValue(kPosition, "Left", "1230");
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), SettingsStore::kErrorText);
        expectNoMessage();
    }

    void valuesReadBack()
    {
        store_->EnsureKey(kPosition);
        store_->WriteTextValue(kPosition, "Left", "1230");
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), QStringLiteral("1230"));
        QCOMPARE(store_->ReadTextValue(kPosition, "Top"), SettingsStore::kErrorText);
        // Names are exact.
        QCOMPARE(store_->ReadTextValue(kPosition, "left"), SettingsStore::kErrorText);
        store_->WriteTextValue(kPosition, "Left", "15");
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), QStringLiteral("15"));
        expectNoMessage();
    }

    // Texts QSettings might take for something other than a plain string.
    void textIsStoredAsGiven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("comma list") << "a, b,c";
        QTest::newRow("at sign") << "@Variant(x)";
        QTest::newRow("quotes") << "\"q\" 'r'";
        QTest::newRow("ini syntax") << "[General]\nk=v;c";
        QTest::newRow("backslashes") << "C:\\Icons\\a.ico";
        QTest::newRow("non-latin") << QString::fromUtf8("Größe ✓ 表");
        QTest::newRow("tab inside") << "\tx\t";
        QTest::newRow("number-like") << "0x10";
    }
    void textIsStoredAsGiven()
    {
        QFETCH(QString, text);
        store_->EnsureKey(kPosition);
        store_->WriteTextValue(kPosition, "V", text);
        QCOMPARE(store_->ReadTextValue(kPosition, "V"), text);
        QCOMPARE(reopened()->ReadTextValue(kPosition, "V"), text);
    }

    void onlySpacesAreTrimmed_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("both sides") << "  12  "
                                    << "12";
        QTest::newRow("inner kept") << " 1 2 "
                                    << "1 2";
        QTest::newRow("all spaces") << "   "
                                    << "";
        QTest::newRow("tab kept") << " \t12\t "
                                  << "\t12\t";
    }
    void onlySpacesAreTrimmed()
    {
        QFETCH(QString, stored);
        QFETCH(QString, read);
        store_->EnsureKey(kPosition);
        store_->WriteTextValue(kPosition, "V", stored);
        QCOMPARE(store_->ReadTextValue(kPosition, "V"), read);
    }

    void longValuesCannotBeRead()
    {
        store_->EnsureKey(kPosition);
        const QString limit = QString(253, u'x') + u'y';
        store_->WriteTextValue(kPosition, "A", limit);
        QCOMPARE(store_->ReadTextValue(kPosition, "A"), limit);
        store_->WriteTextValue(kPosition, "B", limit + u'z');
        QCOMPARE(store_->ReadTextValue(kPosition, "B"), SettingsStore::kErrorText);
        // The length counts before trimming: padding can push a value over.
        store_->WriteTextValue(kPosition, "C", QStringLiteral(" ") + limit);
        QCOMPARE(store_->ReadTextValue(kPosition, "C"), SettingsStore::kErrorText);
    }

    void valuesPersist()
    {
        store_->EnsureKey(kPosition);
        store_->WriteTextValue(kPosition, "Left", "1230");
        store_->EnsureKey(QStringLiteral("HKEY_CURRENT_USER\\A\\B"));
        store_.reset();

        auto next = reopened();
        QCOMPARE(next->ReadTextValue(kPosition, "Left"), QStringLiteral("1230"));
        // Key existence persists too, empty keys included.
        next->WriteTextValue(QStringLiteral("HKEY_CURRENT_USER\\A"), "V", "a");
        QCOMPARE(next->ReadTextValue(QStringLiteral("HKEY_CURRENT_USER\\A"), "V"), QStringLiteral("a"));
        QCOMPARE(next->ReadTextValue(QStringLiteral("HKEY_CURRENT_USER\\A\\B"), "V"), SettingsStore::kErrorText);
        QVERIFY(QFile::exists(userFile()));
    }

    void rootsAreSeparateStores()
    {
        const QString machine = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Window Position");
        store_->EnsureKey(machine);
        store_->WriteTextValue(machine, "Left", "7");
        QCOMPARE(store_->ReadTextValue(machine, "Left"), QStringLiteral("7"));
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), SettingsStore::kErrorText);
        QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("user-HKEY_LOCAL_MACHINE.conf"))));
        QVERIFY(!QFile::exists(userFile()));
        QCOMPARE(reopened()->ReadTextValue(machine, "Left"), QStringLiteral("7"));
    }

    // Names that QSettings would split, or that look like the key marker,
    // stay names of their own.
    void oddNamesStayApart()
    {
        const QString ab = QStringLiteral("HKEY_CURRENT_USER\\a/b");
        const QString a = QStringLiteral("HKEY_CURRENT_USER\\a");
        store_->EnsureKey(ab);
        store_->WriteTextValue(ab, "v", "slash key");
        // "a/b" is one key, not "b" below "a".
        QCOMPARE(store_->ReadTextValue(a, "v"), SettingsStore::kErrorText);
        QCOMPARE(store_->ReadTextValue(QStringLiteral("HKEY_CURRENT_USER\\a\\b"), "v"), SettingsStore::kErrorText);
        QCOMPARE(store_->ReadTextValue(ab, "v"), QStringLiteral("slash key"));

        store_->EnsureKey(a);
        store_->WriteTextValue(a, "b/v", "slash value");
        QCOMPARE(store_->ReadTextValue(ab, "v"), QStringLiteral("slash key"));
        QCOMPARE(store_->ReadTextValue(a, "b/v"), QStringLiteral("slash value"));
        store_->WriteTextValue(a, "x\\y", "backslash value");
        QCOMPARE(store_->ReadTextValue(a, "x\\y"), QStringLiteral("backslash value"));
        QCOMPARE(store_->ReadTextValue(a, "x/y"), SettingsStore::kErrorText);
        store_->WriteTextValue(a, "%2F", "percent");
        QCOMPARE(store_->ReadTextValue(a, "/"), SettingsStore::kErrorText);
        QCOMPARE(store_->ReadTextValue(a, "%2F"), QStringLiteral("percent"));

        // A value called like the marker neither is the marker nor makes a key.
        const QString fresh = QStringLiteral("HKEY_CURRENT_USER\\fresh");
        QCOMPARE(store_->ReadTextValue(a, ".key"), SettingsStore::kErrorText);
        store_->EnsureKey(fresh);
        store_->WriteTextValue(fresh, ".key", "mine");
        QCOMPARE(store_->ReadTextValue(fresh, ".key"), QStringLiteral("mine"));
        const QString made = QStringLiteral("HKEY_CURRENT_USER\\made");
        store_->WriteTextValue(kUser, "made/.key", "1");
        store_->WriteTextValue(made, "x", "1");
        QCOMPARE(store_->ReadTextValue(made, "x"), SettingsStore::kErrorText);

        // The unnamed value is a value like any other.
        QCOMPARE(store_->ReadTextValue(a, ""), SettingsStore::kErrorText);
        store_->WriteTextValue(a, "", "default");
        QCOMPARE(store_->ReadTextValue(a, ""), QStringLiteral("default"));
        QCOMPARE(store_->ReadTextValue(a, ".default"), SettingsStore::kErrorText);
        expectNoMessage();
    }

    void emptySegmentsNameNoKey()
    {
        const QString doubled = QStringLiteral("HKEY_CURRENT_USER\\A\\\\B");
        store_->EnsureKey(doubled);
        store_->WriteTextValue(doubled, "V", "1");
        QCOMPARE(store_->ReadTextValue(doubled, "V"), SettingsStore::kErrorText);
        QCOMPARE(store_->ReadTextValue(QStringLiteral("HKEY_CURRENT_USER\\A\\B"), "V"), SettingsStore::kErrorText);
        QCOMPARE(store_->ReadTextValue(QStringLiteral("HKEY_CURRENT_USER\\A"), "V"), SettingsStore::kErrorText);
        QCOMPARE(files(), QStringList());
    }

    // Without a file the store is the per-user one of organisation "Vorn",
    // with a file of its own per root.
    void defaultStoreIsPerUser()
    {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        const QString userConf = config + QStringLiteral("/Vorn/Tessarel.conf");
        const QString machineConf = config + QStringLiteral("/Vorn/Tessarel-HKEY_LOCAL_MACHINE.conf");
        QFile::remove(userConf);
        QFile::remove(machineConf);
        {
            SettingsStore store(messages_);
            store.EnsureKey(kPosition);
            store.WriteTextValue(kPosition, "Left", "1230");
            store.EnsureKey(QStringLiteral("HKEY_LOCAL_MACHINE\\Software"));
        }
        QVERIFY(QFile::exists(userConf));
        QVERIFY(QFile::exists(machineConf));
        QSettings direct(QSettings::NativeFormat, QSettings::UserScope, "Vorn", "Tessarel");
        QCOMPARE(direct.value("Software/Window Position/Left").toString(), QStringLiteral("1230"));
        QCOMPARE(SettingsStore(messages_).ReadTextValue(kPosition, "Left"), QStringLiteral("1230"));
        QFile::remove(userConf);
        QFile::remove(machineConf);
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
