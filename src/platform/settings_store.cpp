#include "platform/settings_store.h"

#include "platform/message_box.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char *, quint32>, 7> kRoots{{
    {"HKEY_CLASSES_ROOT", SettingsStore::kClassesRoot},
    {"HKEY_CURRENT_USER", SettingsStore::kCurrentUser},
    {"HKEY_LOCAL_MACHINE", SettingsStore::kLocalMachine},
    {"HKEY_USERS", SettingsStore::kUsers},
    {"HKEY_PERFORMANCE_DATA", SettingsStore::kPerformanceData},
    {"HKEY_CURRENT_CONFIG", SettingsStore::kCurrentConfig},
    {"HKEY_DYN_DATA", SettingsStore::kDynData},
}};

const QString kMarker = QStringLiteral(".key");
const QString kDefaultValue = QStringLiteral(".default");

// One key or value name as a single QSettings segment that can never be the
// marker (see the header for the scheme).
QString escapeName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'%')
            out += QLatin1String("%25");
        else if (c == u'/')
            out += QLatin1String("%2F");
        else if (c == u'\\')
            out += QLatin1String("%5C");
        else
            out += c;
    }
    if (out.startsWith(u'.'))
        out.replace(0, 1, QLatin1String("%2E"));
    return out;
}

// The QSettings group of each key from the top down to `subkey` ("A\B" ->
// "A", "A/B"); nothing when a segment is empty. The root itself is not listed.
std::optional<QStringList> groupChain(const QString &subkey)
{
    QStringList chain;
    if (subkey.isEmpty())
        return chain;
    QString group;
    for (const QString &segment : subkey.split(u'\\')) {
        if (segment.isEmpty())
            return std::nullopt;
        if (!group.isEmpty())
            group += u'/';
        group += escapeName(segment);
        chain.append(group);
    }
    return chain;
}

QString valueKey(const QString &group, const QString &name)
{
    const QString leaf = name.isEmpty() ? kDefaultValue : escapeName(name);
    return group.isEmpty() ? leaf : group + u'/' + leaf;
}

// Whether the key of `group` exists in `store` ("" is the root: always).
bool keyExists(QSettings &store, const QString &group)
{
    return group.isEmpty() || store.contains(group + u'/' + kMarker);
}

} // namespace

SettingsStore::SettingsStore(MessageBox &messages, const QString &userFile)
    : messages_(messages)
    , userFile_(userFile)
{
}

SettingsStore::~SettingsStore() = default;

quint32 SettingsStore::RootKeyFromName(const QString &name)
{
    for (const auto &[rootName, code] : kRoots)
        if (name == QLatin1String(rootName))
            return code;
    return 0;
}

QString SettingsStore::RootKeyName(quint32 root)
{
    for (const auto &[rootName, code] : kRoots)
        if (code == root)
            return QString::fromLatin1(rootName);
    return QString();
}

KeyPath SettingsStore::SplitKeyPath(const QString &path) const
{
    if (!path.startsWith(QLatin1String("HKEY_")) || path.endsWith(u'\\')) {
        messages_.show(nullptr, kApplicationTitle, QStringLiteral("Incorrect Format:\n\n") + path, MessageBox::OkOnly,
                       MessageBox::NoIcon);
        return {};
    }
    const qsizetype slash = path.indexOf(u'\\');
    if (slash < 0)
        return {RootKeyFromName(path), QString()};
    return {RootKeyFromName(path.left(slash)), path.mid(slash + 1)};
}

QString SettingsStore::fileFor(quint32 root) const
{
    if (root == kCurrentUser)
        return userFile_;
    const QFileInfo info(userFile_);
    QString name = info.completeBaseName() + u'-' + RootKeyName(root);
    if (!info.suffix().isEmpty())
        name += u'.' + info.suffix();
    return info.dir().filePath(name);
}

QSettings *SettingsStore::storeFor(quint32 root)
{
    auto &slot = stores_[root];
    if (!slot) {
        if (userFile_.isEmpty()) {
            const QString app =
                root == kCurrentUser ? QStringLiteral("Tessarel") : QStringLiteral("Tessarel-") + RootKeyName(root);
            slot =
                std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vorn"), app);
        } else {
            slot = std::make_unique<QSettings>(fileFor(root), QSettings::NativeFormat);
        }
    }
    return slot.get();
}

std::optional<QString> SettingsStore::ReadTextValue(const QString &path, const QString &name)
{
    const KeyPath key = SplitKeyPath(path);
    if (key.root == 0)
        return std::nullopt;
    const auto chain = groupChain(key.subkey);
    if (!chain)
        return kErrorText;
    QSettings &store = *storeFor(key.root);
    const QString group = chain->isEmpty() ? QString() : chain->last();
    if (!keyExists(store, group))
        return kErrorText;
    const QVariant value = store.value(valueKey(group, name));
    if (!value.isValid())
        return kErrorText;
    QString text = value.toString();
    if (text.size() > kMaxReadableLength)
        return kErrorText;
    // Only spaces are trimmed; tabs and line breaks are part of the value.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

void SettingsStore::EnsureKey(const QString &path)
{
    const KeyPath key = SplitKeyPath(path);
    if (key.root == 0)
        return;
    const auto chain = groupChain(key.subkey);
    if (!chain || chain->isEmpty())
        return;
    QSettings &store = *storeFor(key.root);
    for (const QString &group : *chain)
        if (!keyExists(store, group))
            store.setValue(group + u'/' + kMarker, 1);
    store.sync();
}

void SettingsStore::WriteTextValue(const QString &path, const QString &name, const QString &text)
{
    const KeyPath key = SplitKeyPath(path);
    if (key.root == 0)
        return;
    const auto chain = groupChain(key.subkey);
    if (!chain)
        return;
    QSettings &store = *storeFor(key.root);
    const QString group = chain->isEmpty() ? QString() : chain->last();
    if (!keyExists(store, group))
        return;
    store.setValue(valueKey(group, name), text);
    store.sync();
}
