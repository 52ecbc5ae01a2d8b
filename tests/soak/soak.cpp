// Soak driver: the real editor on the test doubles, fed a seeded random stream
// of real Qt events, with invariants checked at intervals. Every choice comes
// from the printed seed, so one seed replays one run.
//
//   tessarel_soak [--seed N] [--events N] [--check-every N]
//
// Confinement: HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_CACHE_HOME point
// into a private temporary tree, and before every event a file-manager side
// whose folder has left the home folder is put back there, so Copy, Move and
// Delete only ever act on the tree's files. File > Exit (F12), About > Vorn HP
// and the About window's two link areas are never used: the first would end
// the run, the others would only start the desktop's opener again and again.

#include "filemanager/folder_views.h"
#include "filemanager/frm_copy.h"
#include "shell/frm_about.h"
#include "support/editor_fixture.h"
#include "support/ico_fuzz_seeds.h"
#include "support/le_bytes.h"
#include "support/picture_fuzz_seeds.h"
#include "support/pointer.h"
#include "support/resident_memory.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPixmapCache>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <functional>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <malloc.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <unistd.h>

namespace {

using Rng = std::mt19937_64;

// ---- Qt messages --------------------------------------------------------

QStringList g_badMessages;

void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // The offscreen platform says what it cannot do; nothing the program did.
    if (msg.startsWith(QLatin1String("This plugin does not support")))
        return;
    // QTest's own remark on a key nobody took; the program is not at fault.
    if (msg == QLatin1String("Keyboard event not accepted by receiving widget"))
        return;
    g_badMessages << msg;
    std::fprintf(stderr, "qt message: %s\n", qPrintable(msg));
}

// ---- Small helpers --------------------------------------------------------

// The same after the allocator has handed its free pages back: what the
// program still holds, without the churn of large pictures freed a moment ago.
long trimmedRssKb()
{
    malloc_trim(0);
    return residentKiB();
}

QByteArray hashOf(const QByteArray &bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1); }

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A whole bitmap file as Save writes one: the file header's size is the
// file's size and the pixel rows the info header promises are all there.
bool isWholeBitmapFile(const QByteArray &b)
{
    if (b.size() < 14 + 40 || b[0] != 'B' || b[1] != 'M')
        return false;
    if (getLe32(b, 2) != quint32(b.size()))
        return false;
    const quint32 offBits = getLe32(b, 10);
    const qint64 width = qint32(getLe32(b, 18));
    const qint64 height = std::abs(qint64(qint32(getLe32(b, 22))));
    const int bits = uchar(b[28]) | uchar(b[29]) << 8;
    const quint32 compression = getLe32(b, 30);
    if (compression != 0 || width <= 0 || bits == 0)
        return offBits < quint32(b.size());
    const qint64 stride = ((width * bits + 31) / 32) * 4;
    return qint64(offBits) + stride * height <= b.size();
}

// VornForm.vrn read from its format: 24 records, each a double-quoted text
// without quotes or line breaks, followed by CR LF, and nothing after them.
bool isTwentyFourRecords(const QByteArray &b, QString *why)
{
    int at = 0, records = 0;
    while (at < b.size()) {
        if (b[at] != '"') {
            *why = QStringLiteral("record %1 does not start with a quote").arg(records + 1);
            return false;
        }
        const int close = b.indexOf('"', at + 1);
        if (close < 0 || b.mid(at + 1, close - at - 1).contains('\r') || b.mid(at + 1, close - at - 1).contains('\n')) {
            *why = QStringLiteral("record %1 is not closed on its line").arg(records + 1);
            return false;
        }
        if (b.mid(close + 1, 2) != "\r\n") {
            *why = QStringLiteral("record %1 is not followed by CR LF").arg(records + 1);
            return false;
        }
        at = close + 3;
        ++records;
    }
    if (records != 24) {
        *why = QStringLiteral("%1 records").arg(records);
        return false;
    }
    return true;
}

// ---- Doubles answering at random ----------------------------------------

