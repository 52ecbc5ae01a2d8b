// Copy, move and delete on real files, one test per way they can go wrong.
// After each, what is on disk is compared byte for byte: sources as they
// were, destinations whole or absent, no temporary file left anywhere.

#include "filemanager/file_operation.h"
#include "filemanager/folder_listing.h"

#include "support/file_size_limit.h"
#include "support/scripted_file_operation_prompts.h"
#include "support/tree_snapshot.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <optional>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Path = QByteArray;
using Files = QMap<QByteArray, QByteArray>; // relative name -> content; a folder is "name/" -> ""
using Answer = FileOperationPrompts::Answer;

constexpr int kDefaultFlags = FileOperation::AllowUndo | FileOperation::NoConfirmMkdir; // the window's 576

QByteArray blob(int size, int seed)
{
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = char((unsigned(i) * 131u + unsigned(seed) * 7u + unsigned(i) / 251u) & 0xffu); // no overflow at 50 MB
    return out;
}

void put(const Path &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::fchmod(fd, 0644);
    ::close(fd);
}

void makeFolder(const Path &path) { QCOMPARE(::mkdir(path.constData(), 0755), 0); }

QByteArray contentOf(const Path &path)
{
    QByteArray out;
    const int fd = ::open(path.constData(), O_RDONLY);
    char buffer[65536];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    if (fd >= 0)
        ::close(fd);
    return out;
}

// Everything below `folder`, with names as bytes: a leftover temporary file shows up too.
Files snapshot(const Path &folder, const Path &prefix = {})
{
    Files out;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return out;
    while (const dirent *entry = ::readdir(dir)) {
        const Path name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const Path path = folder + '/' + name;
        struct stat st;
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
            out.insert(prefix + name + '/', {});
            out.insert(snapshot(path, prefix + name + '/'));
        } else {
            out.insert(prefix + name, contentOf(path));
        }
    }
    ::closedir(dir);
    return out;
}

QByteArray list(const QByteArrayList &paths)
{
    QByteArray out;
    for (const Path &p : paths)
        out += p + '\0';
    return out + '\0';
}

// QTemporaryDir cannot remove names that are not UTF-8; this works on bytes.
void removeAll(const Path &folder)
{
    ::nftw(
        folder.constData(), [](const char *path, const struct stat *, int, struct FTW *) { return std::remove(path); },
        16, FTW_DEPTH | FTW_PHYS);
}

bool canCreateIn(const Path &folder)
{
    const Path probe = folder + "/probe";
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.constData());
    return true;
}

// Root passes every permission check; as "nobody" for file access (this
// thread only) a read-only folder is read-only again.
class FileAccessAsNobody
{
public:
    FileAccessAsNobody()
    {
        ::setfsgid(65534);
        ::setfsuid(65534);
    }
    ~FileAccessAsNobody()
    {
        ::setfsuid(0);
        ::setfsgid(0);
    }
};

} // namespace

namespace QTest {
template <> char *toString(const Files &files)
{
    QByteArray text;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        text += it.key().toPercentEncoding("/ ()") + " (" + QByteArray::number(it.value().size()) + " bytes, "
            + QByteArray::number(qHash(it.value())) + ")\n";
    return qstrdup(text.isEmpty() ? "(nothing)" : text.constData());
}
} // namespace QTest

class FileOperationTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dataHome_; // XDG_DATA_HOME, so the trash is a private one
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedFileOperationPrompts> prompts_;
    std::unique_ptr<FileOperation> op_;
    Path src_;
    Path dst_;

    Path root() const { return QFile::encodeName(dir_->path()); }
    static QByteArrayList in(const Path &folder, const QByteArrayList &names)
    {
        QByteArrayList out;
        for (const Path &n : names)
            out << folder + '/' + n;
        return out;
    }
    int run(int code, const QByteArrayList &sources, const Path &to, int flags = kDefaultFlags)
    {
        return op_->SHFileOperation(code, list(sources), to + '\0', flags);
    }
    // a.ico, b.ico, c.ico, ... of different sizes and contents in the source folder.
    Files sources(int count, int size = 100)
    {
        for (int i = 0; i < count; ++i)
            put(src_ + '/' + char('a' + i) + ".ico", blob(size + i, i));
        return snapshot(src_);
    }
    Path trash() const { return QFile::encodeName(dataHome_.path()) + "/Trash"; }

