// The icon file manager with the program's real questions and progress
// (QtFileOperationPrompts), answered as a user would: a timer finds the
// message box that is up and presses its buttons after a while.

#include "editor/frm_geral.h"
#include "filemanager/folder_views.h"
#include "filemanager/frm_copy.h"
#include "shell/qt_file_operation_prompts.h"
#include "support/test_platform.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace {

// Watches for the modal message box a prompt puts up; on each look it notes
// what else is on screen, and once the box has been up for `after` ms it
// hands the box to `answer`.
class Answerer : public QObject
{
public:
    Answerer(int after, std::function<void(QMessageBox *)> answer)
        : after_(after)
        , answer_(std::move(answer))
    {
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start(25);
    }

    int questions = 0;                    // boxes answered
    int looks = 0;                        // looks while a box was up
    int coveredLooks = 0;                 // looks that found a progress dialog shown or taking the input
    std::function<void()> whileAsked;     // called on each look while a box is up
    QString text;                         // the last box's text
    Qt::TextFormat format = Qt::AutoText; // and how it is shown
    QRect geometry;                       // and its place

private:
    void look()
    {
        // The question that is up, whether or not something covers it.
        QMessageBox *box = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *b = qobject_cast<QMessageBox *>(w); b && b->isVisible())
                box = b;
        if (!box) {
            current_ = nullptr;
            return;
        }
        if (box != current_) {
            current_ = box;
            clock_.start();
        }
        ++looks;
        // Covered: another window takes the input, or a progress dialog is shown over it.
        bool covered = QApplication::activeModalWidget() != box;
        for (QWidget *w : QApplication::topLevelWidgets())
            covered = covered || (qobject_cast<QProgressDialog *>(w) && w->isVisible());
        coveredLooks += covered;
        if (whileAsked)
            whileAsked();
        if (clock_.elapsed() < after_)
            return;
        text = box->text();
        format = box->textFormat();
        geometry = box->frameGeometry();
        current_ = nullptr;
        ++questions;
        answer_(box);
    }

    int after_;
    std::function<void(QMessageBox *)> answer_;
    QTimer timer_;
    QElapsedTimer clock_;
    QMessageBox *current_ = nullptr;
};

void press(QMessageBox *box, QMessageBox::StandardButton which) { box->button(which)->click(); }

bool progressShown()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<QProgressDialog *>(widget) && widget->isVisible())
            return true;
    return false;
}

} // namespace

class RealPromptsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tree;
    std::unique_ptr<TestPlatform> doubles;
    RecordingMessageBox *messages = nullptr;
    std::unique_ptr<frmGeral> window;
    frmCopy *w = nullptr;

    QByteArray path(const QString &rel) const { return QFile::encodeName(tree->filePath(rel)); }
    void put(const QByteArray &file, const QByteArray &bytes)
    {
        // Names that are not text go through the bytes.
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY2(fd >= 0, file.constData());
        QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
    }
    QByteArray read(const QByteArray &file) const
    {
        QFile f(QFile::decodeName(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void showFolders()
    {
        for (int k = 0; k < 2; ++k) {
            w->lstDir[size_t(k)]->setPath(path(k == 0 ? QStringLiteral("src") : QStringLiteral("dst")));
            w->lstDir_Change(k);
        }
        w->lstFile[0]->selectAll();
    }

private slots:
    void init()
    {
        tree = std::make_unique<QTemporaryDir>();
        QDir().mkpath(tree->filePath(QStringLiteral("src")));
        QDir().mkpath(tree->filePath(QStringLiteral("dst")));
        qputenv("XDG_DATA_HOME", path(QStringLiteral("data")));
        doubles = std::make_unique<TestPlatform>();
        messages = doubles->messages;
        doubles->platform->fileOperationPrompts = std::make_unique<QtFileOperationPrompts>();
        window = std::make_unique<frmGeral>(std::move(doubles->platform));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->tmrLogo_Timer();
        window->mnuOpenAs->trigger();
        w = qobject_cast<frmCopy *>(window->sideWindows().existing(QStringLiteral("frmCopy")));
        QVERIFY(w && w->isVisible());
    }
    void cleanup()
    {
        window.reset();
        doubles.reset();
        tree.reset();
    }

    // The collision question stays on top and answerable however
    // long the user takes; the progress neither covers it nor counts its time,
    // and the answer reaches the operation, which goes on with the next files.
    void collisionQuestionAnsweredAfterFiveSeconds()
    {
        for (const char *name : {"a.ico", "b.ico", "c.ico"})
            put(path(QStringLiteral("src/")) + name, QByteArray("new ") + name);
        put(path(QStringLiteral("dst/b.ico")), "old b.ico");
        showFolders();
        QCOMPARE(w->lstFile[0]->selectedNames().size(), 3);

        Answerer user(5000, [](QMessageBox *box) { press(box, QMessageBox::Yes); });
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(w->cmdExecute[0], Qt::LeftButton);
        QVERIFY(clock.elapsed() >= 5000);
        QCOMPARE(user.questions, 1);
        QVERIFY(user.text.contains(QStringLiteral("Replace it?")));
        QVERIFY(user.looks > 50);
        QCOMPARE(user.coveredLooks, 0);
        QVERIFY2(messages->shown.empty(), messages->shown.empty() ? "" : qPrintable(messages->shown.back().text));
        for (const char *name : {"a.ico", "b.ico", "c.ico"})
            QCOMPARE(read(path(QStringLiteral("dst/")) + name), QByteArray("new ") + name);
    }

    // The progress of a long operation, once shown, steps aside for a question
    // and comes back after it; and a question's time is not working time.
    void progressStepsAsideForAQuestion()
    {
        auto &prompts = static_cast<QtFileOperationPrompts &>(*window->platform().fileOperationPrompts);
        // Asked at once, answered after a second: the progress is still not due.
        prompts.progressBegin(3, true);
        {
            Answerer user(1000, [](QMessageBox *box) { press(box, QMessageBox::Yes); });
            QCOMPARE(prompts.confirmReplace(QStringLiteral("/x/a.ico")), FileOperationPrompts::Answer::Yes);
            QCOMPARE(user.coveredLooks, 0);
        }
        QVERIFY(prompts.progressStep(0, QStringLiteral("a.ico")));
        QVERIFY(!progressShown());
        // Working long enough: it shows; a question hides it until answered.
        QTest::qWait(QtFileOperationPrompts::kProgressDelayMs + 100);
        QVERIFY(prompts.progressStep(1, QStringLiteral("b.ico")));
        QVERIFY(progressShown());
        {
            Answerer user(1000, [](QMessageBox *box) { press(box, QMessageBox::No); });
            QCOMPARE(prompts.confirmReplace(QStringLiteral("/x/b.ico")), FileOperationPrompts::Answer::No);
            QVERIFY(user.looks > 10);
            QCOMPARE(user.coveredLooks, 0);
        }
        QVERIFY(progressShown());
        QVERIFY(prompts.progressStep(2, QStringLiteral("c.ico")));
        prompts.progressEnd();
        QVERIFY(!progressShown());
    }

    // A failure the user did not ask for is explained, in front and answerable,
    // before the window's own message: here a link moved onto the very file
    // it points to, which is refused.
    void failureIsExplainedBeforeTheWindowsMessage()
    {
        put(path(QStringLiteral("dst/same.ico")), "icon");
        QCOMPARE(::symlink("../dst/same.ico", path(QStringLiteral("src/same.ico")).constData()), 0);
        showFolders();
        Answerer user(100, [](QMessageBox *box) { press(box, QMessageBox::Ok); });
        QTest::mouseClick(w->cmdExecute[1], Qt::LeftButton); // Move
        QCOMPARE(user.questions, 1);                         // the same file is found before any question
        QVERIFY2(user.text.contains(QStringLiteral("same file")), qPrintable(user.text));
        QCOMPARE(user.coveredLooks, 0);
        QCOMPARE(messages->shown.size(), size_t(1));
        QVERIFY(messages->shown.back().text.contains(QStringLiteral("Did   not   complete")));
        QCOMPARE(read(path(QStringLiteral("dst/same.ico"))), QByteArray("icon"));
    }

    // While an operation runs (here: while its question is up),
    // the window's handlers start nothing, whoever calls them; the operation
    // then finishes as answered.
    void noSecondOperationWhileOneRuns()
    {
        for (const char *name : {"a.ico", "b.ico"})
            put(path(QStringLiteral("src/")) + name, QByteArray("new ") + name);
        put(path(QStringLiteral("dst/a.ico")), "old a.ico");
        showFolders();

        int calls = 0;
        bool buttonsDisabled = true;
        Answerer user(300, [](QMessageBox *box) { press(box, QMessageBox::Yes); });
        user.whileAsked = [&] {
            if (calls++ > 0)
                return;
            QVERIFY(w->busy());
            for (QPushButton *b : w->cmdExecute)
                buttonsDisabled = buttonsDisabled && !b->isEnabled();
            QTest::mouseClick(w->cmdExecute[2], Qt::LeftButton);
            w->cmdExecute_Click(1); // Move
            w->cmdExecute_Click(2); // Delete
            w->cmdExecute_Click(0); // Copy again
            w->lstFile_Click(0);
            w->lstDir_Change(1);
            w->cboDrive_Change(0);
            w->chkEntireDir_Click();
        };
        QTest::mouseClick(w->cmdExecute[0], Qt::LeftButton);
        QVERIFY(calls > 0);
        QVERIFY(buttonsDisabled);
        QCOMPARE(user.questions, 1); // no second question from a second operation
        QVERIFY(messages->shown.empty());
        QCOMPARE(read(path(QStringLiteral("src/a.ico"))), QByteArray("new a.ico")); // not moved, not deleted
        QCOMPARE(read(path(QStringLiteral("src/b.ico"))), QByteArray("new b.ico"));
        QCOMPARE(read(path(QStringLiteral("dst/a.ico"))), QByteArray("new a.ico"));
        QCOMPARE(read(path(QStringLiteral("dst/b.ico"))), QByteArray("new b.ico"));
        QVERIFY(!QDir(tree->filePath(QStringLiteral("data/Trash/files"))).exists()
                || QDir(tree->filePath(QStringLiteral("data/Trash/files"))).isEmpty());
        QVERIFY(!w->busy());
        for (QPushButton *b : w->cmdExecute)
            QVERIFY(b->isEnabled());

        // The prompts themselves survive an operation begun inside another:
        // once the inner one ends, the outer one's progress still comes when due.
        auto &prompts = *window->platform().fileOperationPrompts;
        prompts.progressBegin(2, true);
        prompts.progressBegin(1, true);
        QVERIFY(prompts.progressStep(0, QStringLiteral("inner")));
        prompts.progressEnd();
        QTest::qWait(600);
        QVERIFY(prompts.progressStep(1, QStringLiteral("outer")));
        QVERIFY(progressShown());
        prompts.progressEnd();
        QVERIFY(!progressShown());
        QVERIFY(prompts.progressStep(0, QStringLiteral("none"))); // nothing running: no progress, no crash
    }

    // The delete question shows each name on one line, with its
    // control characters as escapes, and a name too long for the screen cut
    // in the middle; the box stays within the screen.
    void deleteQuestionShowsNamesAsTheyAre()
    {
        const QByteArray newline = path(QStringLiteral("src/")) + "two\nlines.ico";
        const QByteArray longName = path(QStringLiteral("src/")) + QByteArray(100, 'L') + QByteArray(151, 'R') + ".ico";
        const QByteArray markup = path(QStringLiteral("src/")) + "<i>bold&amp;.ico";
        for (const QByteArray &file : {newline, longName, markup})
            put(file, "icon");
        showFolders();
        QCOMPARE(w->lstFile[0]->selectedNames().size(), 3);

        Answerer user(200, [](QMessageBox *box) { press(box, QMessageBox::No); });
        QTest::mouseClick(w->cmdExecute[2], Qt::LeftButton);
        QCOMPARE(user.questions, 1);
        const QStringList lines = user.text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 5); // the question, a blank line, one line per name
        QVERIFY2(user.text.contains(QStringLiteral("two\\nlines.ico")), qPrintable(user.text));
        QVERIFY(user.text.contains(QStringLiteral("<i>bold&amp;.ico")));
        QCOMPARE(user.format, Qt::PlainText); // a name is never read as markup
        QString shownLong;
        for (const QString &line : lines)
            if (line.endsWith(QStringLiteral("RRR.ico")))
                shownLong = line;
        QVERIFY2(shownLong.contains(QChar(0x2026)), qPrintable(shownLong)); // cut in the middle …
        QVERIFY2(shownLong.startsWith(QFile::decodeName(path(QStringLiteral("src"))).left(10)),
                 qPrintable(shownLong)); // … keeping both ends
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(user.geometry.width() <= screen.width(), qPrintable(QString::number(user.geometry.width())));
        // Declined: all three are still there.
        for (const QByteArray &file : {newline, longName, markup})
            QCOMPARE(read(file), QByteArray("icon"));

        QCOMPARE(QtFileOperationPrompts::escaped(QStringLiteral("a\tb\\c\x1b\u202Eexe.ico")),
                 QStringLiteral("a\\tb\\\\c\\x1b\\u202eexe.ico"));
    }
};

QTEST_MAIN(RealPromptsTest)
#include "real_prompts_test.moc"