class RandomMessageBox : public MessageBox
{
public:
    explicit RandomMessageBox(Rng &rng)
        : rng_(rng)
    {
    }
    Answer show(QWidget *, const QString &, const QString &, Buttons buttons, Icon) override
    {
        ++count;
        auto pick = [this](std::initializer_list<Answer> a) { return a.begin()[rng_() % a.size()]; };
        switch (buttons) {
        case OkCancel: return pick({Ok, Cancel});
        case AbortRetryIgnore: return pick({Abort, Retry, Ignore});
        case YesNoCancel: return pick({Yes, No, Cancel});
        case YesNo: return pick({Yes, No});
        case RetryCancel: return pick({Retry, Cancel});
        default: return Ok;
        }
    }
    long count = 0;

private:
    Rng &rng_;
};

class RandomPrompts : public FileOperationPrompts
{
public:
    explicit RandomPrompts(Rng &rng)
        : rng_(rng)
    {
    }
    Answer confirmReplace(const QString &) override
    {
        static constexpr Answer all[] = {Answer::Yes, Answer::YesToAll, Answer::No, Answer::Cancel};
        return all[rng_() % 4];
    }
    bool confirmDelete(const QStringList &files, bool toTrash) override
    {
        const bool yes = rng_() % 4 != 0;
        // Files removed for good with the user's yes may vanish without a trash entry.
        if (yes && !toTrash)
            for (const QString &f : files)
                removedForGood.insert(QFileInfo(f).absoluteFilePath());
        return yes;
    }
    void progressBegin(int, bool) override { }
    bool progressStep(int, const QString &) override { return rng_() % 16 != 0; }
    void progressEnd() override { }
    void reportFailure(const QString &) override { }
    std::set<QString> removedForGood;

private:
    Rng &rng_;
};

// Every dialog is answered here: open gives one of the tree's pictures,
// save a name in the tree's save folder, colour a random colour; any may cancel.
class RandomDialogAnswers
{
public:
    RandomDialogAnswers(ScriptedCommonDialog *d, Rng &rng, QStringList pictures, QString saveFolder)
        : d_(d)
        , rng_(rng)
        , pictures_(std::move(pictures))
        , saveFolder_(std::move(saveFolder))
    {
        arm();
    }

private:
    void arm()
    {
        d_->queue([this](CommonDialog &cd) { return answer(cd); });
    }
    bool answer(CommonDialog &cd)
    {
        arm(); // the next dialog is answered the same way
        const QString kind = d_->shown.empty() ? QString() : d_->shown.back().kind;
        d_->shown.clear();
        if (rng_() % 5 == 0)
            return false;
        if (kind == QLatin1String("open"))
            cd.FileName = pictures_[int(rng_() % quint64(pictures_.size()))];
        else if (kind == QLatin1String("save"))
            cd.FileName = QDir(saveFolder_).filePath(QStringLiteral("saved%1.bmp").arg(rng_() % 4));
        else if (kind == QLatin1String("color"))
            cd.Color = ColourValue(rng_() & 0xFFFFFF);
        else
            return true;
        if (kind != QLatin1String("color"))
            cd.FileTitle = QFileInfo(cd.FileName).fileName();
        return true;
    }

    ScriptedCommonDialog *d_;
    Rng &rng_;
    QStringList pictures_;
    QString saveFolder_;
};

// ---- The driver ----------------------------------------------------------

struct Options
{
    quint64 seed = 0;
    long events = 20000;
    long checkEvery = 1000;
    double maxGrowth = -1; // percent of settled RSS; below 0, not checked
};

class Soak
{
public:
    Soak(const Options &o, const QString &root)
        : opt_(o)
        , rng_(o.seed)
        , root_(root)
        , home_(root + QStringLiteral("/home"))
    {
    }

    int run();

private:
    void writePictures();
    void buildEditor();
    void settle();
    long settledRssKb();
    void confineFileManager();
    void oneEvent();
    bool check(QString *why);
    bool checkTree(QString *why);
    bool checkGrid(QString *why);
    bool checkUndo(QString *why);
    QList<QWidget *> topLevels() const;
    QList<QWidget *> targetsOf(QWidget *top) const;
    void mouseGesture();
    void gridDrag();
    void keyPress();
    void menuAction();
    void sideWindow();
    void windowState();
    void log(const QString &what);
    int fail(long eventNo, const QString &why);

