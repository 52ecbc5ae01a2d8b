#pragma once
// File system work on paths kept as the system's own bytes (any bytes but
// NUL), so names that are not valid text survive: path arithmetic, whole
// reads and writes, comparison, renames that never replace, folders, the trash.

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <sys/types.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace bytepath {

using Path = QByteArray;

// For showing to the user.
QString shown(const Path &path);

// "//x//y/" -> "/x/y": the window joins folder and name itself, so a folder
// at "/" gives doubled separators.
Path cleaned(const Path &path);

// The last part, the folder above it ("/" for "/" itself), and folder + "/" +
// name without doubling the separator of a folder like "/".
Path nameOf(const Path &path);
Path folderOf(const Path &path);
Path joined(const Path &folder, const Path &name);

// "a.ico" -> "a (2).ico"; a name without an extension (or a dot file) gets the number at the end.
Path numbered(const Path &name, int n);
// The highest number tried before a folder counts as having no free name.
constexpr int kMostNumbered = 9999;

// "<what> <path>: <what the system said of errno>".
QString systemError(const QString &what, const Path &path);

bool isLink(const Path &path);

// The longest name a folder entry may have on the file systems in use (NAME_MAX).
constexpr qsizetype kMostNameBytes = 255;

// `name` cut to at most `bytes` bytes, keeping its extension (up to 16 bytes)
// and never cutting a UTF-8 character in two.
Path shortened(const Path &name, qsizetype bytes);

// The hidden name a copy is written under before it is renamed into place:
// "." + (the start of) the target's name + ".tessarel-" + six letters or digits.
Path temporaryPattern(const Path &target);
// True for a name of that form: a leftover of a copy that never finished.
bool isTemporaryName(const char *name);

// Removes the entry `name` of the open folder `dirFd` when it is a leftover
// copy of this program: a temporary name as above, a plain file of this user,
// last changed before `before` and not locked by a copy still writing it.
// A copy in progress holds a lock on its temporary file until it is renamed.
bool removeLeftover(int dirFd, const char *name, const struct timespec &before);
// The same for every entry of a folder.
void removeLeftovers(const Path &folder, const struct timespec &before);
// The time now, for `before`.
struct timespec now();

// Reads until `size` bytes or the end of the file; -1 on an error (errno set).
ssize_t readAt(int fd, char *buffer, size_t size, off_t offset);

bool writeAll(int fd, const char *data, size_t size);

// 1 when both files hold the same bytes, 0 when they differ, -1 on a read error.
int compareFiles(int a, int b, std::vector<char> &bufferA, std::vector<char> &bufferB);

// rename(2) that never replaces what appeared at `to` since it was looked at.
// File systems without RENAME_NOREPLACE get a look just before instead.
int renameNoReplace(const Path &from, const Path &to);

// Makes a rename durable. Some file systems cannot sync a folder; the rename
// itself has happened by then, so that is no failure.
void syncFolder(const Path &folder);

bool makeFolders(const Path &path, mode_t mode);

// rm -r: links are removed, never followed.
bool removeTree(const Path &path);

bool listNames(const Path &folder, QByteArrayList &names);

Path realPath(const Path &path);

// The freedesktop trash of this user: $XDG_DATA_HOME/Trash, by default ~/.local/share/Trash.
Path trashFolder();

class Fd
{
public:
    explicit Fd(int fd)
        : fd_(fd)
    {
    }
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    void reset(int fd)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closed by hand where a late write error reported by close() matters.
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// Unlinks a file of ours that has not been put in place, on every way out.
struct Unlinker
{
    Path path;
    ~Unlinker()
    {
        if (!path.isEmpty())
            ::unlink(path.constData());
    }
};

} // namespace bytepath