private slots:
    void initTestCase()
    {
        QVERIFY(dataHome_.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome_.path()));
    }

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        src_ = root() + "/src";
        dst_ = root() + "/dst";
        makeFolder(src_);
        makeFolder(dst_);
        prompts_ = std::make_unique<ScriptedFileOperationPrompts>();
        op_ = std::make_unique<FileOperation>(*prompts_);
    }

    void cleanup() { removeAll(root()); }
    void cleanupTestCase() { removeAll(QFile::encodeName(dataHome_.path())); }

    void readOnlyDestinationFolder()
    {
        const Files before = sources(2);
        QCOMPARE(::chmod(dst_.constData(), 0555), 0);
        std::optional<FileAccessAsNobody> nobody;
        if (::geteuid() == 0) {
            // Nobody must still read the sources and may change their folder, so
            // only the destination stands in the way.
            QCOMPARE(::chmod(root().constData(), 0755), 0);
            QCOMPARE(::chmod(src_.constData(), 0777), 0);
            nobody.emplace();
        }
        if (canCreateIn(dst_))
            QSKIP("this process can write in a 0555 folder even as nobody");

        QVERIFY(run(FileOperation::Copy, in(src_, {"a.ico", "b.ico"}), dst_) != 0);
        QVERIFY2(op_->lastError().contains(QStringLiteral("Permission denied")), qPrintable(op_->lastError()));
        QVERIFY(run(FileOperation::Move, in(src_, {"a.ico", "b.ico"}), dst_) != 0);
        nobody.reset();

        QCOMPARE(snapshot(dst_), Files());
        QCOMPARE(snapshot(src_), before);
    }

    void diskFillsPartWay()
    {
        put(src_ + "/a.ico", blob(1000, 1));
        put(src_ + "/b.ico", blob(6000, 2));
        put(src_ + "/c.ico", blob(1000, 3));
        put(dst_ + "/b.ico", "old b");
        const Files before = snapshot(src_);
        int result;
        {
            FileSizeLimit limit(3000);
            QVERIFY(limit.active());
            result = run(FileOperation::Copy, in(src_, {"a.ico", "b.ico", "c.ico"}), dst_,
                         kDefaultFlags | FileOperation::NoConfirmation);
        }
        QVERIFY(result != 0);
        QVERIFY2(op_->lastError().contains(QStringLiteral("b.ico")), qPrintable(op_->lastError()));
        // a arrived whole, the old b was never touched, c was not started.
        QCOMPARE(snapshot(dst_), (Files{{"a.ico", before["a.ico"]}, {"b.ico", "old b"}}));
        QCOMPARE(snapshot(src_), before);
    }

    void moveBetweenFileSystems()
    {
        QTemporaryDir shm(QStringLiteral("/dev/shm/tessarel-XXXXXX"));
        if (!shm.isValid())
            QSKIP("no /dev/shm to move from");
        const Path other = QFile::encodeName(shm.path());
        struct stat a, b;
        QCOMPARE(::stat(other.constData(), &a), 0);
        QCOMPARE(::stat(dst_.constData(), &b), 0);
        if (a.st_dev == b.st_dev)
            QSKIP("/dev/shm and the temporary folder are one file system here");
        put(other + "/a.ico", blob(1000, 1));
        put(other + "/b.ico", blob(6000, 2));
        makeFolder(other + "/set");
        put(other + "/set/x.ico", blob(500, 3));
        const Files before = snapshot(other);

        // The copy of b fails: a is moved, b stays where it was, whole.
        int result;
        {
            FileSizeLimit limit(3000);
            QVERIFY(limit.active());
            result = run(FileOperation::Move, in(other, {"a.ico", "b.ico", "set"}), dst_);
        }
        QVERIFY(result != 0);
        QCOMPARE(snapshot(dst_), (Files{{"a.ico", before["a.ico"]}}));
        Files left = before;
        left.remove("a.ico");
        QCOMPARE(snapshot(other), left);

        QCOMPARE(run(FileOperation::Move, in(other, {"b.ico", "set"}), dst_), 0);
        QCOMPARE(snapshot(dst_), before);
        QCOMPARE(snapshot(other), Files());
    }

    void sourceRemovedBeforeItsTurn()
    {
        const Files before = sources(3);
        QCOMPARE(::unlink((src_ + "/b.ico").constData()), 0);
        const Files present = snapshot(src_);
        const QByteArrayList listed = in(src_, {"a.ico", "b.ico", "c.ico"});

        QVERIFY(run(FileOperation::Copy, listed, dst_) != 0);
        QVERIFY2(op_->lastError().contains(QStringLiteral("b.ico")), qPrintable(op_->lastError()));
        QCOMPARE(snapshot(dst_), (Files{{"a.ico", before["a.ico"]}}));
        QCOMPARE(snapshot(src_), present);

        const Path moved = root() + "/moved";
        QVERIFY(run(FileOperation::Move, listed, moved) != 0);
        QCOMPARE(snapshot(moved), (Files{{"a.ico", before["a.ico"]}}));
        QCOMPARE(snapshot(src_), (Files{{"c.ico", before["c.ico"]}}));
    }

    void cancelAfterTheFirstFile()
    {
        const Files before = sources(3);
        prompts_->stepAnswers = {true, false};
        QVERIFY(run(FileOperation::Copy, in(src_, {"a.ico", "b.ico", "c.ico"}), dst_) != 0);
        QCOMPARE(snapshot(dst_), (Files{{"a.ico", before["a.ico"]}}));
        QCOMPARE(snapshot(src_), before);
        QCOMPARE(prompts_->begins, (std::vector<std::pair<int, bool>>{{3, true}}));
        QCOMPARE(prompts_->steps, (std::vector<std::pair<int, QString>>{{0, "a.ico"}, {1, "b.ico"}}));
        QCOMPARE(prompts_->ends, 1);
        QVERIFY(prompts_->failures.empty()); // the user's own cancel needs no telling

        // Silent shows nothing; simple progress shows no names.
        prompts_->steps.clear();
        QCOMPARE(run(FileOperation::Copy, in(src_, {"b.ico"}), dst_, kDefaultFlags | FileOperation::Silent), 0);
        QVERIFY(prompts_->steps.empty());
        QCOMPARE(run(FileOperation::Copy, in(src_, {"c.ico"}), dst_, kDefaultFlags | FileOperation::SimpleProgress), 0);
        QCOMPARE(prompts_->steps, (std::vector<std::pair<int, QString>>{{0, QString()}}));
        QCOMPARE(prompts_->ends, 2);
        QCOMPARE(snapshot(dst_), before);
    }

    void collisions()
    {
        const Files fresh = sources(4);
        for (const char *name : {"a.ico", "b.ico", "c.ico", "d.ico"})
            put(dst_ + '/' + name, QByteArray("old ") + name);
        const QByteArrayList all = in(src_, {"a.ico", "b.ico", "c.ico", "d.ico"});

        prompts_->replaceAnswers = {Answer::No, Answer::Yes, Answer::YesToAll};
        QCOMPARE(run(FileOperation::Copy, all, dst_), 0);
        const QByteArrayList asked = in(dst_, {"a.ico", "b.ico", "c.ico"});
        QCOMPARE(prompts_->replaceAsked,
                 QStringList({QFile::decodeName(asked[0]), QFile::decodeName(asked[1]), QFile::decodeName(asked[2])}));
        Files expected = fresh;
        expected["a.ico"] = "old a.ico";
        QCOMPARE(snapshot(dst_), expected);

        // Cancel replaces nothing and fails.
        prompts_->replaceAnswers = {Answer::Cancel};
        QVERIFY(run(FileOperation::Copy, in(src_, {"a.ico", "b.ico"}), dst_) != 0);
        QCOMPARE(snapshot(dst_), expected);

        // A free numbered name, without a question; with no confirmation, replaced silently.
        prompts_->replaceAsked.clear();
        QCOMPARE(run(FileOperation::Copy, in(src_, {"a.ico"}), dst_, FileOperation::RenameOnCollision), 0);
        QCOMPARE(run(FileOperation::Copy, in(src_, {"a.ico"}), dst_, FileOperation::RenameOnCollision), 0);
        expected["a (2).ico"] = fresh["a.ico"];
        expected["a (3).ico"] = fresh["a.ico"];
        QCOMPARE(snapshot(dst_), expected);
        QCOMPARE(run(FileOperation::Move, in(src_, {"a.ico"}), dst_, FileOperation::NoConfirmation), 0);
        expected["a.ico"] = fresh["a.ico"];
        QCOMPARE(snapshot(dst_), expected);
        QVERIFY(prompts_->replaceAsked.isEmpty());
        expected = fresh;
        expected.remove("a.ico");
        QCOMPARE(snapshot(src_), expected);
    }

    void ontoItself()
    {
        const Files before = sources(1);
        const QByteArrayList a = in(src_, {"a.ico"});
        QVERIFY(run(FileOperation::Copy, a, src_, kDefaultFlags | FileOperation::NoConfirmation) != 0);
        QVERIFY(run(FileOperation::Move, a, src_, kDefaultFlags | FileOperation::NoConfirmation) != 0);
        QVERIFY(run(FileOperation::Move, a, src_ + "//", FileOperation::RenameOnCollision) != 0);
        // A second name for the same file is the same file.
        QCOMPARE(::link(a[0].constData(), (dst_ + "/a.ico").constData()), 0);
        QVERIFY(run(FileOperation::Copy, a, dst_, kDefaultFlags | FileOperation::NoConfirmation) != 0);
        QCOMPARE(snapshot(src_), before);
        QCOMPARE(snapshot(dst_), before);
        QVERIFY(prompts_->replaceAsked.isEmpty());

        // A copy into its own folder with renaming is a numbered copy beside it.
        QCOMPARE(run(FileOperation::Copy, a, src_, FileOperation::RenameOnCollision), 0);
        QCOMPARE(snapshot(src_), (Files{{"a.ico", before["a.ico"]}, {"a (2).ico", before["a.ico"]}}));

        // A folder into itself, or below itself, would never end.
        makeFolder(src_ + "/set");
        makeFolder(src_ + "/set/sub");
        put(src_ + "/set/x.ico", "x");
        const Files withFolder = snapshot(src_);
        QVERIFY(run(FileOperation::Copy, in(src_, {"set"}), src_ + "/set") != 0);
        QVERIFY(run(FileOperation::Copy, in(src_, {"set"}), src_ + "/set/sub") != 0);
        QVERIFY(run(FileOperation::Move, in(src_, {"set"}), src_ + "/set/sub") != 0);
        QCOMPARE(snapshot(src_), withFolder);
    }

    void deleteWithAndWithoutUndo()
    {
        const Files before = sources(1);
        const Path odd = src_ + "/caf\xe9 x.ico";
        put(odd, "odd");
        makeFolder(src_ + "/set");
        put(src_ + "/set/x.ico", "x");

        const trees::Tree tree = trees::take(root());
        QCOMPARE(run(FileOperation::Delete, {src_ + "/a.ico", odd}, {}, FileOperation::AllowUndo), 0);
        QCOMPARE(trees::lost(root(), tree, trees::take(root()), trash()), QStringList());
        QCOMPARE(int(prompts_->deleteAsked.size()), 1);
        QVERIFY(prompts_->deleteAsked[0].toTrash);
        QCOMPARE(prompts_->deleteAsked[0].files.size(), 2);
        QCOMPARE(snapshot(src_), (Files{{"set/", {}}, {"set/x.ico", "x"}}));
        QCOMPARE(snapshot(trash() + "/files"), (Files{{"a.ico", before["a.ico"]}, {"caf\xe9 x.ico", "odd"}}));
        const QRegularExpression infoForm(QStringLiteral(
            "^\\[Trash Info\\]\nPath=(\\S+)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$"));
        const QByteArray info = contentOf(trash() + "/info/caf\xe9 x.ico.trashinfo");
        const QRegularExpressionMatch match = infoForm.match(QString::fromLatin1(info));
        QVERIFY2(match.hasMatch(), info.constData());
        QVERIFY(match.captured(1).endsWith(QStringLiteral("/src/caf%E9%20x.ico")));
        QCOMPARE(QByteArray::fromPercentEncoding(match.captured(1).toLatin1()), odd);

        // The same name again: the trash keeps both.
        put(src_ + "/a.ico", "second a");
        const trees::Tree again = trees::take(root());
        QCOMPARE(
            run(FileOperation::Delete, {src_ + "/a.ico"}, {}, FileOperation::AllowUndo | FileOperation::NoConfirmation),
            0);
        QCOMPARE(trees::lost(root(), again, trees::take(root()), trash()), QStringList());
        QCOMPARE(contentOf(trash() + "/files/a (2).ico"), QByteArray("second a"));
        QVERIFY(infoForm.match(QString::fromLatin1(contentOf(trash() + "/info/a (2).ico.trashinfo"))).hasMatch());
        const Files trashed = snapshot(trash());

        // Declined: nothing happens, and the call says so.
        prompts_->deleteAnswers = {false};
        QVERIFY(run(FileOperation::Delete, {src_ + "/set"}, {}, 0) != 0);
        QCOMPARE(snapshot(src_), (Files{{"set/", {}}, {"set/x.ico", "x"}}));
        QVERIFY(!prompts_->deleteAsked.back().toTrash);

        // Without undo the folder and its contents are gone, and not in the trash.
        QCOMPARE(run(FileOperation::Delete, {src_ + "/set"}, {}, FileOperation::NoConfirmation), 0);
        QCOMPARE(snapshot(src_), Files());
        QCOMPARE(snapshot(trash()), trashed);
    }

    void namesThatAreNotPlainText()
    {
        put(src_ + "/with space.ico", blob(300, 1));
        put(src_
                + "/\xc4\x89"
                  "apelo.ico",
            blob(300, 2));
        put(src_ + "/caf\xe9 x.ico", blob(300, 3));
        const Files before = snapshot(src_);
        // The window joins a folder at "/" with a separator of its own.
        const QByteArrayList listed = in("/" + src_, before.keys());

        QCOMPARE(run(FileOperation::Copy, listed, dst_ + "/"), 0);
        QCOMPARE(snapshot(dst_), before);
        const Path moved = root() + "/moved/here";
        QCOMPARE(run(FileOperation::Move, listed, moved), 0);
        QCOMPARE(snapshot(moved), before);
        QCOMPARE(snapshot(src_), Files());
    }

    // A Move whose source is a link to the very file at the
    // destination would rename the link over its own target, leaving a link to
    // itself and no bytes. It is refused, as GNU mv refuses it; Copy too.
    void moveOfALinkOntoTheFileItPointsTo()
    {
        put(dst_ + "/same.ico", blob(4000, 1));
        QCOMPARE(::symlink("../dst/same.ico", (src_ + "/same.ico").constData()), 0);
        put(root() + "/elsewhere.ico", blob(300, 2));
        QCOMPARE(::symlink((root() + "/elsewhere.ico").constData(), (src_ + "/abs.ico").constData()), 0);
        QCOMPARE(::symlink((root() + "/elsewhere.ico").constData(), (dst_ + "/abs.ico").constData()), 0);
        QCOMPARE(::link((root() + "/elsewhere.ico").constData(), (dst_ + "/hard.ico").constData()), 0);
        QCOMPARE(::symlink("../dst/hard.ico", (src_ + "/hard.ico").constData()), 0);
        const trees::Tree before = trees::take(root());

        for (int flags : {kDefaultFlags, kDefaultFlags | FileOperation::NoConfirmation,
                          kDefaultFlags | FileOperation::RenameOnCollision}) {
            prompts_->replaceAnswers = {Answer::Yes};
            QVERIFY(run(FileOperation::Move, in(src_, {"same.ico"}), dst_, flags) != 0);
            QVERIFY2(op_->lastError().contains(QStringLiteral("same file")), qPrintable(op_->lastError()));
            // The user is told why, not only that it failed.
            QCOMPARE(prompts_->failures.value(prompts_->failures.size() - 1), op_->lastError());
            // A second name (a hard link) of the file the link points to is the same file too.
            QVERIFY(run(FileOperation::Move, in(src_, {"hard.ico"}), dst_, flags) != 0);
            QCOMPARE(trees::take(root()), before);
        }
        QVERIFY(run(FileOperation::Copy, in(src_, {"same.ico"}), dst_, kDefaultFlags | FileOperation::NoConfirmation)
                != 0);
        QCOMPARE(trees::take(root()), before);

        // Both links point at one file elsewhere: the link at the destination is
        // replaced by the file's bytes, and the file itself stays where it is.
        QCOMPARE(run(FileOperation::Move, in(src_, {"abs.ico"}), dst_, kDefaultFlags | FileOperation::NoConfirmation),
                 0);
        const trees::Tree after = trees::take(root());
        QCOMPARE(after.value("dst/abs.ico").kind, trees::Node::File);
        QCOMPARE(after.value("dst/abs.ico").sha, before.value("elsewhere.ico").sha);
        QVERIFY(!after.contains("src/abs.ico"));
        QCOMPARE(after.value("elsewhere.ico"), before.value("elsewhere.ico"));
        QCOMPARE(trees::lost(root(), before, after), QStringList());
    }

    // One rule for links, whichever way the file travels. Move
    // moves the file the list shows: a link to a file arrives as a plain copy
    // of that file's bytes, verified, and the link goes only then; the file it
    // pointed to stays. A link to nothing is refused, never carried.
    void linksTravelAsTheFilesTheyShow()
    {
        put(src_ + "/plain.ico", blob(3000, 1));
        QCOMPARE(::symlink("plain.ico", (src_ + "/link.ico").constData()), 0);
        QCOMPARE(::symlink("gone.ico", (src_ + "/dangling.ico").constData()), 0);
        makeFolder(src_ + "/set");
        put(src_ + "/set/own.ico", blob(500, 2));
        QCOMPARE(::symlink("../plain.ico", (src_ + "/set/out.ico").constData()), 0);
        QCOMPARE(::symlink("own.ico", (src_ + "/set/in.ico").constData()), 0);
        const trees::Tree before = trees::take(root());
        const QByteArray plain = before.value("src/plain.ico").sha;

        // Copy: the bytes.
        QCOMPARE(run(FileOperation::Copy, in(src_, {"link.ico"}), dst_), 0);
        QCOMPARE(trees::take(dst_).value("link.ico").kind, trees::Node::File);
        QCOMPARE(trees::take(dst_).value("link.ico").sha, plain);
        QCOMPARE(::unlink((dst_ + "/link.ico").constData()), 0);

        // Move: the same file at the destination; the link is gone, its target stays.
        QCOMPARE(run(FileOperation::Move, in(src_, {"link.ico"}), dst_), 0);
        trees::Tree after = trees::take(root());
        QCOMPARE(after.value("dst/link.ico").kind, trees::Node::File);
        QCOMPARE(after.value("dst/link.ico").sha, plain);
        QVERIFY(!after.contains("src/link.ico"));
        QCOMPARE(after.value("src/plain.ico").sha, plain);
        QCOMPARE(trees::lost(root(), before, after), QStringList());

        // A folder holding links moves entry by entry under the same rule:
        // nothing inside points nowhere from its new place.
        QCOMPARE(run(FileOperation::Move, in(src_, {"set"}), dst_), 0);
        after = trees::take(root());
        QCOMPARE(after.value("dst/set/out.ico").kind, trees::Node::File);
        QCOMPARE(after.value("dst/set/out.ico").sha, plain);
        QCOMPARE(after.value("dst/set/in.ico").sha, before.value("src/set/own.ico").sha);
        QCOMPARE(after.value("dst/set/own.ico").sha, before.value("src/set/own.ico").sha);
        QVERIFY(!after.contains("src/set/"));
        QCOMPARE(trees::lost(root(), before, after), QStringList());

        // A link to nothing: refused by Copy and Move, and it stays as it was.
        QVERIFY(run(FileOperation::Move, in(src_, {"dangling.ico"}), dst_) != 0);
        QVERIFY(run(FileOperation::Copy, in(src_, {"dangling.ico"}), dst_) != 0);
        QCOMPARE(trees::take(root()), after);

        // Across file systems: the same result.
        QTemporaryDir shm(QStringLiteral("/dev/shm/tessarel-XXXXXX"));
        if (!shm.isValid())
            QSKIP("no /dev/shm to move across");
        const Path other = QFile::encodeName(shm.path());
        put(other + "/plain.ico", blob(2000, 3));
        QCOMPARE(::symlink("plain.ico", (other + "/far.ico").constData()), 0);
        const trees::Tree farBefore = trees::take(other);
        QCOMPARE(run(FileOperation::Move, in(other, {"far.ico"}), dst_), 0);
        QCOMPARE(trees::take(dst_).value("far.ico").kind, trees::Node::File);
        QCOMPARE(trees::take(dst_).value("far.ico").sha, farBefore.value("plain.ico").sha);
        QVERIFY(!trees::take(other).contains("far.ico"));
        QCOMPARE(trees::take(other).value("plain.ico"), farBefore.value("plain.ico"));
    }

    // A copy killed part-way leaves its hidden temporary file;
    // the next listing of that folder, or the next write into it, removes it.
    // Only this program's own names, of this user, older than the listing or
    // operation and not still being written, are touched.
    void leftoverOfAKilledCopyIsCleanedUp()
    {
        const QByteArray big = blob(50 << 20, 7);
        put(src_ + "/big.ico", big);
        put(src_ + "/small.ico", blob(100, 1));
        const trees::Tree before = trees::take(root());
        auto killedCopy = [&] {
            const pid_t child = ::fork();
            if (child == 0) {
                // Killed by the system half-way through writing the copy.
                struct rlimit limit
                {
                    25 << 20, 25 << 20
                };
                ::setrlimit(RLIMIT_FSIZE, &limit);
                std::signal(SIGXFSZ, SIG_DFL);
                ScriptedFileOperationPrompts prompts;
                FileOperation op(prompts);
                op.SHFileOperation(FileOperation::Copy, list({src_ + "/big.ico"}), dst_ + '\0' + '\0',
                                   kDefaultFlags | FileOperation::Silent);
                ::_exit(0);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
        };
        auto leftovers = [&] {
            QByteArrayList out;
            for (const QByteArray &name : trees::take(dst_).keys())
                if (name.contains(".tessarel-"))
                    out << name;
            return out;
        };

        QVERIFY(killedCopy());
        QCOMPARE(leftovers().size(), 1);
        QCOMPARE(trees::lost(root(), before, trees::take(root())), QStringList());

        // Names that only look alike, a file of another user, and a temporary
        // file a copy is still writing (it holds a lock) all stay.
        put(dst_ + "/.notes.tessarel-abc", "not ours");
        put(dst_ + "/.x.ico.tessarel-ABC12_", "not ours");
        put(dst_ + "/.y.ico.tessarel-Abc123", "another user's");
        const bool asRoot = ::geteuid() == 0; // only root can give a file away
        if (asRoot)
            QCOMPARE(::chown((dst_ + "/.y.ico.tessarel-Abc123").constData(), 65534, 65534), 0);
        else
            QCOMPARE(::unlink((dst_ + "/.y.ico.tessarel-Abc123").constData()), 0);
        put(dst_ + "/.z.ico.tessarel-Live99", "being written");
        const int live = ::open((dst_ + "/.z.ico.tessarel-Live99").constData(), O_RDONLY);
        QVERIFY(live >= 0);
        QCOMPARE(::flock(live, LOCK_EX | LOCK_NB), 0);
        QTest::qWait(20); // the listing starts after every one of them was last changed

        QVERIFY(folders::read(dst_));
        QByteArrayList stay{".notes.tessarel-abc", ".x.ico.tessarel-ABC12_"};
        if (asRoot)
            stay << ".y.ico.tessarel-Abc123";
        QCOMPARE(leftovers(), stay + QByteArrayList{".z.ico.tessarel-Live99"});
        ::close(live);

        // The next write into the folder cleans it too; the copy then lands
        // whole. (The killed copy's own write already took the file that is
        // no longer locked.)
        QVERIFY(killedCopy());
        QCOMPARE(leftovers().size(), stay.size() + 1);
        QTest::qWait(20);
        // A temporary file that appears once the copy is under way (here:
        // while it asks about the clash) belongs to a copy begun since: it stays.
        put(src_ + "/clash.ico", "new");
        put(dst_ + "/clash.ico", "old");
        prompts_->replaceAnswers = {FileOperationPrompts::Answer::No};
        prompts_->whileAsked = [&] { put(dst_ + "/.w.ico.tessarel-Newer1", "begun since"); };
        QCOMPARE(run(FileOperation::Copy, in(src_, {"clash.ico", "small.ico"}), dst_), 0);
        QCOMPARE(prompts_->replaceAsked.size(), 1);
        QByteArrayList stayNow = stay + QByteArrayList{".w.ico.tessarel-Newer1"};
        std::sort(stayNow.begin(), stayNow.end());
        QCOMPARE(leftovers(), stayNow);
        QCOMPARE(trees::take(dst_).value("small.ico").sha, before.value("src/small.ico").sha);
        QCOMPARE(trees::lost(root(), before, trees::take(root())), QStringList());
    }

    // A name of 246-255 bytes is legal, but its ".trashinfo"
    // name would not be. It goes to the trash under a shortened unique name
    // whose record keeps the real path, and the files after it go too.
    void deleteOfNamesTooLongForATrashRecord()
    {
        removeAll(trash()); // this test's deletes only
        const Path stem250 = Path(246, 'n');
        const Path utf8 =
            Path("\xc4\x89").repeated(124) + Path("x"); // 249 bytes, cut inside a character would break it
        const QByteArrayList names = {
            "a.ico",        stem250 + ".ico", Path(251, 'm') + ".ico", Path(251, 'm') + ".ICO", utf8 + ".ico",
            Path(255, 'z'), "c.ico"};
        for (int i = 0; i < names.size(); ++i)
            put(src_ + '/' + names[i], blob(200 + i, i));
        const trees::Tree before = trees::take(root());

        QCOMPARE(
            run(FileOperation::Delete, in(src_, names), {}, FileOperation::AllowUndo | FileOperation::NoConfirmation),
            0);
        QCOMPARE(trees::take(src_), trees::Tree());
        const trees::Tree after = trees::take(root());
        QCOMPARE(trees::lost(root(), before, after, trash()), QStringList());

        // Every file in the trash has its record under the same name, within the limit.
        const trees::Tree files = trees::take(trash() + "/files");
        const trees::Tree info = trees::take(trash() + "/info");
        QCOMPARE(files.size(), names.size());
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QVERIFY2(info.contains(it.key() + ".trashinfo"), it.key().constData());
            QVERIFY((it.key() + ".trashinfo").size() <= 255);
            QVERIFY2(!QString::fromUtf8(it.key()).contains(QChar::ReplacementCharacter), it.key().constData());
        }
        const auto back = trees::restorable(trash());
        for (const Path &name : names)
            QCOMPARE(back.values(src_ + '/' + name), QByteArrayList{before.value("src/" + name).sha});

        // Put back as a desktop's trash does (the record's Path=): all as before.
        for (auto it = info.cbegin(); it != info.cend(); ++it) {
            const QByteArray text = contentOf(trash() + "/info/" + it.key());
            const qsizetype at = text.indexOf("Path=") + 5;
            const Path original = QByteArray::fromPercentEncoding(text.mid(at, text.indexOf('\n', at) - at));
            QCOMPARE(::rename((trash() + "/files/" + it.key().chopped(10)).constData(), original.constData()), 0);
            QCOMPARE(::unlink((trash() + "/info/" + it.key()).constData()), 0);
        }
        QCOMPARE(trees::take(root()), before);
    }

    void malformedArguments()
    {
        const Files before = sources(1);
        const Path a = src_ + "/a.ico";
        const Path to = dst_ + '\0';
        const struct
        {
            int code;
            QByteArray from;
            QByteArray to;
            int flags;
        } calls[] = {
            {FileOperation::Copy, a, to, kDefaultFlags},                     // no NULs at all
            {FileOperation::Copy, a + '\0', to, kDefaultFlags},              // only one
            {FileOperation::Copy, QByteArray("\0\0", 2), to, kDefaultFlags}, // empty list
            {FileOperation::Copy, a + QByteArray("\0\0", 2) + a + QByteArray("\0\0", 2), to, kDefaultFlags},
            {FileOperation::Copy, list({"a.ico"}), to, kDefaultFlags}, // not a full path
            {FileOperation::Copy, list({"/"}), to, kDefaultFlags},     // no name
            {FileOperation::Copy, list({src_ + "/.."}), to, kDefaultFlags},
            {FileOperation::Copy, list({a}), QByteArray(), kDefaultFlags},                // no destination
            {FileOperation::Copy, list({a}), "dst" + QByteArray(1, '\0'), kDefaultFlags}, // relative destination
            {FileOperation::Copy, list({a}), a + '\0', kDefaultFlags},                    // a file as destination
            {FileOperation::Copy, list({a}), root() + "/new" + '\0', 0},                  // missing, may not be made
            {7, list({a}), to, kDefaultFlags},
            {FileOperation::Delete, QByteArray(), {}, FileOperation::NoConfirmation},
        };
        for (const auto &call : calls) {
            QVERIFY2(op_->SHFileOperation(call.code, call.from, call.to, call.flags) != 0, call.from.constData());
            QVERIFY(!op_->lastError().isEmpty());
        }
        QCOMPARE(snapshot(root()), (Files{{"dst/", {}}, {"src/", {}}, {"src/a.ico", before["a.ico"]}}));
    }
};

QTEST_GUILESS_MAIN(FileOperationTest)
#include "file_operation_test.moc"