    template <typename T> T pick(const QList<T> &list) { return list[int(rng_() % quint64(list.size()))]; }
    int below(int n) { return int(rng_() % quint64(n)); }

    Options opt_;
    Rng rng_;
    QString root_, home_;
    QStringList pictures_;
    std::map<QString, QByteArray> originals_; // path -> hash
    std::unique_ptr<RandomDialogAnswers> mainAnswers_, toolAnswers_;
    std::unique_ptr<MessageBox> keptBox_;
    std::unique_ptr<FileOperationPrompts> keptPrompts_;
    std::unique_ptr<EditorFixture> fx_;
    RandomMessageBox *box_ = nullptr;
    RandomPrompts *prompts_ = nullptr;
    QList<QKeySequence> shortcuts_;
    QList<QAction *> actions_;
    std::deque<QString> recent_;
    long eventNo_ = 0;
    long putBack_ = 0;  // file-manager sides brought back into the tree
    QImage stepsStart_; // the icon where the history of this stretch of events starts
    long undoChecks_ = 0, stepsUndone_ = 0;
};

const QStringList kSideWindows = {
    QStringLiteral("frmToolBar"), QStringLiteral("ColorPalette"), QStringLiteral("frmVeCor1"),
    QStringLiteral("frmVeCor2"),  QStringLiteral("frmDesenho"),   QStringLiteral("frmCopy"),
    QStringLiteral("frmInfo"),    QStringLiteral("frmPrevia"),    QStringLiteral("frmAbout")};

void Soak::writePictures()
{
    QDir().mkpath(home_ + QStringLiteral("/pictures/more"));
    QDir().mkpath(home_ + QStringLiteral("/saved"));
    QList<std::pair<QString, QByteArray>> files;
    const auto icons = icoFuzzSeeds();
    for (size_t i = 0; i < icons.size() && i < 6; ++i)
        files.append(icons[i]);
    const auto others = pictureFuzzSeeds();
    for (int i = 0; i < others.size() && i < 6; ++i)
        files.append(others[i]);
    // Broken ones: cut short, garbage, empty.
    const int whole = int(files.size());
    for (int i = 0; i < whole && i < 4; ++i)
        files.append({QStringLiteral("short_") + files[i].first, files[i].second.left(files[i].second.size() / 2)});
    files.append({QStringLiteral("garbage.ico"), QByteArray(300, '\x5A')});
    files.append({QStringLiteral("empty.bmp"), QByteArray()});
    for (int i = 0; i < files.size(); ++i) {
        // The file manager starts in the home folder: a third of the files wait there.
        static const QStringList folders = {QStringLiteral("/"), QStringLiteral("/pictures/"),
                                            QStringLiteral("/pictures/more/")};
        const QString folder = home_ + folders[i % 3];
        const QString path = folder + QFileInfo(files[i].first).fileName();
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(files[i].second) != files[i].second.size())
            qFatal("cannot write %s", qPrintable(path));
        f.close();
        pictures_ << path;
        originals_[path] = hashOf(files[i].second);
    }
    pictures_ << home_ + QStringLiteral("/pictures/missing.ico");
}

void Soak::buildEditor()
{
    fx_ = std::make_unique<EditorFixture>();
    // Randomly answering doubles in place of the recording ones.
    Platform &p = fx_->window->platform();
    // The recording ones stay alive: the settings store keeps its box.
    keptBox_ = std::move(p.messageBox);
    keptPrompts_ = std::move(p.fileOperationPrompts);
    auto box = std::make_unique<RandomMessageBox>(rng_);
    box_ = box.get();
    p.messageBox = std::move(box);
    auto prompts = std::make_unique<RandomPrompts>(rng_);
    prompts_ = prompts.get();
    p.fileOperationPrompts = std::move(prompts);
    mainAnswers_ =
        std::make_unique<RandomDialogAnswers>(fx_->doubles.dialog, rng_, pictures_, home_ + QStringLiteral("/saved"));
    toolAnswers_ = std::make_unique<RandomDialogAnswers>(fx_->doubles.toolDialog, rng_, pictures_,
                                                         home_ + QStringLiteral("/saved"));
    if (!fx_->showPastStartup())
        qFatal("the main window was never exposed");
    settle();

    // Every menu item but Exit and the home page; their shortcuts too.
    std::function<void(QMenu *)> walk = [&](QMenu *m) {
        for (QAction *a : m->actions()) {
            if (a->menu()) {
                walk(a->menu());
                continue;
            }
            if (a->isSeparator() || a == fx_->window->mnuFechar || a == fx_->window->mnucshp)
                continue;
            actions_ << a;
            if (!a->shortcut().isEmpty())
                shortcuts_ << a->shortcut();
        }
    };
    for (QAction *a : fx_->window->menuBar()->actions())
        if (a->menu())
            walk(a->menu());
    shortcuts_ << QKeySequence(Qt::Key_F2) << QKeySequence(Qt::Key_F3)
               << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    fx_->window->forgetUndoSteps();
    stepsStart_ = fx_->window->ikonSurface().image();
}

