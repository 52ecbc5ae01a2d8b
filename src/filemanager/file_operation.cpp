#include "filemanager/file_operation.h"

#include "filemanager/byte_paths.h"
#include "filemanager/trash_can.h"
#include "filemanager/verified_copy.h"
#include "platform/file_operation_prompts.h"

#include <QByteArrayList>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace bytepath;

constexpr int kFailed = 1;

// Begin and end around the operation, a step before each listed entry.
class Progress
{
public:
    Progress(FileOperationPrompts &prompts, int flags, int total)
        : prompts_(prompts)
        , shown_(!(flags & FileOperation::Silent))
        , names_(!(flags & FileOperation::SimpleProgress))
    {
        if (shown_)
            prompts_.progressBegin(total, names_);
    }
    ~Progress()
    {
        if (shown_)
            prompts_.progressEnd();
    }
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    // False once the user has cancelled.
    bool step(int index, const Path &entry)
    {
        return !shown_ || prompts_.progressStep(index, names_ ? shown(nameOf(entry)) : QString());
    }

private:
    FileOperationPrompts &prompts_;
    bool shown_;
    bool names_;
};

// One call of the operation: its arguments, the "Yes to All" answer, and the
// reason it stopped.
class Run
{
public:
    Run(FileOperationPrompts &prompts, int code, int flags)
        : prompts_(prompts)
        , code_(code)
        , flags_(flags)
        , started_(now())
    {
    }

    bool perform(const QByteArray &from, const QByteArray &to)
    {
        if (code_ != FileOperation::Move && code_ != FileOperation::Copy && code_ != FileOperation::Delete)
            return fail(QStringLiteral("Unknown file operation %1.").arg(code_));
        QByteArrayList sources;
        if (!parseSources(from, sources))
            return false;
        if (code_ == FileOperation::Delete)
            return remove(sources);
        Path folder;
        if (!destinationFolder(to, folder))
            return false;
        return transfer(sources, folder);
    }

    QString error;
    bool cancelled = false; // stopped by the user's answer, not by a fault

private:
    enum class Landing { Fresh, Replace, Merge, Skip, Stop };

    bool fail(const QString &reason)
    {
        error = reason;
        return false;
    }
    bool cancel(const QString &reason)
    {
        cancelled = true;
        return fail(reason);
    }
    // `what` and the path, then what the system said.
    bool failSystem(const QString &what, const Path &path) { return fail(systemError(what, path)); }
    const char *verb() const { return code_ == FileOperation::Move ? "move" : "copy"; }

    bool parseSources(const QByteArray &from, QByteArrayList &sources)
    {
        if (!from.endsWith(QByteArray("\0\0", 2)))
            return fail(QStringLiteral("The list of files does not end with two NUL bytes."));
        const QByteArray body = from.left(from.size() - 2);
        if (body.isEmpty())
            return fail(QStringLiteral("The list of files is empty."));
        for (const QByteArray &entry : body.split('\0')) {
            if (entry.isEmpty())
                return fail(QStringLiteral("The list of files has an empty entry."));
            const Path path = cleaned(entry);
            const Path name = nameOf(path);
            if (!path.startsWith('/'))
                return fail(QStringLiteral("Not a full path: %1").arg(shown(entry)));
            if (name.isEmpty() || name == "." || name == "..")
                return fail(QStringLiteral("Not the path of a file or folder: %1").arg(shown(entry)));
            sources << path;
        }
        return true;
    }

    bool destinationFolder(const QByteArray &to, Path &folder)
    {
        const qsizetype end = to.indexOf('\0');
        folder = cleaned(end < 0 ? to : to.left(end));
        if (folder.isEmpty())
            return fail(QStringLiteral("No destination folder was given."));
        if (!folder.startsWith('/'))
            return fail(QStringLiteral("The destination folder is not a full path: %1").arg(shown(folder)));
        struct stat st;
        if (::stat(folder.constData(), &st) == 0) {
            return S_ISDIR(st.st_mode)
                || fail(QStringLiteral("The destination is not a folder: %1").arg(shown(folder)));
        }
        if (errno != ENOENT)
            return failSystem(QStringLiteral("Cannot reach the destination folder"), folder);
        // There is no question for making it, so without leave to make it this is the end.
        if (!(flags_ & FileOperation::NoConfirmMkdir))
            return fail(QStringLiteral("The destination folder does not exist: %1").arg(shown(folder)));
        return makeFolders(folder, 0777) || failSystem(QStringLiteral("Cannot create the destination folder"), folder);
    }

