// The start-up sequence: the window sized to the screen, the start-up panel
// with its logo and running-applications list, and its dismissal.

#include "editor/animated_strip.h"
#include "editor/frm_geral.h"
#include "editor/startup_layout.h"
#include "platform/bevel_panel.h"
#include "platform/fonts.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/place.h"
#include "platform/platform.h"
#include "platform/process_list.h"
#include "platform/tool_pictures.h"
#include "platform/twips.h"
#include "shell/project_info.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

// Black field in a grey frame, the product name at the top and the word Enter
// near the bottom (under lblEnter), both red.
QImage logoPicture()
{
    QImage img(350, 375, QImage::Format_RGB32);
    img.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&img);
    p.fillRect(img.rect().adjusted(8, 8, -8, -8), Qt::black);
    p.setPen(QColor(0xE0, 0x10, 0x10));
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(8, 16, 334, 56), Qt::AlignCenter, QStringLiteral("Tessarel"));
    QFont enter(QStringLiteral("DejaVu Sans"));
    enter.setPixelSize(26);
    enter.setBold(true);
    p.setFont(enter);
    p.drawText(QRect(128, 288, 97, 41), Qt::AlignCenter, QStringLiteral("Enter"));
    return img;
}

} // namespace

void frmGeral::buildStartupPanel()
{
    picLogo = new PictureBox(pnlMaster2, QStringLiteral("picLogo"));
    placeTwips(picLogo, 3120, 360, 5265, 5655);
    picLogo->setPicture(logoPicture());
    picLogo->setBackColor(colour::kBlack);

    Label1 = new Label(picLogo, QStringLiteral("Label1"), QStringLiteral("Applications in Use:"));
    placeTwips(Label1, 360, 1320, 1605, 240);
    const QFont serif = fonts::classic(QStringLiteral("MS Serif"), 9.75);
    Label1->setFont(serif);
    Label1->setStyleSheet(QStringLiteral("color: red; background: transparent"));
    fonts::fitCaption(Label1);

    List1 = new QListWidget(picLogo);
    List1->setObjectName(QStringLiteral("List1"));
    placeTwips(List1, 265, 1560, 4695, 2760);
    List1->setFont(fonts::classic(QStringLiteral("Arial")));
    List1->setStyleSheet(QStringLiteral("QListWidget { color: red; background: black; }"));

    Label4 = new Label(
        picLogo, QStringLiteral("Label4"),
        QStringLiteral("Vorn Tessarel %1 - Divi za Vuvurizira Zidor").arg(QString::fromLatin1(projectinfo::kVersion)));
    placeTwips(Label4, 240, 4920, 4695, 495);
    Label4->setFont(fonts::classic(QStringLiteral("Times New Roman"), 10));
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setStyleSheet(QStringLiteral("color: red; background: blue"));
    fonts::fitCaption(Label4);

    lblEnter = new Label(picLogo, QStringLiteral("lblEnter"));
    placeTwips(lblEnter, 1920, 4320, 1455, 615);
    lblEnter->setCursor(pictures::hand());
    lblEnter->installEventFilter(this);

    const int stripTops[3] = {6650, 6720, 6800};
    for (int i = 0; i < 3; ++i) {
        gif[size_t(i)] = new AnimatedStrip(pnlMaster2, QStringLiteral("gif%1").arg(i + 1), i * 40);
        placeTwips(gif[size_t(i)], 1800, stripTops[i], 8100, 60);
    }

    tmrLogo = new QTimer(this);
    tmrLogo->setObjectName(QStringLiteral("tmrLogo"));
    tmrLogo->setInterval(1);
    connect(tmrLogo, &QTimer::timeout, this, &frmGeral::tmrLogo_Timer);
}

void frmGeral::Form_Load()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenPx = screen ? screen->size() : QSize(1024, 768);
    const double menuHeight = twips::fromPixels(menuBar()->sizeHint().height());
    const startup::Layout l =
        startup::layout(twips::fromPixels(screenPx.width()), twips::fromPixels(screenPx.height()), menuHeight);
    startupLayout_ = l;
    // 1-5: the window and its two outer panels.
    resize(twips::toPixels(l.windowWidth), twips::toPixels(l.windowHeight));
    placeTwips(pnlBarra, l.pnlBarra.left(), l.pnlBarra.top(), l.pnlBarra.width(), l.pnlBarra.height());
    placeTwips(pnlMaster2, l.pnlMaster2.left(), l.pnlMaster2.top(), l.pnlMaster2.width(), l.pnlMaster2.height());
    picLogo->move(twips::toPixels(l.logoLeft), twips::toPixels(l.logoTop));
    for (AnimatedStrip *strip : gif)
        strip->move(twips::toPixels(l.stripLeft), strip->y());
    // 6: there is no Close command (see the window flags and closeEvent).
    // 7-8: position and caption.
    move(twips::toPixels(l.windowLeft), twips::toPixels(l.windowTop));
    setWindowTitle(QStringLiteral("Vorn Tessarel %1").arg(QString::fromLatin1(projectinfo::kVersion)));
    // 9-10: pencil, bars.
    picModeSel_Click(drawmode::Pencil);
    mnuGrade_Click();
    // 11: the applications running now, once.
    List1->addItems(runningProcessNames());
    // 12: the panels' style from the settings file.
    loadFormatSettings();
    pnlMaster2->show();
    pnlMaster2->raise();
}

bool frmGeral::lblEnter_Click()
{
    tmrLogo->start();
    return true;
}

void frmGeral::tmrLogo_Timer()
{
    LeftColor->show();
    RightColor->show();
    GradiendColor();
    picLogo->hide();
    pnlMaster2->hide();
    enableMenus();
    ProbeClipboard();
    for (AnimatedStrip *strip : gif)
        strip->stop();
    tmrLogo->stop();
}
