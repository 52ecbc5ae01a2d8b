// Undo and Redo: every kind of change to the icon is one step, restored
// exactly (Ikon, grid and their sizes), through the real shortcuts.

#include "editor/undo_history.h"
#include "platform/shape.h"
#include "support/bmp_writer.h"
#include "support/editor_fixture.h"
#include "support/ico_writer.h"
#include "support/pointer.h"
#include "toolwindow/fra_diminui.h"
#include "toolwindow/fra_move.h"
#include "toolwindow/frm_tool_bar.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <functional>

using namespace pointer;

class UndoTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;

    // What a step must bring back: the icon, the grid as shown, their sizes.
    struct Shown
    {
        QImage icon, grid;
        QSize ikonSize, gridSize;
        bool operator==(const Shown &o) const
        {
            return icon == o.icon && grid == o.grid && ikonSize == o.ikonSize && gridSize == o.gridSize;
        }
    };
    Shown shown() const
    {
        frmGeral &w = *f->window;
        return {w.ikonSurface().image(), w.gridSurface().image(), w.Ikon->size(), w.grid->size()};
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        QTest::keyClick(f->window.get(), Qt::Key(k), mods);
        QCoreApplication::processEvents();
    }
    void drag(QPointF from, QPointF to)
    {
        press(f->grid(), from);
        move(f->grid(), (from + to) / 2, Qt::LeftButton);
        move(f->grid(), to, Qt::LeftButton);
        release(f->grid(), to);
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        QVERIFY(f->showPastStartup());
        f->window->activateWindow();
    }
    void cleanup() { f.reset(); }

    void everyChangeIsOneStepBackAndForth()
    {
        frmGeral &w = *f->window;
        QTemporaryDir dir;
        const QString bmp = dir.filePath(QStringLiteral("red.bmp"));
        QImage red(32, 32, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        QFile file(bmp);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(writeBmp(red)) > 0);
        file.close();
        const QString ico = dir.filePath(QStringLiteral("small.ico"));
        QImage art(16, 16, QImage::Format_ARGB32);
        art.fill(qRgb(0, 0, 160));
        IcoWriterEntry entry;
        entry.image = art;
        QFile icoFile(ico);
        QVERIFY(icoFile.open(QIODevice::WriteOnly) && icoFile.write(writeIco({entry})) > 0);
        icoFile.close();
        fraDiminui *reduce = nullptr;

        const std::vector<std::pair<const char *, std::function<void()>>> changes = {
            {"pencil stroke", [&] { drag(cell(1, 1), cell(5, 1)); }},
            {"line",
             [&] {
                 w.picModeSel_Click(drawmode::Line);
                 drag(cell(0, 3), cell(9, 8));
             }},
            {"filled rectangle",
             [&] {
                 w.picModeSel_Click(drawmode::FilledRectangle);
                 drag(cell(10, 10), cell(14, 16));
             }},
            {"fill",
             [&] {
                 w.LeftColor->setBackColor(colour::rgb(255, 0, 0));
                 w.picModeSel_Click(drawmode::Fill);
                 drag(cell(30, 30), cell(30, 30));
             }},
            {"cut",
             [&] {
                 w.picModeSel_Click(drawmode::Capture);
                 drag(cell(0, 0), cell(12, 6));
                 w.mnuCortar->trigger();
             }},
            {"paste stamp",
             [&] {
                 w.picModeSel_Click(drawmode::Capture);
                 drag(cell(8, 8), cell(16, 16));
                 w.mnuCopiar->trigger();
                 w.mnuColar->trigger();
                 drag(cell(0, 0), cell(0, 0));
             }},
            {"rotate", [&] { w.mnuRotate13->trigger(); }},
            {"mirror", [&] { w.mnuHorizontal->trigger(); }},
            {"image shift",
             [&] {
                 w.mnuMove->trigger();
                 QTest::mouseClick(w.toolBar()->moveFrame()->cmdShift[0], Qt::LeftButton);
             }},
            {"clean", [&] { w.mnuLimpar->trigger(); }},
            {"open",
             [&] {
                 f->doubles.dialog->queueFile(bmp);
                 w.mnuOpenSimples->trigger();
             }},
            {"new",
             [&] {
                 w.RightColor->setBackColor(colour::rgb(0, 128, 0));
                 w.mnuNew->trigger();
             }},
            {"transfer",
             [&] {
                 w.platform().commonDialog->FileName = ico;
                 w.mnuReduzir->setEnabled(true);
                 w.mnuReduzir->trigger();
                 reduce = w.toolBar()->reduceFrame();
                 QTest::mouseClick(reduce->cmdDiminuir, Qt::LeftButton); // Resize: the icon stays
                 QTest::mouseClick(reduce->cmdDiminuir, Qt::LeftButton);
             }},
            {"return", [&] { QTest::mouseClick(reduce->cmdDiminuir, Qt::LeftButton); }},
        };

        QVERIFY(!w.mnuUndo->isEnabled() && !w.mnuRedo->isEnabled());
        std::vector<Shown> states{shown()};
        for (const auto &[name, change] : changes) {
            change();
            QCoreApplication::processEvents();
            const Shown before = states.back(), after = shown();
            QVERIFY2(!(after == before), name); // the change really changed the icon
            key(Qt::Key_Z);
            QVERIFY2(shown() == before, name);
            QVERIFY2(w.mnuRedo->isEnabled(), name);
            key(Qt::Key_Y);
            QVERIFY2(shown() == after, name);
            key(Qt::Key_Z);
            key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY2(shown() == after, name);
            QVERIFY2(!w.mnuRedo->isEnabled(), name);
            states.push_back(after);
        }
        // All the way back to the start, and all the way forward to the end.
        for (size_t i = states.size() - 1; i > 0; --i)
            key(Qt::Key_Z);
        QVERIFY(shown() == states.front());
        QVERIFY(!w.mnuUndo->isEnabled());
        for (size_t i = 1; i < states.size(); ++i)
            key(Qt::Key_Y);
        QVERIFY(shown() == states.back());
        // A change after an undo drops what could be redone.
        key(Qt::Key_Z);
        w.mnuLimpar->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!w.mnuRedo->isEnabled());
    }

    void historyKeepsAThousandStepsWithinEightMegabytes()
    {
        UndoHistory h;
        auto state = [](int i) {
            QImage img(32, 32, QImage::Format_RGB32);
            img.fill(QRgb(i));
            return IconState{img, QSize(32, 32), QSize(321, 322), std::nullopt};
        };
        h.reset(state(0));
        for (int i = 1; i <= 5000; ++i)
            QVERIFY(h.record(state(i)));
        QVERIFY(!h.record(state(5000))); // no change, no step
        QVERIFY(h.undoSteps() >= 1000);
        QVERIFY(h.bytes() <= UndoHistory::kMaxBytes);
        // The oldest went first: undoing everything stops at the oldest kept state.
        const int kept = h.undoSteps();
        std::optional<IconState> last;
        while (auto s = h.undo())
            last = s;
        QCOMPARE(last->pixels.pixel(0, 0), state(5000 - kept).pixels.pixel(0, 0));
        QVERIFY(h.canRedo() && !h.canUndo());
    }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
