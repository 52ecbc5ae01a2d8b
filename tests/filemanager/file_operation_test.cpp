// Copy, move and delete on real files, one test per way they can go wrong.
// After each, what is on disk is compared byte for byte: sources as they
// were, destinations whole or absent, no temporary file left anywhere.

#include "filemanager/file_operation.h"

#include "support/file_size_limit.h"
#include "support/scripted_file_operation_prompts.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <optional>
#include <sys/fsuid.h>
#include <sys/stat.h>
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
        out[i] = char((i * 131 + seed * 7 + i / 251) & 0xff);
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

void makeFolder(const Path &path)
{
    QCOMPARE(::mkdir(path.constData(), 0755), 0);
}

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
template<>
char *toString(const Files &files)
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

        QCOMPARE(run(FileOperation::Delete, {src_ + "/a.ico", odd}, {}, FileOperation::AllowUndo), 0);
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
        QCOMPARE(run(FileOperation::Delete, {src_ + "/a.ico"}, {}, FileOperation::AllowUndo | FileOperation::NoConfirmation), 0);
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
        put(src_ + "/\xc4\x89""apelo.ico", blob(300, 2));
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
            {FileOperation::Copy, a, to, kDefaultFlags},                                 // no NULs at all
            {FileOperation::Copy, a + '\0', to, kDefaultFlags},                          // only one
            {FileOperation::Copy, QByteArray("\0\0", 2), to, kDefaultFlags},             // empty list
            {FileOperation::Copy, a + QByteArray("\0\0", 2) + a + QByteArray("\0\0", 2), to, kDefaultFlags},
            {FileOperation::Copy, list({"a.ico"}), to, kDefaultFlags},                   // not a full path
            {FileOperation::Copy, list({"/"}), to, kDefaultFlags},                       // no name
            {FileOperation::Copy, list({src_ + "/.."}), to, kDefaultFlags},
            {FileOperation::Copy, list({a}), QByteArray(), kDefaultFlags},               // no destination
            {FileOperation::Copy, list({a}), "dst" + QByteArray(1, '\0'), kDefaultFlags}, // relative destination
            {FileOperation::Copy, list({a}), a + '\0', kDefaultFlags},                   // a file as destination
            {FileOperation::Copy, list({a}), root() + "/new" + '\0', 0},                 // missing, may not be made
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