// Resident size in a state that does not depend on where the random stream
// happens to be: every side window unloaded, the editor in its normal state,
// deferred deletes done and the allocator's free pages handed back.
static int countObjects()
{
    int n = 0;
    std::function<void(QObject *)> walk = [&](QObject *o) {
        ++n;
        for (QObject *c : o->children())
            walk(c);
    };
    for (QWidget *w : QApplication::topLevelWidgets())
        walk(w);
    walk(QCoreApplication::instance());
    return n;
}

long Soak::settledRssKb()
{
    for (const QString &n : kSideWindows)
        fx_->window->sideWindows().unload(n);
    fx_->window->setWindowState(Qt::WindowNoState); // after the preview, which maximises it as it goes
    for (int i = 0; i < 3; ++i)
        settle();
    if (qEnvironmentVariableIsSet("SOAK_DIAG")) {
        const long before = trimmedRssKb();
        const size_t heap = mallinfo2().uordblks;
        QPixmapCache::clear();
        const long noPix = trimmedRssKb();
        std::printf(
            "diag: rss %ld heap-in-use %zu kB, without pixmap cache rss %ld heap %zu kB, widgets %lld, objects %d\n",
            before, heap / 1024, noPix, mallinfo2().uordblks / 1024,
            static_cast<long long>(QApplication::allWidgets().size()), countObjects());
    }
    return trimmedRssKb();
}

void Soak::settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    fx_->doubles.dialog->shown.clear();
    fx_->doubles.toolDialog->shown.clear();
}

void Soak::confineFileManager()
{
    auto *copy = qobject_cast<frmCopy *>(fx_->window->sideWindows().existing(QStringLiteral("frmCopy")));
    if (!copy)
        return;
    const QByteArray home = QFile::encodeName(home_);
    auto inside = [&](const QByteArray &p) { return p == home || p.startsWith(home + '/'); };
    for (size_t k = 0; k < 2; ++k) {
        if (inside(copy->lstDir[k]->path()) && inside(copy->lstFile[k]->path()))
            continue;
        ++putBack_;
        const QSignalBlocker block(copy->cboDrive[k]);
        copy->cboDrive[k]->showDriveOf(home);
        copy->lstDir[k]->setPath(home);
        copy->lstFile[k]->setPath(home);
    }
}

QList<QWidget *> Soak::topLevels() const
{
    // QApplication::topLevelWidgets() comes from a hash: sort for a stable order.
    QList<QWidget *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->isMinimized())
            out << w;
    std::sort(out.begin(), out.end(), [](QWidget *a, QWidget *b) {
        auto key = [](QWidget *w) {
            return std::make_tuple(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
                                   w->geometry().x(), w->geometry().y(), w->width(), w->height());
        };
        return key(a) < key(b);
    });
    return out;
}

QList<QWidget *> Soak::targetsOf(QWidget *top) const
{
    QList<QWidget *> out{top};
    for (QWidget *w : top->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->width() <= 0 || w->height() <= 0)
            continue;
        if (qobject_cast<frmAbout *>(w->window())
            && (w->objectName() == QLatin1String("Label4") || w->objectName() == QLatin1String("Label5")))
            continue; // the links: see the top of the file
        out << w;
    }
    return out;
}

