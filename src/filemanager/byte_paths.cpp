#include "filemanager/byte_paths.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace bytepath {

QString shown(const Path &path) { return QFile::decodeName(path); }

QString systemError(const QString &what, const Path &path)
{
    const int err = errno;
    return QStringLiteral("%1 %2: %3").arg(what, shown(path), QString::fromLocal8Bit(std::strerror(err)));
}

// "//x//y/" -> "/x/y": the window joins folder and name itself, so a folder
// at "/" gives doubled separators.
Path cleaned(const Path &path)
{
    Path out;
    out.reserve(path.size());
    for (const char c : path) {
        if (c != '/' || !out.endsWith('/'))
            out.append(c);
    }
    if (out.size() > 1 && out.endsWith('/'))
        out.chop(1);
    return out;
}

Path nameOf(const Path &path) { return path.mid(path.lastIndexOf('/') + 1); }

Path folderOf(const Path &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? Path("/") : path.left(slash);
}

Path joined(const Path &folder, const Path &name) { return folder.endsWith('/') ? folder + name : folder + '/' + name; }

// "a.ico" -> "a (2).ico"; a name without an extension (or a dot file) gets the number at the end.
Path numbered(const Path &name, int n)
{
    const Path tag = " (" + Path::number(n) + ")";
    const qsizetype dot = name.lastIndexOf('.');
    return dot <= 0 ? name + tag : name.left(dot) + tag + name.mid(dot);
}

bool isLink(const Path &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

Path shortened(const Path &name, qsizetype bytes)
{
    if (name.size() <= bytes)
        return name;
    const qsizetype dot = name.lastIndexOf('.');
    const Path extension = dot > 0 && name.size() - dot <= 16 && name.size() - dot < bytes ? name.mid(dot) : Path();
    qsizetype keep = bytes - extension.size();
    // Back to the start of a character: continuation bytes are 10xxxxxx.
    while (keep > 0 && (quint8(name[keep]) & 0xC0) == 0x80)
        --keep;
    return name.left(keep) + extension;
}

namespace {
constexpr char kTemporaryTag[] = ".tessarel-";
constexpr qsizetype kTemporaryTagBytes = sizeof kTemporaryTag - 1;
constexpr qsizetype kTemporaryUnique = 6; // mkostemp's XXXXXX
} // namespace

Path temporaryPattern(const Path &target)
{
    // Short enough for any file system's name limit.
    return joined(folderOf(target), "." + shortened(nameOf(target), 200) + kTemporaryTag + "XXXXXX");
}

bool isTemporaryName(const char *name)
{
    const qsizetype size = qsizetype(std::strlen(name));
    if (name[0] != '.' || size < 2 + kTemporaryTagBytes + kTemporaryUnique)
        return false;
    const char *unique = name + size - kTemporaryUnique;
    if (std::memcmp(unique - kTemporaryTagBytes, kTemporaryTag, size_t(kTemporaryTagBytes)) != 0)
        return false;
    for (qsizetype i = 0; i < kTemporaryUnique; ++i) {
        const char c = unique[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

static bool earlier(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

bool removeLeftover(int dirFd, const char *name, const struct timespec &before)
{
    if (!isTemporaryName(name))
        return false;
    const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const Fd file(fd);
    struct stat st, now;
    // The status change time cannot be set by hand: a copy still writing keeps it recent.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || !earlier(st.st_ctim, before))
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false; // a copy is still at work on it
    // Still the same file under that name (not renamed into place meanwhile).
    if (::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino)
        return false;
    return ::unlinkat(dirFd, name, 0) == 0;
}

void removeLeftovers(const Path &folder, const struct timespec &before)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            removeLeftover(::dirfd(dir), entry->d_name, before);
    }
    ::closedir(dir);
}

struct timespec now()
{
    struct timespec t
    { };
    ::clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

// Reads until `size` bytes or the end of the file; -1 on an error (errno set).
ssize_t readAt(int fd, char *buffer, size_t size, off_t offset)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// 1 when both files hold the same bytes, 0 when they differ, -1 on a read error.
int compareFiles(int a, int b, std::vector<char> &bufferA, std::vector<char> &bufferB)
{
    struct stat sa, sb;
    if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0)
        return -1;
    if (sa.st_size != sb.st_size)
        return 0;
    for (off_t at = 0;;) {
        const ssize_t n = readAt(a, bufferA.data(), bufferA.size(), at);
        const ssize_t m = readAt(b, bufferB.data(), bufferB.size(), at);
        if (n < 0 || m < 0)
            return -1;
        if (n != m || std::memcmp(bufferA.data(), bufferB.data(), size_t(n)) != 0)
            return 0;
        if (n == 0)
            return 1;
        at += n;
    }
}

// rename(2) that never replaces what appeared at `to` since it was looked at.
// File systems without RENAME_NOREPLACE get a look just before instead.
int renameNoReplace(const Path &from, const Path &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    struct stat st;
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.constData(), to.constData());
}

// Makes a rename durable. Some file systems cannot sync a folder; the rename
// itself has happened by then, so that is no failure.
void syncFolder(const Path &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool makeFolders(const Path &path, mode_t mode)
{
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/')
            continue;
        if (::mkdir(path.left(end).constData(), mode) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

static int removeOne(const char *path, const struct stat *, int, struct FTW *)
{
    return std::remove(path) == 0 ? 0 : -1;
}

// rm -r: links are removed, never followed.
bool removeTree(const Path &path) { return ::nftw(path.constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS) == 0; }

bool listNames(const Path &folder, QByteArrayList &names)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const Path name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    const int err = errno;
    ::closedir(dir);
    errno = err;
    std::sort(names.begin(), names.end());
    return err == 0;
}

Path realPath(const Path &path)
{
    char *real = ::realpath(path.constData(), nullptr);
    const Path out(real);
    std::free(real);
    return out;
}

// The freedesktop trash of this user: $XDG_DATA_HOME/Trash, by default ~/.local/share/Trash.
Path trashFolder()
{
    Path data = qgetenv("XDG_DATA_HOME");
    if (!data.startsWith('/')) {
        const Path home = qgetenv("HOME");
        if (!home.startsWith('/'))
            return {};
        data = home + "/.local/share";
    }
    return cleaned(data + "/Trash");
}

} // namespace bytepath
