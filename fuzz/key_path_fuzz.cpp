// Feeds arbitrary bytes, read both as Latin-1 and as UTF-8, to the key-path
// splitter and the root-name table, and checks what they promise.
//
// Seeds in fuzz/corpus/key_path/ are plain key paths, one per file (good,
// badly formed, unknown root, doubled backslashes, non-ASCII names).
// Run on a scratch copy so new finds stay out of the repository:
//   cp -r fuzz/corpus/key_path /tmp/key_path_corpus
//   ./fuzz-build/fuzz/key_path_fuzz -max_total_time=60 /tmp/key_path_corpus

#include "platform/message_box.h"
#include "platform/settings_store.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Counts the boxes instead of showing them.
class SilentMessageBox : public MessageBox
{
public:
    Answer show(QWidget *, const QString &, const QString &, Buttons, Icon) override
    {
        ++shown;
        return Ok;
    }
    int shown = 0;
};

bool inTable(quint32 root) { return root >= SettingsStore::kClassesRoot && root <= SettingsStore::kDynData; }

void check(SettingsStore &store, SilentMessageBox &messages, const QString &path)
{
    const quint32 whole = SettingsStore::RootKeyFromName(path);
    if (whole != 0 && (!inTable(whole) || SettingsStore::RootKeyName(whole) != path))
        std::abort();

    messages.shown = 0;
    const KeyPath split = store.SplitKeyPath(path);
    const bool wellFormed = path.startsWith(QLatin1String("HKEY_")) && !path.endsWith(u'\\');
    if (messages.shown != (wellFormed ? 0 : 1))
        std::abort();
    if (split.root != 0 && !inTable(split.root))
        std::abort();
    if (split.root != 0 && !wellFormed)
        std::abort();
    if (!path.endsWith(split.subkey))
        std::abort();
    if (!wellFormed)
        return;
    // A well-formed path is exactly its root name, a backslash and the subkey.
    const qsizetype slash = path.indexOf(u'\\');
    const QString rootName = slash < 0 ? path : path.left(slash);
    if (split.root != SettingsStore::RootKeyFromName(rootName))
        std::abort();
    if (split.subkey != (slash < 0 ? QString() : path.mid(slash + 1)))
        std::abort();
    if (split.root != 0
        && SettingsStore::RootKeyName(split.root) + (slash < 0 ? QString() : u'\\' + split.subkey) != path)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SilentMessageBox messages;
    // Never touched: splitting reads and writes no file.
    static SettingsStore store(messages, QStringLiteral("/nonexistent/key_path_fuzz.conf"));
    const char *bytes = reinterpret_cast<const char *>(data);
    check(store, messages, QString::fromLatin1(bytes, qsizetype(size)));
    check(store, messages, QString::fromUtf8(bytes, qsizetype(size)));
    return 0;
}