void Soak::log(const QString &what)
{
    recent_.push_back(QStringLiteral("#%1 %2").arg(eventNo_).arg(what));
    if (recent_.size() > 20)
        recent_.pop_front();
}

Qt::MouseButton randomButton(int r)
{
    static constexpr Qt::MouseButton b[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    return b[r % 4];
}

Qt::KeyboardModifiers randomModifiers(int r)
{
    static constexpr Qt::KeyboardModifier m[] = {Qt::NoModifier,    Qt::NoModifier,      Qt::NoModifier,
                                                 Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier};
    return m[r % 6];
}

void Soak::mouseGesture()
{
    const QList<QWidget *> tops = topLevels();
    if (tops.isEmpty())
        return;
    QWidget *top = pick(tops);
    const QList<QWidget *> targets = targetsOf(top);
    QPointer<QWidget> w = pick(targets);
    const Qt::MouseButton b = randomButton(below(4));
    const Qt::KeyboardModifiers mods = randomModifiers(below(6));
    const QPointF at(below(std::max(1, w->width())), below(std::max(1, w->height())));
    const int kind = below(4);
    log(QStringLiteral("mouse %1 on %2/%3 %4 at %5,%6 mods %7")
            .arg(QStringList{"click", "double-click", "press-move-release", "move"}[kind], top->objectName(),
                 w->objectName(), QString::number(b))
            .arg(at.x())
            .arg(at.y())
            .arg(int(mods)));
    if (kind == 3) {
        pointer::move(w, at, {}, mods);
        return;
    }
    pointer::press(w, at, b, {}, mods);
    if (kind == 2 && w) {
        const QPointF to(below(std::max(1, w->width())), below(std::max(1, w->height())));
        pointer::move(w, (at + to) / 2, b, mods);
        if (w)
            pointer::move(w, to, b, mods);
        if (w)
            pointer::release(w, to, b, {}, mods);
        return;
    }
    if (w)
        pointer::release(w, at, b, {}, mods);
    if (kind == 1 && w) {
        pointer::send(w, QEvent::MouseButtonDblClick, at, b, b, mods);
        if (w)
            pointer::release(w, at, b, {}, mods);
    }
}

void Soak::gridDrag()
{
    QWidget *grid = fx_->grid();
    if (!grid->isVisible())
        return;
    const Qt::MouseButton b = randomButton(below(4));
    const Qt::KeyboardModifiers mods = randomModifiers(below(6));
    const QPointF from = pointer::cell(below(32), below(32));
    const QPointF to = pointer::cell(below(32), below(32));
    log(QStringLiteral("grid drag %1,%2 -> %3,%4 button %5 mods %6")
            .arg(from.x())
            .arg(from.y())
            .arg(to.x())
            .arg(to.y())
            .arg(int(b))
            .arg(int(mods)));
    pointer::press(grid, from, b, {}, mods);
    const int steps = 1 + below(4);
    for (int i = 1; i <= steps; ++i)
        pointer::move(grid, from + (to - from) * i / steps, b, mods);
    pointer::release(grid, to, b, {}, mods);
}

void Soak::keyPress()
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target || !target->isVisible()) {
        const QList<QWidget *> tops = topLevels();
        if (tops.isEmpty())
            return;
        target = pick(tops);
    }
    int key;
    Qt::KeyboardModifiers mods;
    if (below(2) == 0) {
        const QKeySequence seq = pick(shortcuts_);
        key = seq[0].key();
        mods = seq[0].keyboardModifiers();
    } else {
        static const QList<int> keys = {Qt::Key_A,       Qt::Key_Z,      Qt::Key_5,         Qt::Key_Space,
                                        Qt::Key_Return,  Qt::Key_Enter,  Qt::Key_Escape,    Qt::Key_Tab,
                                        Qt::Key_Backtab, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Up,
                                        Qt::Key_Down,    Qt::Key_Left,   Qt::Key_Right,     Qt::Key_Home,
                                        Qt::Key_End,     Qt::Key_PageUp, Qt::Key_F1,        Qt::Key_F4};
        key = pick(keys);
        mods = randomModifiers(below(6));
    }
    const QString text = (key >= Qt::Key_Space && key <= Qt::Key_Z && !(mods & (Qt::ControlModifier | Qt::AltModifier)))
        ? QString(QChar(key)).toLower()
        : QString();
    log(QStringLiteral("key %1 mods %2 to %3/%4")
            .arg(QKeySequence(key).toString())
            .arg(int(mods))
            .arg(target->window()->objectName(), target->objectName()));
    // Through the window system path, so shortcuts are matched as for a real key.
    QPointer<QWidget> t = target;
    QTest::sendKeyEvent(QTest::Press, t, Qt::Key(key), text, mods);
    if (t)
        QTest::sendKeyEvent(QTest::Release, t, Qt::Key(key), text, mods);
}

