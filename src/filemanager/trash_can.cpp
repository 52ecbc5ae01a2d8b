#include "filemanager/trash_can.h"

#include <QDateTime>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trashcan {

using namespace bytepath;

namespace {

// The name in the trash for the n-th try: the file's own name, numbered
// from the second try on. A name too long to take ".trashinfo" (a legal
// name of 246-255 bytes) is shortened; any unique name will do, as the
// record's Path= keeps the real one for putting it back.
Path trashName(const Path &name, int n)
{
    static const Path kInfo = ".trashinfo";
    const qsizetype most = kMostNameBytes - kInfo.size();
    const Path plain = n == 1 ? name : numbered(name, n);
    if (plain.size() <= most)
        return plain;
    const Path tag = " (" + Path::number(n) + ")";
    const Path cut = shortened(name, most - tag.size());
    return n == 1 ? cut : numbered(cut, n);
}

} // namespace

bool claim(const Path &source, Slot &slot, QString &error)
{
    const Path folder = trashFolder();
    if (folder.isEmpty()) {
        error = QStringLiteral("There is no trash: neither XDG_DATA_HOME nor HOME is set.");
        return false;
    }
    const Path files = folder + "/files";
    const Path info = folder + "/info";
    if (!makeFolders(files, 0700) || !makeFolders(info, 0700)) {
        error = systemError(QStringLiteral("Cannot make the trash folder"), folder);
        return false;
    }
    Path name;
    int fd = -1;
    for (int n = 1; fd < 0; ++n) {
        if (n > kMostNumbered) {
            error = QStringLiteral("No free name is left in the trash for %1.").arg(shown(source));
            return false;
        }
        name = trashName(nameOf(source), n);
        struct stat st;
        if (::lstat(joined(files, name).constData(), &st) == 0)
            continue;
        const Path infoPath = joined(info, name + ".trashinfo");
        fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) {
            error = systemError(QStringLiteral("Cannot write in the trash folder"), info);
            return false;
        }
        if (fd >= 0)
            slot.record.path = infoPath;
    }
    Fd infoFile(fd);
    const QByteArray text = "[Trash Info]\nPath=" + source.toPercentEncoding("/") + "\nDeletionDate="
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + '\n';
    if (!writeAll(fd, text.constData(), size_t(text.size())) || ::fsync(fd) != 0 || !infoFile.close()) {
        error = systemError(QStringLiteral("Cannot write"), slot.record.path);
        return false;
    }
    slot.file = joined(files, name);
    return true;
}

} // namespace trashcan
