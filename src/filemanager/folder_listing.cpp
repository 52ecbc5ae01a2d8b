#include "filemanager/folder_listing.h"

#include "filemanager/byte_paths.h"

#include <QFile>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace folders {

namespace {

// File systems that hold no user files.
bool isPseudo(const QByteArray &type, const QByteArray &root)
{
    static const QList<QByteArray> kPseudo = {"proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "mqueue",
                                              "securityfs", "pstore", "debugfs", "tracefs", "configfs", "fusectl",
                                              "bpf", "autofs", "hugetlbfs", "binfmt_misc", "efivarfs", "rpc_pipefs",
                                              "nsfs", "ramfs", "squashfs"};
    if (kPseudo.contains(type))
        return true;
    for (const char *system : {"/proc", "/sys", "/dev", "/run", "/boot/efi", "/snap"})
        if (root == system || root.startsWith(QByteArray(system) + '/'))
            return !root.startsWith("/run/media/");
    return false;
}

enum class Kind { Files, Folders };

std::optional<QList<Entry>> list(const QByteArray &folder, Kind kind, QString *error)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    const int fd = ::dirfd(dir);
    QList<Entry> out;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name.startsWith('.'))
            continue; // hidden, and the . and .. entries
        if (kind == Kind::Files && !(name.size() > 4 && name.right(4).toLower() == ".ico"))
            continue;
        bool isDir = e->d_type == DT_DIR, isFile = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st{};
            if (::fstatat(fd, e->d_name, &st, 0) != 0)
                continue; // a dangling link
            isDir = S_ISDIR(st.st_mode);
            isFile = S_ISREG(st.st_mode);
        }
        if (kind == Kind::Files ? isFile : isDir)
            out.append({name, display(name)});
    }
    ::closedir(dir);
    std::sort(out.begin(), out.end(), [](const Entry &a, const Entry &b) {
        const int c = a.display.compare(b.display, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return out;
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
        if ((path == v.root || path.startsWith(v.root.endsWith('/') ? v.root : v.root + '/')) &&
            v.root.size() > best.size())
            best = v.root;
    return best;
}

std::optional<QList<Entry>> iconFiles(const QByteArray &folder, QString *error)
{
    return list(folder, Kind::Files, error);
}

std::optional<QList<Entry>> subfolders(const QByteArray &folder, QString *error)
{
    return list(folder, Kind::Folders, error);
}

QByteArray parent(const QByteArray &folder)
{
    return bytepath::folderOf(bytepath::cleaned(folder));
}

QString display(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

} // namespace folders
