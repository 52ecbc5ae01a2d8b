#include "filemanager/verified_copy.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace bytepath {

namespace {

constexpr size_t kChunk = 1 << 20; // memory per buffer, whatever the file size

bool failed(QString &error, const QString &reason)
{
    error = reason;
    return false;
}

} // namespace

bool writeVerifiedCopy(int in, const struct stat &s, const Path &source, const Path &target, bool replace,
                       QString &error)
{
    const Path folder = folderOf(target);
    Path temporary;
    int fd = -1;
    Fd lock(-1);
    for (int tries = 0; fd < 0; ++tries) {
        temporary = temporaryPattern(target);
        fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (fd < 0)
            return failed(error, systemError(QStringLiteral("Cannot write in"), folder));
        // A lock of its own, held until the copy is in place, tells a
        // cleaner that this temporary file is still being written.
        lock.reset(::open(temporary.constData(), O_RDONLY | O_CLOEXEC));
        struct stat mine;
        if (lock.get() >= 0 && ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &mine) == 0
            && mine.st_nlink > 0)
            break;
        // A cleaner took it between its making and the lock: another name.
        ::unlink(temporary.constData());
        ::close(fd);
        fd = -1;
        if (tries == 10)
            return failed(error,
                          QStringLiteral("Cannot write in %1: its temporary file keeps vanishing.").arg(shown(folder)));
    }
    Fd out(fd);
    Unlinker leftover{temporary};

    std::vector<char> buffer(kChunk);
    for (off_t at = 0;;) {
        const ssize_t n = readAt(in, buffer.data(), buffer.size(), at);
        if (n < 0)
            return failed(error, systemError(QStringLiteral("Cannot read"), source));
        if (n == 0)
            break;
        if (!writeAll(out.get(), buffer.data(), size_t(n)))
            return failed(error, systemError(QStringLiteral("Cannot write"), target));
        at += n;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, s.st_mtim};
    if (::fchmod(out.get(), s.st_mode & 0777) != 0 || ::futimens(out.get(), times) != 0 || ::fsync(out.get()) != 0)
        return failed(error, systemError(QStringLiteral("Cannot write"), target));
    std::vector<char> check(kChunk);
    switch (compareFiles(in, out.get(), buffer, check)) {
    case 1: break;
    case 0:
        return failed(error,
                      QStringLiteral("The copy of %1 differs from it (was it changed meanwhile?).").arg(shown(source)));
    default: return failed(error, systemError(QStringLiteral("Cannot check the copy"), target));
    }
    if (!out.close())
        return failed(error, systemError(QStringLiteral("Cannot write"), target));
    if ((replace ? ::rename(temporary.constData(), target.constData()) : renameNoReplace(temporary, target)) != 0)
        return failed(error, systemError(QStringLiteral("Cannot put the copy in place at"), target));
    leftover.path.clear();
    syncFolder(folderOf(target));
    return true;
}

} // namespace bytepath