    bool transfer(const QByteArrayList &sources, const Path &folder)
    {
        Progress progress(prompts_, flags_, int(sources.size()));
        for (int i = 0; i < sources.size(); ++i) {
            const Path &source = sources[i];
            if (!progress.step(i, source))
                return cancel(QStringLiteral("Cancelled before %1.").arg(shown(source)));
            if (!notInsideItself(source, folder))
                return false;
            const Path target = joined(folder, nameOf(source));
            if (!(code_ == FileOperation::Move ? moveEntry(source, target) : copyEntry(source, target)))
                return false;
        }
        return true;
    }

    // A folder copied into itself would never end; for a move, the system's own
    // refusal (EINVAL) would say too little.
    bool notInsideItself(const Path &source, const Path &folder)
    {
        struct stat st;
        if (::lstat(source.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return true;
        const Path real = realPath(source);
        const Path into = realPath(folder);
        if (!real.isEmpty() && (into == real || into.startsWith(real + '/')))
            return fail(QStringLiteral("Cannot %1 the folder %2 into itself.").arg(verb(), shown(source)));
        return true;
    }

    // What happens where `source` (described by `s`) would land: a free name
    // (the numbered one with RenameOnCollision), a confirmed replace, a merge
    // of two folders, a skip the user chose, or a stop with the reason set.
    Landing land(const struct stat &s, Path &target)
    {
        struct stat t;
        if (::lstat(target.constData(), &t) != 0) {
            if (errno == ENOENT)
                return Landing::Fresh;
            failSystem(QStringLiteral("Cannot look at"), target);
            return Landing::Stop;
        }
        const bool same = t.st_dev == s.st_dev && t.st_ino == s.st_ino;
        if (same && code_ == FileOperation::Move) {
            fail(QStringLiteral("Cannot move %1 onto itself: they are the same file.").arg(shown(target)));
            return Landing::Stop;
        }
        if (flags_ & FileOperation::RenameOnCollision) {
            // Also a copy into its own folder: it becomes "name (2).ext".
            for (int n = 2; n <= kMostNumbered; ++n) {
                const Path candidate = joined(folderOf(target), numbered(nameOf(target), n));
                if (::lstat(candidate.constData(), &t) != 0 && errno == ENOENT) {
                    target = candidate;
                    return Landing::Fresh;
                }
            }
            fail(QStringLiteral("No free name is left for %1.").arg(shown(target)));
            return Landing::Stop;
        }
        if (same) {
            fail(QStringLiteral("Cannot copy %1 onto itself.").arg(shown(target)));
            return Landing::Stop;
        }
        if (S_ISDIR(s.st_mode) && S_ISDIR(t.st_mode))
            return Landing::Merge;
        if (S_ISDIR(s.st_mode) || S_ISDIR(t.st_mode)) {
            fail(QStringLiteral("Cannot replace %1: one is a folder, the other a file.").arg(shown(target)));
            return Landing::Stop;
        }
        if (!(flags_ & FileOperation::NoConfirmation) && !replaceAll_) {
            switch (prompts_.confirmReplace(shown(target))) {
            case FileOperationPrompts::Answer::Yes: break;
            case FileOperationPrompts::Answer::YesToAll: replaceAll_ = true; break;
            case FileOperationPrompts::Answer::No: return Landing::Skip;
            case FileOperationPrompts::Answer::Cancel:
                cancel(QStringLiteral("Cancelled at %1.").arg(shown(target)));
                return Landing::Stop;
            }
        }
        return Landing::Replace;
    }

    // What a copy reads: a link to a file stands for the file, as the window
    // lists it; a link to a folder is not followed (it could lead in circles).
    bool lookAt(const Path &source, struct stat &s)
    {
        if (::stat(source.constData(), &s) != 0)
            return failSystem(QStringLiteral("Cannot read"), source);
        if (S_ISDIR(s.st_mode) && isLink(source))
            return fail(
                QStringLiteral("%1 is a link to a folder; links to folders are not followed.").arg(shown(source)));
        if (!S_ISDIR(s.st_mode) && !S_ISREG(s.st_mode))
            return fail(QStringLiteral("%1 is neither a file nor a folder.").arg(shown(source)));
        return true;
    }

    bool copyEntry(const Path &source, Path target)
    {
        struct stat s;
        if (!lookAt(source, s))
            return false;
        switch (land(s, target)) {
        case Landing::Skip: return true;
        case Landing::Stop: return false;
        case Landing::Merge: return eachChild(source, target, &Run::copyEntry);
        case Landing::Fresh: return copyAs(source, s, target, false);
        case Landing::Replace: return copyAs(source, s, target, true);
        }
        return false;
    }

    // `target` is free, or (a file, with `replace`) to be replaced.
    bool copyAs(const Path &source, const struct stat &s, const Path &target, bool replace)
    {
        if (S_ISREG(s.st_mode))
            return copyFile(source, target, replace);
        // Owner access until filled, whatever the source folder allows.
        if (::mkdir(target.constData(), (s.st_mode & 0777) | S_IRWXU) != 0)
            return failSystem(QStringLiteral("Cannot create the folder"), target);
        return eachChild(source, target, &Run::copyEntry);
    }

    // copyEntry or moveEntry for everything in the folder, in name order.
    bool eachChild(const Path &source, const Path &target, bool (Run::*entry)(const Path &, Path))
    {
        QByteArrayList names;
        if (!listNames(source, names))
            return failSystem(QStringLiteral("Cannot list the folder"), source);
        for (const Path &name : names) {
            if (!(this->*entry)(joined(source, name), joined(target, name)))
                return false;
        }
        return true;
    }

    // Written under a temporary name beside the target, synced, compared with
    // the source, then renamed into place: the target is at every moment the
    // old file, the new one, or absent.
    bool copyFile(const Path &source, const Path &target, bool replace)
    {
        // Non-blocking, so that a pipe put in the file's place cannot hold the operation up.
        const Fd in(::open(source.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat s;
        if (in.get() < 0 || ::fstat(in.get(), &s) != 0)
            return failSystem(QStringLiteral("Cannot read"), source);
        if (!S_ISREG(s.st_mode))
            return fail(QStringLiteral("%1 is neither a file nor a folder.").arg(shown(source)));
        // What a copy killed part-way left in this folder earlier goes first.
        const Path folder = folderOf(target);
        if (!cleaned_.contains(folder)) {
            cleaned_.insert(folder);
            removeLeftovers(folder, started_);
        }
        return writeVerifiedCopy(in.get(), s, source, target, replace, error);
    }

    // Move moves the file the list shows. A link is listed as the file it
    // points to, so a link to a file is moved as a copy of that file's bytes,
    // verified, and the link is removed only then; the file it points to stays
    // where it is. A plain rename would carry the link itself, which may then
    // point nowhere from its new folder. A folder holding links moves entry by
    // entry for the same reason. Copy, and a move across file systems, do the same.
    bool moveEntry(const Path &source, Path target)
    {
        struct stat s;
        if (::lstat(source.constData(), &s) != 0)
            return failSystem(QStringLiteral("Cannot find"), source);
        if (S_ISLNK(s.st_mode))
            return moveLinkedFile(source, target);
        const Landing landing = land(s, target);
        switch (landing) {
        case Landing::Skip: return true;
        case Landing::Stop: return false;
        case Landing::Merge: return moveChildren(source, target);
        case Landing::Fresh:
        case Landing::Replace: break;
        }
        const bool replace = landing == Landing::Replace;
        if (S_ISDIR(s.st_mode) && holdsLink(source)) {
            // Made with owner access until filled, as a copy does.
            if (::mkdir(target.constData(), (s.st_mode & 0777) | S_IRWXU) != 0)
                return failSystem(QStringLiteral("Cannot create the folder"), target);
            if (!moveChildren(source, target))
                return false;
            ::chmod(target.constData(), s.st_mode & 07777);
            return true;
        }
        if ((replace ? ::rename(source.constData(), target.constData()) : renameNoReplace(source, target)) == 0) {
            syncFolder(folderOf(target));
            syncFolder(folderOf(source));
            return true;
        }
        if (errno != EXDEV)
            return failSystem(QStringLiteral("Cannot move %1 to").arg(shown(source)), target);
        return copyThenRemove(source, target, replace);
    }

    // The source is a link: its target's bytes land at `target`, then the link goes.
    bool moveLinkedFile(const Path &source, Path target)
    {
        struct stat s;
        if (!lookAt(source, s)) // a link to nothing, to a folder or to a special file
            return false;
        // The file the link points to may be the very file at the destination:
        // renaming the link over it would leave a link to itself and lose the bytes.
        const Landing landing = land(s, target);
        switch (landing) {
        case Landing::Skip: return true;
        case Landing::Stop: return false;
        case Landing::Merge: return fail(QStringLiteral("Cannot move %1.").arg(shown(source)));
        case Landing::Fresh:
        case Landing::Replace: break;
        }
        if (!copyFile(source, target, landing == Landing::Replace))
            return false;
        if (::unlink(source.constData()) != 0)
            return failSystem(QStringLiteral("Copied, but cannot remove the link"), source);
        syncFolder(folderOf(source));
        return true;
    }

    // Whether a link lies anywhere inside the folder.
    static bool holdsLink(const Path &folder)
    {
        return ::nftw(
                   folder.constData(),
                   [](const char *, const struct stat *st, int type, struct FTW *) {
                       return type == FTW_SL || type == FTW_SLN || S_ISLNK(st->st_mode) ? 1 : 0;
                   },
                   16, FTW_PHYS)
            == 1;
    }

    // Across file systems a move is a copy; the source goes only once the copy is whole.
    bool copyThenRemove(const Path &source, const Path &target, bool replace)
    {
        struct stat s;
        if (!lookAt(source, s) || !copyAs(source, s, target, replace))
            return false;
        if (!removeTree(source))
            return failSystem(QStringLiteral("Copied, but cannot remove"), source);
        return true;
    }

    bool moveChildren(const Path &source, const Path &target)
    {
        if (!eachChild(source, target, &Run::moveEntry))
            return false;
        // What the user chose to skip stays in the source folder, and so does the folder.
        if (::rmdir(source.constData()) != 0 && errno != ENOTEMPTY && errno != EEXIST)
            return failSystem(QStringLiteral("Cannot remove the folder"), source);
        return true;
    }

    bool remove(const QByteArrayList &sources)
    {
        const bool toTrash = flags_ & FileOperation::AllowUndo;
        if (!(flags_ & FileOperation::NoConfirmation)) {
            QStringList names;
            for (const Path &source : sources)
                names << shown(source);
            if (!prompts_.confirmDelete(names, toTrash))
                return cancel(QStringLiteral("The delete was cancelled; nothing was removed."));
        }
        Progress progress(prompts_, flags_, int(sources.size()));
        for (int i = 0; i < sources.size(); ++i) {
            const Path &source = sources[i];
            if (!progress.step(i, source))
                return cancel(QStringLiteral("Cancelled before %1.").arg(shown(source)));
            struct stat st;
            if (::lstat(source.constData(), &st) != 0)
                return failSystem(QStringLiteral("Cannot find"), source);
            if (toTrash) {
                if (!trash(source))
                    return false;
            } else if (!removeTree(source)) {
                return failSystem(QStringLiteral("Cannot remove"), source);
            }
        }
        return true;
    }

    // Into the trash beside its record; from another file system the file is
    // copied there (verified) and then removed.
    bool trash(const Path &source)
    {
        trashcan::Slot slot;
        if (!trashcan::claim(source, slot, error))
            return false;
        const Path &target = slot.file;
        if (renameNoReplace(source, target) != 0) {
            if (errno != EXDEV)
                return failSystem(QStringLiteral("Cannot move to the trash:"), source);
            struct stat s;
            if (!lookAt(source, s))
                return false;
            if (!copyAs(source, s, target, false)) {
                if (S_ISDIR(s.st_mode))
                    removeTree(target); // the part-made copy; the source is whole
                return false;
            }
            if (!removeTree(source)) {
                slot.keep(); // the whole copy is in the trash and stays there, with its record
                return failSystem(QStringLiteral("Copied to the trash, but cannot remove"), source);
            }
        }
        slot.keep();
        syncFolder(folderOf(target));
        syncFolder(folderOf(source));
        return true;
    }

    FileOperationPrompts &prompts_;
    const int code_;
    const int flags_;
    const struct timespec started_;
    bool replaceAll_ = false; // "Yes to All" holds for the rest of this call
    QSet<Path> cleaned_;      // folders already rid of leftover copies in this call
};

} // namespace

FileOperation::FileOperation(FileOperationPrompts &prompts)
    : prompts_(prompts)
{
}

int FileOperation::SHFileOperation(int code, const QByteArray &from, const QByteArray &to, int flags)
{
    // The progress dialog runs the event loop, so the window may call again
    // before this call is over.
    if (running_) {
        lastError_ = QStringLiteral("Another file operation is still running.");
        return kFailed;
    }
    running_ = true;
    Run run(prompts_, code, flags);
    const bool ok = run.perform(from, to);
    running_ = false;
    lastError_ = run.error;
    if (!ok && !run.cancelled)
        prompts_.reportFailure(run.error);
    return ok ? 0 : kFailed;
}

QString FileOperation::lastError() const { return lastError_; }
