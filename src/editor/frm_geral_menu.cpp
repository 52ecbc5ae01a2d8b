// The main menu: captions, shortcuts, separators and the states they start in.

#include "editor/frm_geral.h"
#include "shell/project_info.h"

#include <QMenuBar>

namespace {

QAction *item(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut = {})
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

QMenu *menu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *m = bar->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

QMenu *submenu(QMenu *parent, const char *name, const QString &caption)
{
    QMenu *m = parent->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

} // namespace

void frmGeral::buildMenus()
{
    QMenuBar *bar = menuBar();

    mnuOpen = menu(bar, "mnuOpen", QStringLiteral("&File"));
    mnuNew = item(mnuOpen, "mnuNew", QStringLiteral("&New Icon"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuOpen->addSeparator();
    mnuOpenSimples = item(mnuOpen, "mnuOpenSimples", QStringLiteral("&Open Icon"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuOpenAs = item(mnuOpen, "mnuOpenAs", QStringLiteral("O&pen/Copy/Move"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuOpen->addSeparator();
    mnusave = item(mnuOpen, "mnusave", QStringLiteral("&Save Icon"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuOpen->addSeparator();
    mnuFechar = item(mnuOpen, "mnuFechar", QStringLiteral("Exit"), QKeySequence(Qt::Key_F12));

    mnuEdit = menu(bar, "mnuEdit", QStringLiteral("&Edit"));
    mnuCortar = item(mnuEdit, "mnuCortar", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuCopiar = item(mnuEdit, "mnuCopiar", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuColar = item(mnuEdit, "mnuColar", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    mnuEdit->addSeparator();
    mnuClear = item(mnuEdit, "mnuClear", QStringLiteral("C&lear Clipboard"), QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuClear->setVisible(false);
    mnuEdit->addSeparator();
    mnuOpTxt = item(mnuEdit, "mnuOpTxt", QStringLiteral("Open Text"));
    // Undo and Redo come after the designed items, so theirs keep their places.
    mnuEdit->addSeparator();
    mnuUndo = item(mnuEdit, "mnuUndo", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = item(mnuEdit, "mnuRedo", QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuUndo->setEnabled(false);
    mnuRedo->setEnabled(false);

    mnuGradeOption = menu(bar, "mnuGradeOption", QStringLiteral("&Grad"));
    mnuLimpar = item(mnuGradeOption, "mnuLimpar", QStringLiteral("Clean"));
    mnuGrade = item(mnuGradeOption, "mnuGrade", QStringLiteral("With Bars"));
    mnuGirar = submenu(mnuGradeOption, "mnuGirar", QStringLiteral("Rotate"));
    mnuRotate13 = item(mnuGirar, "mnuRotate13", QStringLiteral("Rotate 1/3"));
    mnuHorizontal = item(mnuGirar, "mnuHorizontal", QStringLiteral("Rotate Hzl"));
    mnuVertical = item(mnuGirar, "mnuVertical", QStringLiteral("Rotate Vtl"));
    mnuMove = item(mnuGradeOption, "mnuMove", QStringLiteral("Move"));
    mnuReduzir = item(mnuGradeOption, "mnuReduzir", QStringLiteral("Resize"));
    mnuReduzir->setEnabled(false); // until the first Open

    mnuColors = menu(bar, "mnuColors", QStringLiteral("&Colors"));
    mnuCorFixa = item(mnuColors, "mnuCorFixa", QStringLiteral("Fasten Color"));
    mnuProcCor = item(mnuColors, "mnuProcCor", QStringLiteral("Search Color"));
    mnuScroolColor = item(mnuColors, "mnuScroolColor", QStringLiteral("Scroll Color"));

    mnuFerramentas = menu(bar, "mnuFerramentas", QStringLiteral("&Tools"));
    mnuPrevi = item(mnuFerramentas, "mnuPrevi", QStringLiteral("Preview Background"));
    mnuGradiende = item(mnuFerramentas, "mnuGradiende", QStringLiteral("Gradient Background"));
    mnuPropriedade = item(mnuFerramentas, "mnuPropriedade", QStringLiteral("Properties"));
    mnuPropriedade->setEnabled(false); // until a file is named in lblMsg
    mnuSearch = item(mnuFerramentas, "mnuSearch", QStringLiteral("Search"));
    mnuFerramentas->addSeparator();
    mnuPellory = item(mnuFerramentas, "mnuPellory", QStringLiteral("&Pellory"), QKeySequence(Qt::CTRL | Qt::Key_W));

    mnuOptions = menu(bar, "mnuOptions", QStringLiteral("&Options"));
    mnuEdFormat = submenu(mnuOptions, "mnuEdFormat", QStringLiteral("Object's Format"));
    mnuRaised = item(mnuEdFormat, "mnuRaised", QStringLiteral("Raised"));
    mnuSoftRaised = item(mnuEdFormat, "mnuSoftRaised", QStringLiteral("Soft Raised"));
    mnuSunken = item(mnuEdFormat, "mnuSunken", QStringLiteral("Inset"));
    mnuSoftSunken = item(mnuEdFormat, "mnuSoftSunken", QStringLiteral("Soft Inset"));
    mnuEtched = item(mnuEdFormat, "mnuEtched", QStringLiteral("Etched"));
    mnuDrag = item(mnuOptions, "mnuDrag", QStringLiteral("Activate Drag"));

    mnuAbout = menu(bar, "mnuAbout", QStringLiteral("About"));
    mnucshp = item(mnuAbout, "mnucshp", QStringLiteral("    Vorn HP"));
    mnuAbout->setSeparatorsCollapsible(false); // three separator lines, not one
    mnuAbout->addSeparator();
    mnuAbout->addSeparator();
    mnuAbout->addSeparator();
    mnuVersao =
        item(mnuAbout, "mnuVersao", QStringLiteral("Version:  %1").arg(QString::fromLatin1(projectinfo::kVersion)));

    // Until the start-up panel is dismissed only About is available.
    for (QMenu *m : {mnuOpen, mnuEdit, mnuGradeOption, mnuColors, mnuFerramentas, mnuOptions})
        m->menuAction()->setEnabled(false);

    connect(mnuLimpar, &QAction::triggered, this, &frmGeral::mnuLimpar_Click);
    connect(mnuGrade, &QAction::triggered, this, &frmGeral::mnuGrade_Click);
    connect(mnuRotate13, &QAction::triggered, this, &frmGeral::mnuRotate13_Click);
    connect(mnuHorizontal, &QAction::triggered, this, &frmGeral::mnuHorizontal_Click);
    connect(mnuVertical, &QAction::triggered, this, &frmGeral::mnuVertical_Click);
    connect(mnuFechar, &QAction::triggered, this, &frmGeral::mnuFechar_Click);
    connect(mnuNew, &QAction::triggered, this, &frmGeral::mnuNew_Click);
    connect(mnuOpenSimples, &QAction::triggered, this, &frmGeral::mnuOpenSimples_Click);
    connect(mnusave, &QAction::triggered, this, &frmGeral::mnusave_Click);
    connect(mnuCopiar, &QAction::triggered, this, &frmGeral::mnuCopiar_Click);
    connect(mnuCortar, &QAction::triggered, this, &frmGeral::mnuCortar_Click);
    connect(mnuColar, &QAction::triggered, this, &frmGeral::mnuColar_Click);
    connect(mnuClear, &QAction::triggered, this, &frmGeral::mnuClear_Click);
    connect(mnuUndo, &QAction::triggered, this, &frmGeral::mnuUndo_Click);
    connect(mnuRedo, &QAction::triggered, this, &frmGeral::mnuRedo_Click);
    connect(mnuRaised, &QAction::triggered, this, [this] { applyFormat(QStringLiteral("2"), 4); });
    connect(mnuSoftRaised, &QAction::triggered, this, [this] { applyFormat(QStringLiteral("2"), 2); });
    connect(mnuSunken, &QAction::triggered, this, [this] { applyFormat(QStringLiteral("1"), 4); });
    connect(mnuSoftSunken, &QAction::triggered, this, [this] { applyFormat(QStringLiteral("1"), 2); });
    connect(mnuEtched, &QAction::triggered, this, [this] { applyFormat(QStringLiteral("2"), 1); });
    connect(mnuDrag, &QAction::triggered, this, &frmGeral::mnuDrag_Click);
    connect(mnuOpTxt, &QAction::triggered, this, &frmGeral::mnuOpTxt_Click);
    connect(mnuMove, &QAction::triggered, this, &frmGeral::mnuMove_Click);
    connect(mnuCorFixa, &QAction::triggered, this, &frmGeral::mnuCorFixa_Click);
    connect(mnuReduzir, &QAction::triggered, this, &frmGeral::mnuReduzir_Click);
    connect(mnuSearch, &QAction::triggered, this, &frmGeral::mnuSearch_Click);
    connect(mnuProcCor, &QAction::triggered, this, &frmGeral::mnuProcCor_Click);
    connect(mnuScroolColor, &QAction::triggered, this, &frmGeral::mnuScroolColor_Click);
    connect(mnuGradiende, &QAction::triggered, this, &frmGeral::mnuGradiende_Click);
    connect(mnuPrevi, &QAction::triggered, this, &frmGeral::mnuPrevi_Click);
    connect(mnuOpenAs, &QAction::triggered, this, &frmGeral::mnuOpenAs_Click);
    connect(mnuPellory, &QAction::triggered, this, &frmGeral::mnuPellory_Click);
    connect(mnucshp, &QAction::triggered, this, &frmGeral::mnucshp_Click);
    connect(mnuVersao, &QAction::triggered, this, &frmGeral::mnuVersao_Click);
    connect(mnuPropriedade, &QAction::triggered, this, &frmGeral::mnuPropriedade_Click);
}

void frmGeral::enableMenus()
{
    for (QMenu *m : {mnuOptions, mnuOpen, mnuEdit, mnuColors, mnuFerramentas, mnuGradeOption})
        m->menuAction()->setEnabled(true);
}
