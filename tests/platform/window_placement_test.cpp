// Saving and restoring window positions in twips, the one position variable
// every restore shares, and pinning a window on top without moving it.

#include "platform/window_placement.h"

#include "platform/settings_store.h"
#include "support/recording_message_box.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

const QString kPosition = QStringLiteral("HKEY_CURRENT_USER\\Software\\Window Position");

} // namespace

class WindowPlacementTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    RecordingMessageBox messages_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<WindowPlacement> placement_;

    // Stores "Left"/"Top" as text; a null string leaves the value out.
    void storePosition(const QString &left, const QString &top)
    {
        store_->EnsureKey(kPosition);
        if (!left.isNull())
            store_->WriteTextValue(kPosition, "Left", left);
        if (!top.isNull())
            store_->WriteTextValue(kPosition, "Top", top);
    }
    // A top-level window away from (0, 0), so a restore that does nothing shows.
    static std::unique_ptr<QWidget> window(Qt::WindowFlags flags = Qt::Window)
    {
        auto w = std::make_unique<QWidget>(nullptr, flags);
        w->resize(120, 90);
        w->move(300, 200);
        return w;
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        messages_.shown.clear();
        store_ = std::make_unique<SettingsStore>(messages_, dir_->filePath(QStringLiteral("user.conf")));
        placement_ = std::make_unique<WindowPlacement>(*store_);
    }

    void cleanup()
    {
        QCOMPARE(int(messages_.shown.size()), 0);
        placement_.reset();
        store_.reset();
        dir_.reset();
    }

    void restoreFromEmptyStoreGoesToOrigin()
    {
        auto w = window();
        placement_->RestoreWindowPosition(w.get());
        QCOMPARE(w->pos(), QPoint(0, 0));
        QCOMPARE(w->size(), QSize(120, 90));
    }

    void restore_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("pixels");
        QTest::newRow("both") << "1230"
                              << "600" << QPoint(82, 40);
        QTest::newRow("only left: top follows it") << "1230" << QString() << QPoint(82, 82);
        QTest::newRow("only top") << QString() << "600" << QPoint(0, 40);
        QTest::newRow("left not a number") << "abc"
                                           << "600" << QPoint(0, 40);
        QTest::newRow("neither a number") << "12a"
                                          << "1e3" << QPoint(0, 0);
        QTest::newRow("decimal fraction") << "1230.0"
                                          << "600" << QPoint(0, 40);
        QTest::newRow("padded with spaces") << "  1230 "
                                            << " 600" << QPoint(82, 40);
        QTest::newRow("signs") << "-1230"
                               << "+600" << QPoint(-82, 40);
        // Twips to pixels rounds to the nearest pixel (a whole twip count is
        // never exactly half way), not toward zero.
        QTest::newRow("rounds down") << "1237"
                                     << "-1237" << QPoint(82, -82);
        QTest::newRow("rounds up") << "1238"
                                   << "-1238" << QPoint(83, -83);
        QTest::newRow("beyond 32 bits") << "2147483648"
                                        << "15" << QPoint(0, 1);
    }
    void restore()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, pixels);
        storePosition(left, top);
        auto w = window();
        placement_->RestoreWindowPosition(w.get());
        QCOMPARE(w->pos(), pixels);
        QCOMPARE(w->size(), QSize(120, 90));
    }

    // The variable outlives a restore: what the last readable value left
    // there fills in for the next unreadable one, whichever window it was.
    void positionVariableIsShared()
    {
        storePosition("1230", "600");
        auto first = window();
        placement_->RestoreWindowPosition(first.get());
        QCOMPARE(first->pos(), QPoint(82, 40));
        QCOMPARE(placement_->position(), 600);

        store_->WriteTextValue(kPosition, "Left", "abc");
        // The API cannot remove a value; another QSettings on the same file
        // can, and the store sees it at once (same process).
        QSettings direct(dir_->filePath(QStringLiteral("user.conf")), QSettings::NativeFormat);
        QVERIFY(direct.contains("Software/Window Position/Top"));
        direct.remove("Software/Window Position/Top");
        direct.sync();
        QCOMPARE(store_->ReadTextValue(kPosition, "Top"), SettingsStore::kErrorText);

        auto second = window(Qt::Tool);
        placement_->RestoreWindowPosition(second.get());
        QCOMPARE(second->pos(), QPoint(40, 40));
        QCOMPARE(placement_->position(), 600);

        // A new placement starts again from 0.
        WindowPlacement fresh(*store_);
        auto third = window();
        fresh.RestoreWindowPosition(third.get());
        QCOMPARE(third->pos(), QPoint(0, 0));
    }

    void saveStoresFramePositionInTwips()
    {
        auto tool = window(Qt::Tool);
        tool->move(82, 40);
        tool->show();
        QVERIFY(QTest::qWaitForWindowExposed(tool.get()));
        placement_->SaveWindowPosition(tool.get());
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), QStringLiteral("1230"));
        QCOMPARE(store_->ReadTextValue(kPosition, "Top"), QStringLiteral("600"));

        // Another window, and another run of the program, come back there.
        SettingsStore nextRun(messages_, dir_->filePath(QStringLiteral("user.conf")));
        WindowPlacement nextPlacement(nextRun);
        auto other = window(Qt::Tool);
        nextPlacement.RestoreWindowPosition(other.get());
        QCOMPARE(other->pos(), QPoint(82, 40));
    }

    void saveOverwritesAndCreatesTheKey()
    {
        auto w = window();
        w->move(-3, 7);
        placement_->SaveWindowPosition(w.get());
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), QStringLiteral("-45"));
        QCOMPARE(store_->ReadTextValue(kPosition, "Top"), QStringLiteral("105"));
        w->move(10, 20);
        placement_->SaveWindowPosition(w.get());
        QCOMPARE(store_->ReadTextValue(kPosition, "Left"), QStringLiteral("150"));
        QCOMPARE(store_->ReadTextValue(kPosition, "Top"), QStringLiteral("300"));
    }

    void topmostKeepsGeometryAndVisibility_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<Qt::WindowType>("type");
        QTest::newRow("shown window") << true << Qt::Window;
        QTest::newRow("hidden window") << false << Qt::Window;
        QTest::newRow("shown tool window") << true << Qt::Tool;
    }
    void topmostKeepsGeometryAndVisibility()
    {
        QFETCH(bool, visible);
        QFETCH(Qt::WindowType, type);
        auto w = window(type);
        w->setGeometry(140, 75, 210, 130);
        if (visible) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        }
        const QRect frame = w->frameGeometry();
        const QRect client = w->geometry();

        for (const bool on : {true, true, false, false, true}) {
            placement_->SetWindowTopmost(w.get(), on);
            QCOMPARE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
            QCOMPARE(w->windowType(), type);
            QCOMPARE(w->isVisible(), visible);
            if (visible)
                QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QCOMPARE(w->geometry(), client);
            QCOMPARE(w->frameGeometry(), frame);
            if (visible && w->windowHandle())
                QCOMPARE(w->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
        }
    }

    void topmostActivatesAShownWindow()
    {
        auto a = window(Qt::Window), b = window(Qt::Tool);
        a->setGeometry(10, 10, 100, 100);
        b->setGeometry(200, 10, 100, 100);
        a->show();
        b->show();
        // Twice each way: the second call changes no state, yet still activates.
        for (const bool on : {true, true, false, false}) {
            a->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(a.get()));
            placement_->SetWindowTopmost(b.get(), on);
            QVERIFY(QTest::qWaitForWindowActive(b.get()));
        }
    }

    // A window that was never placed keeps leaving that to the window manager.
    void topmostLeavesUnplacedWindowUnplaced()
    {
        QWidget w;
        placement_->SetWindowTopmost(&w, true);
        QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!w.isVisible());
        QVERIFY(!w.testAttribute(Qt::WA_Moved));
        QVERIFY(!w.testAttribute(Qt::WA_Resized));
        placement_->SetWindowTopmost(&w, false);
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!w.testAttribute(Qt::WA_Moved));
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "window_placement_test.moc"
