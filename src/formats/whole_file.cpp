#include "formats/whole_file.h"

#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    // QSaveFile::commit() can miss an error of its own buffered flush (a full
    // disk, a file-size limit) and rename a short file over the good one, so
    // flush and check the size before committing.
    if (ok && (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size())) {
        ok = false;
        file.cancelWriting();
    }
    if (ok)
        ok = file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

int openPlainFile(const QByteArray &nativePath)
{
    if (nativePath.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st
    { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISREG(st.st_mode) || st.st_mode == 0 ? errno : EINVAL;
        ::close(fd);
        errno = err;
        return -1;
    }
    // Plain files ignore the flag; cleared all the same for readers that test it.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

namespace {

// Up to `most` bytes from the start; nothing on a read error.
std::optional<QByteArray> readUpTo(int fd, qint64 most)
{
    QByteArray bytes;
    bytes.resize(qsizetype(most));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += n;
    }
    bytes.resize(done);
    return bytes;
}

} // namespace

std::optional<QByteArray> readPlainFile(const QByteArray &nativePath, qint64 maxBytes)
{
    const int fd = openPlainFile(nativePath);
    if (fd < 0)
        return std::nullopt;
    struct stat st
    { };
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &st) == 0 && st.st_size <= maxBytes) {
        bytes = readUpTo(fd, st.st_size);
        // A file that changed size meanwhile is not read whole.
        if (bytes && bytes->size() != st.st_size)
            bytes.reset();
    }
    ::close(fd);
    return bytes;
}

std::optional<QByteArray> readPlainFileStart(const QByteArray &nativePath, qint64 bytes)
{
    const int fd = openPlainFile(nativePath);
    if (fd < 0)
        return std::nullopt;
    auto head = readUpTo(fd, bytes);
    ::close(fd);
    return head;
}
