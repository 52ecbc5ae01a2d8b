#pragma once
// A main window on test doubles, with readers for what it shows.

#include "editor/frm_geral.h"
#include "platform/picture_box.h"
#include "support/test_platform.h"

#include <QAction>
#include <QtTest>
#include <memory>

struct EditorFixture
{
    TestPlatform doubles;
    std::unique_ptr<frmGeral> window;

    EditorFixture() { window = std::make_unique<frmGeral>(std::move(doubles.platform)); }
    // The window on another launcher than the recording one.
    explicit EditorFixture(std::unique_ptr<ShellLauncher> launcher)
    {
        doubles.platform->shellLauncher = std::move(launcher);
        doubles.shell = nullptr;
        window = std::make_unique<frmGeral>(std::move(doubles.platform));
    }

    // Shows the window and takes it past the start-up panel, as a user finds it.
    bool showPastStartup()
    {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return false;
        window->tmrLogo_Timer();
        return true;
    }

    QWidget *grid() const { return window->grid; }
    // Colour value of Ikon's pixel (c, r).
    ColourValue pixel(int c, int r) const { return window->ikonSurface().point(c, r); }
    // Colour value shown in the middle of grid cell (c, r).
    ColourValue gridCell(int c, int r) const
    {
        return colour::fromRgb(window->gridSurface().image().pixel(c * 10 + 5, r * 10 + 5));
    }
    ColourValue left() const { return window->LeftColor->backColor(); }
    ColourValue right() const { return window->RightColor->backColor(); }
    // The transparent colour Save would offer for an .ico at `path`; the
    // "Icon sizes" question is cancelled, so nothing is written.
    std::optional<QRgb> offeredTransparentColour(const QString &path)
    {
        doubles.dialog->queueFile(path);
        doubles.iconSaveDialog->queueCancel();
        window->mnusave->trigger();
        return doubles.iconSaveDialog->asked.empty() ? std::nullopt : doubles.iconSaveDialog->asked.back().transparent;
    }
    // Number of Ikon pixels of the given colour.
    int count(ColourValue c) const
    {
        int n = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                n += pixel(x, y) == c;
        return n;
    }
};
