#pragma once
// mdlFixafrm: text values under registry-style key paths such as
// "HKEY_CURRENT_USER\Software\Window Position", kept in QSettings.
//
// Layout on disk:
// - Each root is its own user-scope store (NativeFormat, organisation "Vorn"):
//   HKEY_CURRENT_USER is application "Tessarel", any other root is
//   "Tessarel-<ROOT NAME>". With an explicit file (tests), that file holds
//   HKEY_CURRENT_USER and each other root sits beside it as
//   "<base>-<ROOT NAME>.<suffix>".
// - The subkey becomes a QSettings group, one segment per backslash-separated
//   name: "Software\Window Position" is group "Software/Window Position".
// - QSettings has no empty groups, so a key exists only through a marker
//   value ".key" that EnsureKey puts into the key and every key above it. The
//   root itself always exists.
// - Key and value names are escaped so that any name stays one segment and
//   cannot meet the marker: '%', '/' and '\' become %25, %2F and %5C, and a
//   leading '.' becomes %2E. The unnamed (default) value is stored as
//   ".default".
// - Names are case-sensitive, and a subkey with an empty segment (a doubled
//   or leading backslash) names no key: nothing is read from or written there.
// Failures to read or write the files are not reported, like the registry
// calls this replaces.

#include <QString>
#include <QtGlobal>

#include <map>
#include <memory>
#include <optional>

class MessageBox;
class QSettings;

struct KeyPath
{
    quint32 root = 0; // 0: no usable root
    QString subkey;   // "" addresses the root itself
};

class SettingsStore
{
public:
    static constexpr quint32 kClassesRoot = 0x80000000u;
    static constexpr quint32 kCurrentUser = 0x80000001u;
    static constexpr quint32 kLocalMachine = 0x80000002u;
    static constexpr quint32 kUsers = 0x80000003u;
    static constexpr quint32 kPerformanceData = 0x80000004u;
    static constexpr quint32 kCurrentConfig = 0x80000005u;
    static constexpr quint32 kDynData = 0x80000006u;

    // The old read buffer held 255 characters with the terminator; a longer
    // value failed to read.
    static constexpr int kMaxReadableLength = 254;

    // `userFile` replaces the per-user store of HKEY_CURRENT_USER (tests).
    explicit SettingsStore(MessageBox &messages, const QString &userFile = QString());
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // Exact, case-sensitive root names; anything else is 0.
    static quint32 RootKeyFromName(const QString &name);
    // The root's name, or "" for an unknown code.
    static QString RootKeyName(quint32 root);

    // Splits "ROOT\sub\key" into its root code and subkey. A path that does
    // not begin with "HKEY_" or ends with a backslash shows "Incorrect
    // Format:" and gives root 0 with an empty subkey.
    KeyPath SplitKeyPath(const QString &path) const;

    // Nothing when the path has no usable root; "Error" when the key or the
    // value does not exist or the value is too long to read; otherwise the
    // text without leading and trailing spaces.
    std::optional<QString> ReadTextValue(const QString &path, const QString &name);
    // Creates the key and every key above it.
    void EnsureKey(const QString &path);
    // Stores the text only when the key exists.
    void WriteTextValue(const QString &path, const QString &name, const QString &text);

    static inline const QString kErrorText = QStringLiteral("Error");

private:
    QSettings *storeFor(quint32 root);
    QString fileFor(quint32 root) const;

    MessageBox &messages_;
    QString userFile_;
    std::map<quint32, std::unique_ptr<QSettings>> stores_;
};