void Soak::menuAction()
{
    QList<QAction *> enabled;
    for (QAction *a : actions_)
        if (a->isEnabled() && a->isVisible())
            enabled << a;
    if (enabled.isEmpty())
        return;
    QAction *a = pick(enabled);
    log(QStringLiteral("menu %1").arg(a->objectName()));
    a->trigger();
}

void Soak::sideWindow()
{
    const QString name = pick(kSideWindows);
    const int what = below(3);
    log(QStringLiteral("%1 %2").arg(QStringList{"show", "hide", "close"}[what], name));
    QWidget *w = what == 0 ? fx_->window->sideWindows().get(name) : fx_->window->sideWindows().existing(name);
    if (!w)
        return;
    if (what == 0)
        w->show();
    else if (what == 1)
        w->hide();
    else
        w->close();
}

void Soak::windowState()
{
    QList<QWidget *> windows{fx_->window.get()};
    for (const QString &n : kSideWindows)
        if (QWidget *w = fx_->window->sideWindows().existing(n); w && w->isVisible())
            windows << w;
    QWidget *w = pick(windows);
    static constexpr Qt::WindowState states[] = {Qt::WindowMinimized, Qt::WindowMaximized, Qt::WindowNoState};
    const Qt::WindowState s = states[below(3)];
    log(QStringLiteral("window state %1 of %2").arg(int(s)).arg(w->objectName()));
    w->setWindowState(s);
    if (s == Qt::WindowNoState && w == fx_->window.get())
        w->activateWindow();
}

void Soak::oneEvent()
{
    confineFileManager();
    const int r = below(100);
    if (r < 38)
        mouseGesture();
    else if (r < 58)
        gridDrag();
    else if (r < 78)
        keyPress();
    else if (r < 88)
        menuAction();
    else if (r < 95)
        sideWindow();
    else
        windowState();
    settle();
}

bool Soak::checkTree(QString *why)
{
    std::set<QByteArray> present;
    QDirIterator it(home_, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    std::map<QString, QByteArray> files;
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = hashOf(readAll(path));
    }
    std::set<QByteArray> originalHashes;
    for (const auto &[path, hash] : originals_)
        originalHashes.insert(hash);
    for (const auto &[path, hash] : files) {
        present.insert(hash);
        if (originalHashes.count(hash))
            continue;
        const QByteArray bytes = readAll(path);
        if (!isWholeBitmapFile(bytes)) {
            *why = QStringLiteral("%1 is neither an original file nor a whole bitmap (%2 bytes)")
                       .arg(path)
                       .arg(bytes.size());
            return false;
        }
    }
    // Trash entries with their info files.
    std::set<QByteArray> trashed;
    const QString trash = root_ + QStringLiteral("/data/Trash");
    QDirIterator t(trash + QStringLiteral("/files"), QDir::Files | QDir::Hidden);
    while (t.hasNext()) {
        const QString path = t.next();
        if (QFileInfo::exists(trash + QStringLiteral("/info/") + QFileInfo(path).fileName()
                              + QStringLiteral(".trashinfo")))
            trashed.insert(hashOf(readAll(path)));
    }
    for (const auto &[path, hash] : originals_) {
        if (files.count(path) || present.count(hash) || trashed.count(hash) || prompts_->removedForGood.count(path))
            continue;
        *why = QStringLiteral("%1 vanished: no copy in the tree and no trash entry").arg(path);
        return false;
    }
    return true;
}

