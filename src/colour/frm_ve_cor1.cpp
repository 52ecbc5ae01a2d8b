#include "colour/frm_ve_cor1.h"

#include "colour/frm_ve_cor2.h"
#include "platform/editor_link.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/picture_surface.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/screen_grab.h"
#include "platform/side_window_registry.h"
#include "platform/window_placement.h"

#include <QCloseEvent>
#include <QPushButton>

namespace {

const QString kSurface = QStringLiteral("frmVeCor2");

Label *label(QWidget *parent, const char *name, const char *text, int left, int top, int w, int h)
{
    auto *l = new Label(parent, QString::fromLatin1(name), QString::fromLatin1(text));
    placeTwips(l, left, top, w, h);
    return l;
}

} // namespace

frmVeCor1::frmVeCor1(EditorLink &main)
    : SideWindow(main.editorWindow(), main.placement(), QStringLiteral("frmVeCor1"), QStringLiteral("Vorn Tessarel "),
                 Protocol{.restorePosition = true})
    , main_(main)
{
    setFont(fonts::classic(QStringLiteral("MS Serif"), 8));
    Btn_select = new QPushButton(QStringLiteral("Initialize Color Search"), this);
    Btn_select->setObjectName(QStringLiteral("Btn_select"));
    Btn_select->setToolTip(QStringLiteral("Pick a color from desktop"));
    placeTwips(Btn_select, 120, 120, 2415, 375);
    Picture1 = new PictureBox(this, QStringLiteral("Picture1"));
    Picture1->setToolTip(QStringLiteral("Actual color"));
    Picture1->setBackColor(colour::kBlack);
    Picture1->setBorderWidth(1);
    placeTwips(Picture1, 120, 600, 1335, 375);
    Picture1->showBackColorLive();
    cmdLevaCor = new QPushButton(this);
    cmdLevaCor->setObjectName(QStringLiteral("cmdLevaCor"));
    cmdLevaCor->setToolTip(QStringLiteral("Fastens chosen color"));
    placeTwips(cmdLevaCor, 1560, 600, 975, 375);
    cmdLevaCor->hide();
    Lbl_long = label(this, "Lbl_long", "", 240, 1050, 2055, 255);
    Lbl_long->setToolTip(QStringLiteral("Long integer for selected color"));
    Label7 = label(this, "Label7", "Red", 120, 1350, 315, 195);
    Label8 = label(this, "Label8", "Green", 960, 1350, 495, 195);
    Label9 = label(this, "Label9", "Blue", 1800, 1350, 360, 195);
    Label7->setForeColor(colour::rgb(255, 0, 0));
    Label8->setForeColor(colour::rgb(0, 128, 0));
    Label9->setForeColor(colour::rgb(0, 0, 255));
    for (Label *l : {Label7, Label8, Label9})
        fonts::fitCaption(l);
    Lbl_red = label(this, "Lbl_red", "", 120, 1560, 615, 255);
    Lbl_green = label(this, "Lbl_green", "", 960, 1560, 615, 255);
    Lbl_blue = label(this, "Lbl_blue", "", 1800, 1560, 615, 255);
    // The numbers follow the swatch once a display frame: a pointer reports
    // moves far faster than anyone reads digits, and each label paint is a
    // text layout and an upload to the display.
    readOutFrame.setSingleShot(true);
    readOutFrame.setInterval(16);
    connect(&readOutFrame, &QTimer::timeout, this, &frmVeCor1::showReadOutLabels);

    connect(Btn_select, &QPushButton::clicked, this, &frmVeCor1::Btn_select_Click);
    connect(cmdLevaCor, &QPushButton::clicked, this, &frmVeCor1::cmdLevaCor_Click);

    loadProtocol();
    setOuterSizeTwips(2730, 2370);
}

void frmVeCor1::Btn_select_Click()
{
    // The desktop is frozen before the surface exists on screen, so the image
    // is what the user saw, this window included.
    QString whyNot;
    const QImage still = main_.platform().screenGrab->snapDesktop(&whyNot);
    if (still.isNull()) {
        main_.platform().messageBox->show(this, QStringLiteral("Inform the User!"), whyNot, MessageBox::OkOnly,
                                          MessageBox::Exclamation);
        return;
    }
    auto *surface = main_.sideWindows().get<frmVeCor2>();
    surface->cover(still);
    connect(surface, &frmVeCor2::Form_Activate, this, &frmVeCor1::surface_Activate, Qt::UniqueConnection);
    connect(surface, &frmVeCor2::Picture1_MouseMove, this, &frmVeCor1::surface_MouseMove, Qt::UniqueConnection);
    connect(surface, &frmVeCor2::Picture1_MouseDown, this, &frmVeCor1::surface_MouseDown, Qt::UniqueConnection);
    surface->show();
    surface->activateWindow();
    Btn_select->setEnabled(false);
}

void frmVeCor1::surface_Activate()
{
    // The picker stays in front of the still image, its read-out in view.
    show();
    raise();
    activateWindow();
}

void frmVeCor1::readOut(ColourValue colour)
{
    // Most moves over a desktop stay on one colour: nothing to show then.
    if (qint32(colour) == pickedColour && !Lbl_long->text().isEmpty())
        return;
    pickedColour = qint32(colour);
    shown = colourmath::splitPicked(pickedColour);
    // On the screen before the next event is handled.
    Picture1->setBackColor(colour::rgb(shown.red, shown.green, shown.blue));
    if (!readOutFrame.isActive()) {
        for (Label *l : readOutLabels())
            l->setUpdatesEnabled(false);
        readOutFrame.start();
    }
    Lbl_long->setText(QString::number(pickedColour));
    showSplitColour();
}

void frmVeCor1::showReadOutLabels()
{
    readOutFrame.stop();
    for (Label *l : readOutLabels())
        l->setUpdatesEnabled(true); // and paints the text they took meanwhile
}

void frmVeCor1::surface_MouseMove(ColourValue colour) { readOut(colour); }

void frmVeCor1::surface_MouseDown(ColourValue colour)
{
    cmdLevaCor->setText(QStringLiteral("Click - Me!"));
    cmdLevaCor->show();
    readOut(colour);
    showReadOutLabels(); // the picked colour's numbers at once
    // The surface goes and takes the still image with it; this runs inside
    // its own press, so it is destroyed once the press has returned.
    main_.sideWindows().unloadLater(kSurface);
}

void frmVeCor1::SplitPickedColour()
{
    shown = colourmath::splitPicked(pickedColour);
    Picture1->setBackColor(colour::rgb(shown.red, shown.green, shown.blue));
    showSplitColour();
}

void frmVeCor1::showSplitColour()
{
    Lbl_red->setText(QString::number(shown.red));
    Lbl_green->setText(QString::number(shown.green));
    Lbl_blue->setText(QString::number(shown.blue));
}

void frmVeCor1::cmdLevaCor_Click()
{
    Btn_select->setEnabled(true);
    cmdLevaCor->hide();
    main_.setLeftColour(Picture1->backColor());
}

void frmVeCor1::closeEvent(QCloseEvent *e)
{
    main_.sideWindows().unload(kSurface);
    SideWindow::closeEvent(e);
}
