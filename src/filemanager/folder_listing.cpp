#include "filemanager/folder_listing.h"

#include "filemanager/byte_paths.h"

#include <QFile>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace folders {

namespace {

// File systems that hold no user files.
bool isPseudo(const QByteArray &type, const QByteArray &root)
{
    static const QList<QByteArray> kPseudo = {
        "proc",        "sysfs",    "devtmpfs",   "devpts",   "cgroup",  "cgroup2", "mqueue", "securityfs",
        "pstore",      "debugfs",  "tracefs",    "configfs", "fusectl", "bpf",     "autofs", "hugetlbfs",
        "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",     "ramfs",   "squashfs"};
    if (kPseudo.contains(type))
        return true;
    for (const char *system : {"/proc", "/sys", "/dev", "/run", "/boot/efi", "/snap"})
        if (root == system || root.startsWith(QByteArray(system) + '/'))
            return !root.startsWith("/run/media/");
    return false;
}

bool isIconName(const char *name, size_t size)
{
    if (size <= 4 || name[size - 4] != '.')
        return false;
    const char *ext = name + size - 3;
    return (ext[0] | 0x20) == 'i' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 'o';
}

// By name ignoring case, then by bytes. The key is made once per entry: a
// plain ASCII name is lowered byte by byte (and usually short enough to need
// no memory of its own), any other name is case-folded as text; keys compare
// as bytes, which for UTF-8 is the order of the characters.
void sortByName(QList<Entry> &entries)
{
    struct Keyed
    {
        std::string key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QByteArray &name = entries[i].name;
        std::string key(size_t(name.size()), '\0');
        bool ascii = true;
        for (qsizetype j = 0; j < name.size() && ascii; ++j) {
            const char c = name[j];
            ascii = !(c & 0x80);
            key[size_t(j)] = c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
        }
        if (!ascii)
            key = entries[i].display.toCaseFolded().toStdString();
        keyed.push_back({std::move(key), i});
    }
    std::sort(keyed.begin(), keyed.end(), [&entries](const Keyed &a, const Keyed &b) {
        const int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : entries[a.index].name < entries[b.index].name;
    });
    QList<Entry> sorted;
    sorted.reserve(entries.size());
    for (const Keyed &k : keyed)
        sorted.append(std::move(entries[k.index]));
    entries = std::move(sorted);
}

} // namespace

QList<Volume> mountedVolumes()
{
    QList<Volume> out;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        const QByteArray root = QFile::encodeName(v.rootPath());
        if (!v.isValid() || isPseudo(v.fileSystemType(), root))
            continue;
        QString label = v.rootPath();
        if (!v.displayName().isEmpty() && v.displayName() != v.rootPath())
            label += QStringLiteral(" [%1]").arg(v.displayName());
        out.append({root, label});
    }
    std::sort(out.begin(), out.end(), [](const Volume &a, const Volume &b) { return a.root < b.root; });
    if (out.isEmpty() || out.first().root != "/")
        out.prepend({"/", QStringLiteral("/")});
    return out;
}

QByteArray volumeOf(const QByteArray &path, const QList<Volume> &volumes)
{
    QByteArray best = "/";
    for (const Volume &v : volumes)
        if ((path == v.root || path.startsWith(v.root.endsWith('/') ? v.root : v.root + '/'))
            && v.root.size() > best.size())
            best = v.root;
    return best;
}

std::optional<Listing> read(const QByteArray &folder, QString *error)
{
    const struct timespec started = bytepath::now();
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    const int fd = ::dirfd(dir);
    Listing out;
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(dir);
        if (!e)
            break;
        if (e->d_name[0] == '.') {
            // Hidden, and the . and .. entries; a copy killed part-way left its
            // temporary file here, which goes now.
            bytepath::removeLeftover(fd, e->d_name, started);
            continue;
        }
        const size_t size = std::strlen(e->d_name);
        const bool icon = isIconName(e->d_name, size);
        bool isDir = e->d_type == DT_DIR, isFile = e->d_type == DT_REG;
        // Only a link, or a file system that does not say, needs a look at the entry.
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st
            { };
            if (::fstatat(fd, e->d_name, &st, 0) != 0)
                continue; // a dangling link
            isDir = S_ISDIR(st.st_mode);
            isFile = S_ISREG(st.st_mode);
        }
        if (isDir || (isFile && icon)) {
            const QByteArray name(e->d_name, qsizetype(size));
            (isDir ? out.folders : out.files).append({name, display(name)});
        }
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(err));
        return std::nullopt;
    }
    sortByName(out.files);
    sortByName(out.folders);
    return out;
}

std::optional<QList<Entry>> iconFiles(const QByteArray &folder, QString *error)
{
    auto listing = read(folder, error);
    return listing ? std::optional<QList<Entry>>(std::move(listing->files)) : std::nullopt;
}

std::optional<QList<Entry>> subfolders(const QByteArray &folder, QString *error)
{
    auto listing = read(folder, error);
    return listing ? std::optional<QList<Entry>>(std::move(listing->folders)) : std::nullopt;
}

QByteArray parent(const QByteArray &folder) { return bytepath::folderOf(bytepath::cleaned(folder)); }

QString display(const QByteArray &bytes) { return QString::fromUtf8(bytes); }

} // namespace folders
