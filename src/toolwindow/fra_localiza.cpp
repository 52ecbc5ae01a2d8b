#include "toolwindow/fra_localiza.h"

#include "formats/executable_resources.h"
#include "formats/icon_file.h"
#include "formats/icon_resources.h"
#include "formats/mapped_file.h"
#include "platform/editor_link.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"
#include "toolwindow/arrow_button.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr ColourValue kSilver = 0xC0C0C0;
// Libraries of several hundred megabytes exist; past this a file is not one.
constexpr qint64 kMaxLibraryBytes = qint64(1) << 30;

QToolButton *browseButton(QWidget *parent, const char *name, double angle, int left)
{
    QToolButton *b = arrowButton(parent, QString::fromLatin1(name), angle);
    placeTwips(b, left, 1080, 495, 495);
    b->setEnabled(false);
    return b;
}

} // namespace

void BrowserNavigation::loaded(int n)
{
    count = n;
    index = 0;
    if (n > 1)
        nextEnabled = true;
}

void BrowserNavigation::next()
{
    if (index < count - 1)
        ++index;
    nextEnabled = index < count - 1;
    if (index != 0)
        backEnabled = true;
}

void BrowserNavigation::back()
{
    if (index != 0)
        --index;
    backEnabled = index != 0;
    if (count - index > 1)
        nextEnabled = true;
}

fraLocaliza::fraLocaliza(QWidget *parent, EditorLink &main, qint32 &currentIconIndex)
    : QGroupBox(QStringLiteral("Search: Exe, Dll, Cls."), parent)
    , main_(main)
    , index_(currentIconIndex)
{
    setObjectName(QStringLiteral("fraLocaliza"));
    setToolTip(QStringLiteral("Search: Exe, Dll, Cls."));
    placeTwips(this, 120, 120, 2175, 2055);
    cmdOpen = new QPushButton(QStringLiteral("Search"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setToolTip(QStringLiteral("Search"));
    placeTwips(cmdOpen, 480, 450, 1215, 495);
    cmdBack = browseButton(this, "cmdBack", 180, 120);
    cmdNext = browseButton(this, "cmdNext", 0, 1560);
    PicIcon0 = new PictureBox(this, QStringLiteral("PicIcon"));
    placeTwips(PicIcon0, 840, 1080, 510, 510);
    PicIcon0->setBackColor(kSilver);
    lblArquivo = new Label(this, QStringLiteral("lblArquivo"), QStringLiteral("#"));
    placeTwips(lblArquivo, 1000, 1680, 135, 195);
    // Wide enough for the number of the last icon of the largest library.
    const int digits = int(QString::number(iconres::kMaxIcons).size());
    int widest = lblArquivo->width();
    for (char16_t d = u'0'; d <= u'9'; ++d)
        widest = std::max(widest, lblArquivo->fontMetrics().horizontalAdvance(QString(digits, QChar(d))));
    lblArquivo->resize(widest, lblArquivo->height());
    lblArquivo->hide();
    connect(cmdOpen, &QPushButton::clicked, this, &fraLocaliza::cmdOpen_Click);
    connect(cmdNext, &QToolButton::clicked, this, &fraLocaliza::cmdNext_Click);
    connect(cmdBack, &QToolButton::clicked, this, &fraLocaliza::cmdBack_Click);
    connect(lblArquivo, &Label::Change, this, &fraLocaliza::lblArquivo_Change);
}

QImage fraLocaliza::PicIcon(int i) const { return i >= 0 && i < iconCount() ? icons_[size_t(i)] : QImage(); }

void fraLocaliza::cmdOpen_Click()
{
    CommonDialog &dialog = *main_.platform().toolDialog;
    dialog.DialogTitle = QStringLiteral("Vorn Tessarel - Open...");
    dialog.Filter =
        QStringLiteral("Executable (*.exe)|*.EXE|D. L. Libraries (*.dll)|*.DLL|Icon Libraries (*.icl)|*.ICL");
    const QString remembered = dialog.FileName;
    dialog.ShowOpen(window());
    // Cancelled, or the same file again: nothing changes.
    if (dialog.FileName == remembered)
        return;
    std::optional<std::vector<QImage>> icons;
    {
        const MappedFile file(dialog.FileName, kMaxLibraryBytes);
        if (file.ok())
            icons = readIconLibrary(file.bytes());
    }
    if (!icons || icons->empty()) {
        main_.platform().messageBox->show(window(), QStringLiteral("Inform the User!"),
                                          QStringLiteral("  This  File  is  not  Valid!  "), MessageBox::OkOnly,
                                          MessageBox::Critical);
        return;
    }
    icons_.clear();
    icons_.reserve(icons->size());
    transparent_.clear();
    for (const QImage &icon : *icons) {
        icons_.push_back(onSilver(icon));
        transparent_.push_back(transparentShownAs(icon, icons_.back()));
    }
    nav_.loaded(iconCount());
    main_.setStatusText(QStringLiteral("File: ") + dialog.FileTitle + QStringLiteral("    Total: ")
                        + QString::number(iconCount()));
    lblArquivo->setCaption(QStringLiteral("1"));
    lblArquivo->show();
    show(0);
    main_.enableResize(false);
}

void fraLocaliza::cmdNext_Click()
{
    nav_.next();
    show(nav_.index);
}

void fraLocaliza::cmdBack_Click()
{
    nav_.back();
    show(nav_.index);
}

void fraLocaliza::show(int index)
{
    index_ = index;
    cmdNext->setEnabled(nav_.nextEnabled);
    cmdBack->setEnabled(nav_.backEnabled);
    lblArquivo->setCaption(QString::number(index + 1));
    PicIcon0->setPicture(PicIcon(index));
    main_.ikonSurface().setPicture(PicIcon(index));
    main_.setTransparentColour(index >= 0 && index < iconCount() ? transparent_[size_t(index)] : std::nullopt);
    main_.RefreshGrid();
}

void fraLocaliza::lblArquivo_Change()
{
    // Every icon number sorts after "0": browsing leaves no file for the
    // bitmap properties to read.
    if (lblArquivo->text() > QLatin1String("0"))
        main_.enableProperties(false);
}