bool Soak::checkGrid(QString *why)
{
    // The grid mirrors the icon cell by cell (the cell's centre, clear of any
    // bars); a grid made smaller for a small icon shows only the cells that fit.
    frmGeral &w = *fx_->window;
    const QImage &icon = w.ikonSurface().image();
    const QImage &grid = w.gridSurface().image();
    for (int r = 0; r < 32 && r * 10 + 9 < grid.height(); ++r)
        for (int c = 0; c < 32 && c * 10 + 9 < grid.width(); ++c) {
            const QRgb want = (c < icon.width() && r < icon.height() ? icon.pixel(c, r) : 0) | 0xFF000000u;
            const QRgb got = grid.pixel(c * 10 + 5, r * 10 + 5) | 0xFF000000u;
            if (want != got) {
                *why = QStringLiteral("grid cell %1,%2 shows %3 but the icon pixel is %4")
                           .arg(c)
                           .arg(r)
                           .arg(got & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                           .arg(want & 0xFFFFFF, 6, 16, QLatin1Char('0'));
                return false;
            }
        }
    return true;
}

// Undoing every step since the last check returns the icon of that moment,
// and redoing them all returns the latest icon; then a new stretch starts.
bool Soak::checkUndo(QString *why)
{
    frmGeral &w = *fx_->window;
    while (w.mnuRedo->isEnabled())
        w.mnuRedo->trigger();
    const QImage end = w.ikonSurface().image();
    do // the first also makes a change still waiting for its step one
        w.mnuUndo->trigger();
    while (w.mnuUndo->isEnabled());
    if (w.ikonSurface().image() != stepsStart_) {
        *why = QStringLiteral("undoing every step did not return the icon of their start");
        return false;
    }
    if (!checkGrid(why))
        return false;
    long steps = 0;
    for (; w.mnuRedo->isEnabled(); ++steps)
        w.mnuRedo->trigger();
    if (w.ikonSurface().image() != end) {
        *why = QStringLiteral("redoing all %1 steps did not return the latest icon").arg(steps);
        return false;
    }
    ++undoChecks_;
    stepsUndone_ += steps;
    w.forgetUndoSteps();
    stepsStart_ = end;
    return true;
}

bool Soak::check(QString *why)
{
    if (!g_badMessages.isEmpty()) {
        *why = QStringLiteral("Qt said: ") + g_badMessages.join(QStringLiteral(" | "));
        return false;
    }
    if (!checkGrid(why) || !checkUndo(why))
        return false;
    const frmGeral &w = *fx_->window;
    const QString settings = w.settingsFilePath();
    if (QFileInfo::exists(settings)) {
        QString reason;
        if (!isTwentyFourRecords(readAll(settings), &reason)) {
            *why = QStringLiteral("settings file: ") + reason;
            return false;
        }
    }
    const QRect screen = QGuiApplication::primaryScreen()->virtualGeometry();
    for (QWidget *top : topLevels()) {
        const QRect g = top->frameGeometry();
        if (!screen.intersects(g) || !screen.contains(g.topLeft())) {
            *why = QStringLiteral("window %1 (%2) at %3,%4 %5x%6 is off the screen")
                       .arg(top->objectName(), QString::fromLatin1(top->metaObject()->className()))
                       .arg(g.x())
                       .arg(g.y())
                       .arg(g.width())
                       .arg(g.height());
            return false;
        }
    }
    return checkTree(why);
}

int Soak::fail(long eventNo, const QString &why)
{
    std::printf("FAILED at event %ld (seed %llu): %s\nlast events:\n", eventNo,
                static_cast<unsigned long long>(opt_.seed), qPrintable(why));
    for (const QString &e : recent_)
        std::printf("  %s\n", qPrintable(e));
    std::fflush(stdout);
    return 1;
}

int Soak::run()
{
    writePictures();
    buildEditor();
    QString why;
    if (!check(&why))
        return fail(0, why);
    // Warm-up: the first 10 % of the events (1000 at least) load every window
    // many times over and fill Qt's bounded caches (pixmaps, glyphs, icons).
    QElapsedTimer clock;
    clock.start();
    long rssStart = -1, trimmedStart = -1, settledStart = -1;
    const long warmUp = std::min(opt_.events, std::max(1000L, opt_.events / 10));
    for (eventNo_ = 1; eventNo_ <= opt_.events; ++eventNo_) {
        oneEvent();
        if (eventNo_ == warmUp) {
            rssStart = residentKiB();
            trimmedStart = trimmedRssKb();
            settledStart = settledRssKb();
        }
        if (eventNo_ % opt_.checkEvery == 0 || eventNo_ == opt_.events) {
            if (!check(&why))
                return fail(eventNo_, why);
            if (eventNo_ % (opt_.checkEvery * 100) == 0) {
                std::printf("event %ld, %.0f s, RSS %ld kB, %lld widgets\n", eventNo_, clock.elapsed() / 1000.0,
                            residentKiB(), static_cast<long long>(QApplication::allWidgets().size()));
                std::fflush(stdout);
            }
        }
    }
    const long rssEnd = residentKiB();
    const long trimmedEnd = trimmedRssKb();
    const long settledEnd = settledRssKb();
    const auto count = [](const QString &folder) {
        long n = 0;
        for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext(); it.next())
            ++n;
        return n;
    };
    std::printf("files in the tree %ld, in the trash %ld, file-manager sides brought back %ld\n", count(home_),
                count(root_ + QStringLiteral("/data/Trash/files")), putBack_);
    const auto growth = [](long from, long to) { return from > 0 ? 100.0 * (to - from) / from : 0.0; };
    std::printf("events %ld\nwall time %.1f s\nRSS start %ld kB\nRSS end %ld kB\ngrowth %.2f %%\n"
                "RSS start trimmed %ld kB\nRSS end trimmed %ld kB\ngrowth trimmed %.2f %%\n"
                "RSS start settled %ld kB\nRSS end settled %ld kB\ngrowth settled %.2f %%\nmessage boxes %ld\n"
                "undo checks %ld: %ld steps undone to their start and redone to their end\n",
                opt_.events, clock.elapsed() / 1000.0, rssStart, rssEnd, growth(rssStart, rssEnd), trimmedStart,
                trimmedEnd, growth(trimmedStart, trimmedEnd), settledStart, settledEnd,
                growth(settledStart, settledEnd), box_->count, undoChecks_, stepsUndone_);
    if (qEnvironmentVariableIsSet("SOAK_DIAG_EXIT")) {
        std::fflush(stdout);
        _exit(0); // what is alive now shows as "leaked" to a heap profiler
    }
    fx_.reset();
    // Settled, the program holds the same windows at both ends: what it holds
    // more at the end was piled up on the way.
    if (opt_.maxGrowth >= 0 && growth(settledStart, settledEnd) > opt_.maxGrowth) {
        std::printf("FAILED (seed %llu): settled RSS grew %.2f %%, more than %.2f %%\n",
                    static_cast<unsigned long long>(opt_.seed), growth(settledStart, settledEnd), opt_.maxGrowth);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options opt;
    opt.seed = quint64(std::chrono::system_clock::now().time_since_epoch().count());
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        const long long v = std::atoll(argv[i + 1]);
        if (a == "--seed")
            opt.seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (a == "--events")
            opt.events = long(v);
        else if (a == "--check-every")
            opt.checkEvery = std::max(1L, long(v));
        else if (a == "--max-growth")
            opt.maxGrowth = std::atof(argv[i + 1]);
        else {
            std::fprintf(stderr, "usage: %s [--seed N] [--events N] [--check-every N] [--max-growth PERCENT]\n",
                         argv[0]);
            return 2;
        }
    }
    std::printf("seed %llu\n", static_cast<unsigned long long>(opt.seed));
    std::fflush(stdout);

    // A private tree for everything the program may touch.
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/tessarel-soak-XXXXXX"));
    if (!root.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 2;
    }
    const QString r = root.path();
    for (const char *d : {"home", "data", "config", "cache"})
        QDir().mkpath(r + QLatin1Char('/') + QLatin1String(d));
    qputenv("HOME", QFile::encodeName(r + QStringLiteral("/home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(r + QStringLiteral("/data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(r + QStringLiteral("/config")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(r + QStringLiteral("/cache")));
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("DISPLAY", ":99");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    qInstallMessageHandler(messageHandler);
    QApplication app(argc, argv);
    Soak soak(opt, r);
    return soak.run();
}
